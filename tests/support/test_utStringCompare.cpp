#include <gtest/gtest.h>

#include "utStringCompare.h"

namespace {
using S = TCompareStyle;

struct Case {
  std::string text, rule;
  bool ignoreCase, fits;
};

void ExpectAll(S style, const std::vector<Case>& cases) {
  for (const auto& c : cases)
    EXPECT_EQ(utCompareString(c.text, c.rule, style, c.ignoreCase), c.fits)
        << "'" << c.text << "' / '" << c.rule << "' ignoreCase=" << c.ignoreCase;
}
}  // namespace

TEST(CompareStyles, OrdinalValues) {
  EXPECT_EQ(static_cast<int>(S::csSubString), 0);
  EXPECT_EQ(static_cast<int>(S::csWildcards), 1);
  EXPECT_EQ(static_cast<int>(S::csBoolean), 2);
  EXPECT_EQ(static_cast<int>(S::csRegExp), 3);
  EXPECT_EQ(static_cast<int>(S::csBoyerMoore), 4);
  EXPECT_EQ(static_cast<int>(S::csIdentical), 5);
  EXPECT_EQ(static_cast<int>(TCompareAction::caAnd), 0);
  EXPECT_EQ(static_cast<int>(TCompareAction::caOr), 1);
  EXPECT_FALSE(utCompareString("a", "a", static_cast<S>(6), false));
  EXPECT_FALSE(utCompareString("a", "a", static_cast<S>(-1), false));
}

TEST(CompareTags, ChooseTheStyleAndAreStripped) {
  struct TagCase {
    std::string rule, stripped;
    S style;
  } cases[] = {
      {"<wc>*.txt", "*.txt", S::csWildcards},
      {"<substr>abc", "abc", S::csSubString},
      {"<bool>a b", "a b", S::csBoolean},
      {"<regexpr>^a", "^a", S::csRegExp},
      {"<bm>x", "x", S::csBoyerMoore},
      {"<wc> a", " a", S::csWildcards},
      {"<WC>*.txt", "<WC>*.txt", S::csIdentical},
      {"<wc><bm>x", "<bm>x", S::csWildcards},
      {"<other>x", "<other>x", S::csIdentical},
      {"", "", S::csIdentical},
  };
  for (const auto& c : cases) {
    std::string rule = c.rule;
    S style = S::csIdentical;
    GetCompareIDStyle(rule, style);
    EXPECT_EQ(rule, c.stripped);
    EXPECT_EQ(style, c.style) << c.rule;
  }
  EXPECT_TRUE(utCompareIDString("report.TXT", "<wc>*.txt", true, S::csSubString));
  EXPECT_FALSE(utCompareIDString("report.TXT", "<wc>*.txt", false, S::csSubString));
  // An upper-case tag is no tag: the default style sees it as pattern text.
  EXPECT_TRUE(utCompareIDString("x<WC>*.txt", "<WC>*.txt", false, S::csSubString));
  EXPECT_FALSE(utCompareIDString("report.txt", "<WC>*.txt", false, S::csWildcards));
  // A blank after the tag is part of the pattern.
  EXPECT_FALSE(utCompareIDString("abc", "<substr> abc", false, S::csIdentical));
  EXPECT_TRUE(utCompareIDString("x abc", "<substr> abc", false, S::csIdentical));
  EXPECT_TRUE(utCompareIDString("anything", "<bm>", false, S::csIdentical));
}

TEST(CompareStyles, SubStringAndIdentity) {
  ExpectAll(S::csSubString, {{"xxabcxx", "abc", false, true},
                             {"xxABCxx", "abc", false, false},
                             {"xxABCxx", "abc", true, true},
                             {"abc", "", false, false},
                             {"", "", false, false},
                             {"", "a", false, false},
                             // No match starts inside a UTF-8 character:
                             // "\xa4" is the second byte of "\xc3\xa4".
                             {"M\xc3\xa4rz", "\xa4rz", false, false},
                             {"\xa4rz", "\xa4rz", false, true},
                             // A Windows-1252 text has no such characters.
                             {"x\xb0y", "\xb0y", false, true}});
  ExpectAll(S::csIdentical, {{"abc", "abc", false, true},
                             {"abc", "ABC", false, false},
                             {"abc", "ABC", true, true},
                             {"", "", false, true},
                             {"\xe4", "\xc4", true, false}});
}

