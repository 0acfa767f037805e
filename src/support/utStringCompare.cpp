#include "utStringCompare.h"

#include "utRegExpr.h"
#include "utStrings.h"

namespace {

std::string Folded(std::string_view s, bool ignoreCase) {
  return ignoreCase ? UpperCaseAZ(s) : std::string(s);
}

// True when position pos of a UTF-8 text lies inside a character that
// starts before it (on a continuation byte of a valid sequence).
bool InsideUtf8Character(std::string_view text, size_t pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  if ((byte(pos) & 0xC0) != 0x80) return false;
  for (size_t back = 1; back <= 3 && back <= pos; ++back) {
    const unsigned char c = byte(pos - back);
    if ((c & 0xC0) == 0x80) continue;
    const size_t length = (c >= 0xC2 && c <= 0xDF)   ? 2
                          : (c >= 0xE0 && c <= 0xEF) ? 3
                          : (c >= 0xF0 && c <= 0xF4) ? 4
                                                     : 0;
    return length > back;
  }
  return false;
}

bool IsKeyword(const TCompareRuleItem& item, std::string_view keyword) {
  return UpperCaseAZ(item.Text) == keyword;
}

}  // namespace

bool utCompareString(std::string_view ABaseText, std::string_view ACompareRule, TCompareStyle style,
                     bool ignoreCase) {
  switch (style) {
    case TCompareStyle::csSubString:
      return SubStringCompareString(ABaseText, ACompareRule, ignoreCase);
    case TCompareStyle::csWildcards:
      return WildcardCompareString(ABaseText, ACompareRule, ignoreCase);
    case TCompareStyle::csBoolean:
      return BooleanCompareString(ABaseText, ACompareRule, ignoreCase);
    case TCompareStyle::csRegExp:
      return RegExpCompareString(ABaseText, ACompareRule, ignoreCase);
    case TCompareStyle::csBoyerMoore:
      return BoyerMooreCompareString(ABaseText, ACompareRule, ignoreCase);
    case TCompareStyle::csIdentical:
      return IdenticalCompareString(ABaseText, ACompareRule, ignoreCase);
  }
  return false;
}

bool utCompareIDString(std::string_view ABaseText, std::string_view ACompareRule, bool ignoreCase,
                       TCompareStyle DefaultStyle) {
  std::string rule(ACompareRule);
  TCompareStyle style = DefaultStyle;
  GetCompareIDStyle(rule, style);
  return utCompareString(ABaseText, rule, style, ignoreCase);
}

void GetCompareIDStyle(std::string& ACompareRule, TCompareStyle& AStyle) {
  static constexpr std::pair<std::string_view, TCompareStyle> kTags[] = {
      {"<wc>", TCompareStyle::csWildcards},
      {"<substr>", TCompareStyle::csSubString},
      {"<bool>", TCompareStyle::csBoolean},
      {"<regexpr>", TCompareStyle::csRegExp},
      {"<bm>", TCompareStyle::csBoyerMoore}};
  for (const auto& [tag, style] : kTags) {
    if (StartsWith(ACompareRule, tag)) {
      ACompareRule.erase(0, tag.size());
      AStyle = style;
      return;
    }
  }
}

bool SubStringCompareString(std::string_view ABaseText, std::string_view ACompareRule,
                            bool AIgnoreCase) {
  if (ABaseText.empty() || ACompareRule.empty()) return false;
  const std::string text = Folded(ABaseText, AIgnoreCase);
  const std::string rule = Folded(ACompareRule, AIgnoreCase);
  for (size_t pos = text.find(rule); pos != std::string::npos; pos = text.find(rule, pos + 1))
    if (!InsideUtf8Character(text, pos)) return true;
  return false;
}

bool IdenticalCompareString(std::string_view ABaseText, std::string_view ACompareRule,
                            bool AIgnoreCase) {
  return Folded(ABaseText, AIgnoreCase) == Folded(ACompareRule, AIgnoreCase);
}

bool WildcardCompareString(std::string_view ABaseText, std::string_view ACompareRule,
                           bool AIgnoreCase) {
  const std::string text = Folded(ABaseText, AIgnoreCase);
  const std::string rule = Folded(ACompareRule, AIgnoreCase);
  if (rule.size() > 1 && rule.front() == '*' && rule.back() == '*') {
    const std::string_view inner = std::string_view(rule).substr(1, rule.size() - 2);
    if (inner.find_first_of("?*") == std::string_view::npos)
      return !inner.empty() && text.find(inner) != std::string::npos;
    return MatchStrings(text, rule);
  }
  if (rule.empty()) return text.empty();
  if (rule == "*") return true;
  return MatchStrings(text, rule);
}

bool MatchStrings(std::string_view Source, std::string_view Pattern) {
  return MatchPattern(Source, Pattern);
}

