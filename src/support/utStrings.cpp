#include "utStrings.h"

#include <algorithm>
#include <cstring>

namespace {
char UpperAZ(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
char LowerAZ(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
}  // namespace

std::string TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsBlankOrControl(static_cast<unsigned char>(s[b]))) ++b;
  return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsBlankOrControl(static_cast<unsigned char>(s[e - 1]))) --e;
  return std::string(s.substr(0, e));
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlankOrControl(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && IsBlankOrControl(static_cast<unsigned char>(s[e - 1]))) --e;
  return std::string(s.substr(b, e - b));
}

std::string UpperCaseAZ(std::string_view s) {
  std::string r(s);
  std::transform(r.begin(), r.end(), r.begin(), UpperAZ);
  return r;
}

std::string LowerCaseAZ(std::string_view s) {
  std::string r(s);
  std::transform(r.begin(), r.end(), r.begin(), LowerAZ);
  return r;
}

int CompareText(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(UpperAZ(a[i]));
    const auto cb = static_cast<unsigned char>(UpperAZ(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string r;
  r.reserve(s.size());
  size_t pos = 0;
  for (;;) {
    const size_t hit = s.find(from, pos);
    if (hit == std::string_view::npos) break;
    r.append(s.substr(pos, hit - pos));
    r.append(to);
    pos = hit + from.size();
  }
  r.append(s.substr(pos));
  return r;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  // One allocation for the list: every line ends at a CR or LF, or the text.
  lines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  size_t start = 0;
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < n) lines.emplace_back(text.substr(start));
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  size_t total = 0;
  for (const auto& l : lines) total += l.size() + 2;
  std::string r;
  r.reserve(total);
  for (const auto& l : lines) {
    r += l;
    r += "\r\n";
  }
  return r;
}

std::string LineToString(std::string_view text) { return ReplaceAll(text, "%0D%0A", "\r\n"); }

std::string MakeCleanFilename(std::string_view filename) {
  static constexpr std::string_view kReplaceChars("*?\\><|/\0", 8);
  std::string r(filename);
  for (char& c : r)
    if (kReplaceChars.find(c) != std::string_view::npos) c = '_';
  return r;
}

int AnsiCompareText(std::string_view a, std::string_view b) {
  const std::string ua = UpperCaseAZ(a), ub = UpperCaseAZ(b);
  const int r = std::strcoll(ua.c_str(), ub.c_str());
  if (r != 0) return r;
  return CompareText(a, b);
}

std::string StringToRegExpr(std::string_view text) {
  std::string r;
  r.reserve(text.size() + 8);
  for (const char c : text) {
    if (c == '\\' || c == '(' || c == ')' || c == '.') r += '\\';
    r += c;
  }
  return r;
}

void TCrLfLineWriter::Write(std::string_view piece) {
  if (piece.empty()) return;
  any_ = true;
  size_t i = 0;
  if (afterCR_ && piece[0] == '\n') i = 1;
  afterCR_ = false;
  const size_t n = piece.size();
  while (i < n) {
    size_t j = i;
    while (j < n && piece[j] != '\r' && piece[j] != '\n') ++j;
    out_.append(piece.data() + i, j - i);
    if (j == n) {
      lineOpen_ = lineOpen_ || j > i;
      return;
    }
    out_ += "\r\n";
    lineOpen_ = false;
    if (piece[j] == '\r') {
      if (j + 1 == n)
        afterCR_ = true;
      else if (piece[j + 1] == '\n')
        ++j;
    }
    i = j + 1;
  }
}

bool TCrLfLineWriter::Finish() {
  if (lineOpen_) out_ += "\r\n";
  lineOpen_ = false;
  afterCR_ = false;
  return any_;
}