TEST(CompareStyles, Wildcards) {
  ExpectAll(S::csWildcards, {{"", "*", false, true},
                             {"anything", "*", false, true},
                             {"", "", false, true},
                             {"a", "", false, false},
                             {"", "**", false, false},
                             {"abc", "**", false, false},
                             {"xxabcxx", "*abc*", false, true},
                             {"xxabcxx", "*a?c*", false, true},
                             {"xxabcxx", "a?c", false, false},
                             {"abc", "a?c", false, true},
                             {"a", "a**", false, false},
                             {"a", "a*", false, true},
                             {"ab", "a**", false, true},
                             {"report.TXT", "*.txt", true, true},
                             {"report.TXT", "*.txt", false, false},
                             {"a.txt.bak", "*.txt", false, false},
                             {"x", "?", false, true},
                             {"", "?", false, false},
                             {"abc", "*b", false, false},
                             {"ab", "*a*b", false, true},
                             {"aXbXc", "a*b*c", false, true}});
}

TEST(CompareStyles, MatchPatternFollowsItsRecursiveDefinition) {
  struct PatternCase {
    std::string text, pattern;
    bool fits;
  } cases[] = {{"a", "a**", false},  {"", "*", true},       {"", "**", false},
               {"", "", true},       {"a", "", false},      {"", "a", false},
               {"ab", "**", true},   {"a", "*?", true},     {"", "*?", false},
               {"abc", "a*c", true}, {"ac", "a*?c", false}, {"abbc", "a*?c", true},
               {"b", "*a*", false},  {"ba", "*a*", true}};
  for (const auto& c : cases)
    EXPECT_EQ(MatchStrings(c.text, c.pattern), c.fits) << c.text << " / " << c.pattern;
}

// The recursive definition itself, for small cases.
bool RecursiveMatch(std::string_view e, std::string_view p) {
  if (p == "*") return true;
  if (e.empty()) return p.empty();
  if (p.empty()) return false;
  if (p[0] == '*') return RecursiveMatch(e, p.substr(1)) || RecursiveMatch(e.substr(1), p);
  if (p[0] == '?' || p[0] == e[0]) return RecursiveMatch(e.substr(1), p.substr(1));
  return false;
}

TEST(CompareStyles, MatchPatternAgreesWithTheRecursionOnEverySmallCase) {
  // Every text over "ab" up to 6 characters against every pattern over
  // "ab*?" up to 5 characters.
  const auto all = [](const std::string& alphabet, size_t maxLength) {
    std::vector<std::string> out{""};
    for (size_t start = 0, len = 0; len < maxLength; ++len) {
      const size_t end = out.size();
      for (size_t k = start; k < end; ++k)
        for (char c : alphabet) out.push_back(out[k] + c);
      start = end;
    }
    return out;
  };
  const auto texts = all("ab", 6), patterns = all("ab*?", 5);
  for (const auto& p : patterns)
    for (const auto& t : texts)
      ASSERT_EQ(MatchPattern(t, p), RecursiveMatch(t, p)) << t << " / " << p;
}

TEST(CompareStyles, ManyStarsDoNotTakeExponentialTime) {
  // The recursion would try about n^7 ways here; the table takes n * 15 steps.
  const std::string text(20000, 'a');
  EXPECT_FALSE(MatchStrings(text, "*a*a*a*a*a*a*b"));
  EXPECT_TRUE(MatchStrings(text + "b", "*a*a*a*a*a*a*b"));
  EXPECT_FALSE(WildcardCompareString(text, "*a*a*a*a*a*a*b*a", false));
}

TEST(CompareStyles, BooleanRules) {
  ExpectAll(S::csBoolean, {{"an apple", "apple pear", false, true},
                           {"a pear", "apple pear", false, true},
                           {"a plum", "apple pear", false, false},
                           {"apple", "apple AND pear", false, false},
                           {"apple pear", "apple AND pear", false, true},
                           {"apple", "apple AND NOT pear", false, true},
                           {"apple pear", "apple AND NOT pear", false, false},
                           {"plum", "NOT apple", false, true},
                           {"apple", "NOT apple", false, false},
                           {"plum", "NOT NOT apple", false, true},
                           {"apple", "apple OR", false, true},
                           {"apple", "apple AND", false, true},
                           {"apple", "apple NOT", false, true},
                           {"AND", "AND apple", false, true},
                           {"apple", "AND apple", false, true},
                           {"x", "AND apple", false, false},
                           {"a big apple", "\"big apple\" pear", false, true},
                           {"an apple", "\"big apple\" pear", false, false},
                           {"a", "a OR b AND c", false, false},
                           {"a c", "a OR b AND c", false, true},
                           {"APPLE PEAR", "Apple and pear", true, true},
                           {"Apple", "Apple and pear", false, false},
                           {"Apple pear", "Apple and pear", false, true},
                           {"apple", "", false, false},
                           {"x \"AND\" y", "x \"AND\" y", false, true}});
}

