// Whether a text fits a rule written as text: substring, wildcards, a
// Boolean expression of terms, a regular expression, a Boyer-Moore search or
// identity. A tag at the start of a rule ("<wc>", "<substr>", "<bool>",
// "<regexpr>", "<bm>") can choose the style, so that one text field (a file
// mask, say) carries both the style and the pattern.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "utRegExpr.h"

enum class TCompareStyle {
  csSubString = 0,
  csWildcards = 1,
  csBoolean = 2,
  csRegExp = 3,
  csBoyerMoore = 4,
  csIdentical = 5,
};

enum class TCompareAction { caAnd = 0, caOr = 1 };

bool utCompareString(std::string_view ABaseText, std::string_view ACompareRule, TCompareStyle style,
                     bool ignoreCase);
// Reads and strips a tag of the rule (the style starts as DefaultStyle) and
// compares in the style it names.
bool utCompareIDString(std::string_view ABaseText, std::string_view ACompareRule, bool ignoreCase,
                       TCompareStyle DefaultStyle);
// Strips a tag at the start of the rule (letter case counts) and sets the
// style it names; without a tag both stay as they are.
void GetCompareIDStyle(std::string& ACompareRule, TCompareStyle& AStyle);

bool SubStringCompareString(std::string_view ABaseText, std::string_view ACompareRule,
                            bool AIgnoreCase);
bool WildcardCompareString(std::string_view ABaseText, std::string_view ACompareRule,
                           bool AIgnoreCase);
bool BooleanCompareString(std::string_view ABaseText, std::string_view ACompareRule,
                          bool AIgnoreCase);
bool RegExpCompareString(std::string_view ABaseText, std::string_view ACompareRule,
                         bool AIgnoreCase);
bool BoyerMooreCompareString(std::string_view ABaseText, std::string_view ACompareRule,
                             bool AIgnoreCase);
bool IdenticalCompareString(std::string_view ABaseText, std::string_view ACompareRule,
                            bool AIgnoreCase);

// Wildcard match of the whole Source against the whole Pattern: "*" takes
// any run of characters, "?" exactly one. A pattern tail of two or more
// stars does not match an empty text tail ("a**" does not fit "a").
bool MatchStrings(std::string_view Source, std::string_view Pattern);
bool MatchPattern(std::string_view element, std::string_view pattern);

struct TCompareRuleItem {
  std::string Text;
  bool Negator = false;
  TCompareAction Action = TCompareAction::caOr;
};

// A Boolean rule: terms joined by AND and OR from left to right, without
// precedence; NOT inverts the term after it.
class TCompareRule {
 public:
  size_t Add(TCompareRuleItem item);
  void Delete(size_t index);
  const TCompareRuleItem& Items(size_t index) const { return GetItem(index); }
  const TCompareRuleItem& GetItem(size_t index) const { return items_.at(index); }
  size_t Count() const { return items_.size(); }

  void FromString(std::string_view rule);
  bool StringFits(std::string_view s) const;

 private:
  std::vector<TCompareRuleItem> items_;
};