bool MatchPattern(std::string_view element, std::string_view pattern) {
  // The recursive definition tries every split of the text among the stars,
  // which takes exponential time on patterns such as "*a*a*a*a*b". The same
  // answers come from one pass that remembers only the last star: a later
  // star can take over whatever an earlier one would have taken, so on a
  // mismatch only the last star needs to take one more character. This
  // takes at most text length times pattern length steps.
  const size_t n = element.size(), m = pattern.size();
  size_t i = 0, j = 0;
  size_t star = std::string_view::npos, mark = 0;
  while (i < n) {
    if (j < m && pattern[j] == '*') {
      if (j + 1 == m) return true;  // a last lone "*" takes the rest
      star = j++;
      mark = i;
    } else if (j < m && (pattern[j] == '?' || pattern[j] == element[i])) {
      ++i;
      ++j;
    } else if (star != std::string_view::npos) {
      j = star + 1;
      i = ++mark;
    } else {
      return false;
    }
  }
  // The text is exhausted: only an exhausted pattern or a last lone "*"
  // fit; a tail of two or more stars does not.
  return j == m || (j + 1 == m && pattern[j] == '*');
}

bool BoyerMooreCompareString(std::string_view ABaseText, std::string_view ACompareRule,
                             bool AIgnoreCase) {
  const std::string text = Folded(ABaseText, AIgnoreCase);
  const std::string rule = Folded(ACompareRule, AIgnoreCase);
  const size_t m = rule.size(), n = text.size();
  if (m == 0) return true;
  size_t shift[256];
  for (size_t& s : shift) s = m;
  for (size_t j = 0; j + 1 < m; ++j) shift[static_cast<unsigned char>(rule[j])] = m - 1 - j;
  // k is the index of the window's last character.
  for (size_t k = m - 1; k < n; k += shift[static_cast<unsigned char>(text[k])]) {
    size_t i = 0;
    while (i < m && rule[m - 1 - i] == text[k - i]) ++i;
    if (i == m) return true;
  }
  return false;
}

bool RegExpCompareString(std::string_view ABaseText, std::string_view ACompareRule,
                         bool AIgnoreCase) {
  return TRegExpr(ACompareRule, AIgnoreCase ? TRegExpr::roIgnoreCase : TRegExpr::roNone)
      .Matches(ABaseText);
}

bool BooleanCompareString(std::string_view ABaseText, std::string_view ACompareRule,
                          bool AIgnoreCase) {
  TCompareRule rule;
  rule.FromString(Folded(ACompareRule, AIgnoreCase));
  return rule.StringFits(Folded(ABaseText, AIgnoreCase));
}

size_t TCompareRule::Add(TCompareRuleItem item) {
  items_.push_back(std::move(item));
  return items_.size() - 1;
}

void TCompareRule::Delete(size_t index) {
  if (index < items_.size()) items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TCompareRule::FromString(std::string_view rule) {
  items_.clear();
  std::string token;
  bool inQuote = false;
  auto endToken = [&] {
    if (!token.empty()) Add({token});
    token.clear();
  };
  for (const char c : rule) {
    if (inQuote) {
      if (c == '"') {
        inQuote = false;
        endToken();
      } else {
        token += c;
      }
    } else if (c == '"') {
      inQuote = true;
    } else if (c == ' ') {
      endToken();
    } else {
      token += c;
    }
  }
  endToken();

  if (!items_.empty() && IsKeyword(items_.back(), "NOT")) items_.pop_back();
  for (size_t i = items_.size() >= 2 ? items_.size() - 1 : 0; i-- > 0;) {
    if (IsKeyword(items_[i], "NOT")) {
      items_[i + 1].Negator = true;
      Delete(i);
    }
  }
  if (!items_.empty()) items_[0].Action = TCompareAction::caOr;
  if (!items_.empty() && IsKeyword(items_.back(), "OR")) items_.pop_back();
  if (!items_.empty() && IsKeyword(items_.back(), "AND")) items_.pop_back();
  const size_t count = items_.size();
  for (size_t i = count >= 2 ? count - 2 : 0; i >= 1 && count >= 3; --i) {
    if (IsKeyword(items_[i], "AND")) {
      items_[i + 1].Action = TCompareAction::caAnd;
      Delete(i);
    } else if (IsKeyword(items_[i], "OR")) {
      items_[i + 1].Action = TCompareAction::caOr;
      Delete(i);
    }
  }
}

bool TCompareRule::StringFits(std::string_view s) const {
  bool result = false;
  for (const TCompareRuleItem& item : items_) {
    const bool v = (s.find(item.Text) != std::string_view::npos) != item.Negator;
    result = item.Action == TCompareAction::caAnd ? (result && v) : (result || v);
  }
  return result;
}