TEST(CompareRule, FromStringBuildsTheTerms) {
  TCompareRule rule;
  rule.FromString("a\"b c\"d  NOT e OR \"open quote");
  ASSERT_EQ(rule.Count(), 4u);
  EXPECT_EQ(rule.Items(0).Text, "ab c");
  EXPECT_EQ(rule.Items(1).Text, "d");
  EXPECT_EQ(rule.Items(2).Text, "e");
  EXPECT_TRUE(rule.Items(2).Negator);
  EXPECT_EQ(rule.Items(3).Text, "open quote");
  EXPECT_EQ(rule.Items(3).Action, TCompareAction::caOr);
  // A quoted keyword is still a keyword.
  rule.FromString("x \"AND\" y");
  ASSERT_EQ(rule.Count(), 2u);
  EXPECT_EQ(rule.Items(1).Action, TCompareAction::caAnd);
  rule.FromString("AND x");
  ASSERT_EQ(rule.Count(), 2u);
  EXPECT_EQ(rule.Items(0).Text, "AND");
  EXPECT_EQ(rule.Items(0).Action, TCompareAction::caOr);
  rule.FromString("NOT");
  EXPECT_EQ(rule.Count(), 0u);
  EXPECT_FALSE(rule.StringFits("anything"));
  EXPECT_EQ(rule.Add({"z"}), 0u);
  rule.Delete(0);
  EXPECT_EQ(rule.Count(), 0u);
}

TEST(CompareStyles, BoyerMoore) {
  ExpectAll(S::csBoyerMoore, {{"xxabcxx", "abc", false, true},
                              {"xxabdxx", "abc", false, false},
                              {"xxabcxx", "abd", false, false},
                              {"ab", "abc", false, false},
                              {"xxabcxx", "ABC", true, true},
                              {"xxabcxx", "ABC", false, false},
                              {"", "", false, true},
                              {"abc", "", false, true},
                              {"abc", "abc", false, true},
                              {"aaab", "aab", false, true},
                              {"abcabd", "abd", false, true}});
}

TEST(CompareStyles, RegularExpressionsSearchAndRaiseOnBadRules) {
  ExpectAll(S::csRegExp, {{"report.txt", "\\.txt$", false, true},
                          {"report.TXT", "\\.txt$", false, false},
                          {"report.TXT", "\\.txt$", true, true},
                          {"xxabcxx", "b", false, true},
                          {"xxabcxx", "^b", false, false},
                          {"a1b", "[0-9]", false, true},
                          {"line1\nline2", "^line2", false, false}});
  try {
    utCompareString("text", "(", S::csRegExp, false);
    FAIL() << "no error";
  } catch (const ERegExpError& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find("offset 1"), std::string::npos) << message;
    EXPECT_NE(message.find("missing closing parenthesis"), std::string::npos) << message;
  }
  EXPECT_THROW(utCompareIDString("text", "<regexpr>a[", false, S::csWildcards), ERegExpError);
}

TEST(CompareStyles, RegularExpressionsEndAtTheirBoundsWithAClearError) {
  // Runs of letters that make a nested repetition try every split.
  std::string runs;
  while (runs.size() < 840) runs += std::string(19, 'a') + "b";
  const struct {
    std::string rule, text, reason;
  } cases[] = {
      {"(a+)+$", std::string(840, 'a') + "b", "match limit exceeded"},
      {"(a+)+$", runs, "match limit exceeded"},
      // Within the match limit at each position, but not at a million of them.
      {"(a|aa)+$", [] {
         std::string t;
         while (t.size() < (1u << 20)) t += std::string(18, 'a') + "b";
         return t;
       }(),
       "it took longer than 550 ms"},
  };
  for (const auto& c : cases) {
    try {
      utCompareString(c.text, c.rule, S::csRegExp, false);
      ADD_FAILURE() << c.rule << ": no error";
    } catch (const ERegExpError& e) {
      EXPECT_EQ(std::string(e.what()), "Regular expression \"" + c.rule + "\" failed: " + c.reason);
    }
  }
  // A rule that needs deep backtracking memory stops at its heap bound.
  const TRegExpr deep("(?:a|b)*+c|(a(?1)?)", TRegExpr::roNone);
  EXPECT_THROW(deep.Matches(std::string(1u << 20, 'a')), ERegExpError);
}
