#include <gtest/gtest.h>

#include "utStrings.h"

TEST(SplitLines, BreaksAtCrLfLfAndCr) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"\n", {""}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR is two breaks
      {"a\r\r\nb", {"a", "", "b"}},
      {std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
}

TEST(JoinLines, WritesCrLfAfterEveryLine) {
  EXPECT_EQ(JoinLines({}), "");
  EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(LineToString, ReplacesOnlyTheUpperCaseSequence) {
  const std::pair<std::string, std::string> cases[] = {
      {"one%0D%0Atwo", "one\r\ntwo"},   {"%0D%0A%0D%0A", "\r\n\r\n"},
      {"one%0d%0atwo", "one%0d%0atwo"}, {"%0D%0%0D%0AA", "%0D%0\r\nA"},
      {"no breaks", "no breaks"},       {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(LineToString(in), out) << in;
}

TEST(MakeCleanFilename, ReplacesCharactersThatCannotStandInAFileName) {
  const std::pair<std::string, std::string> cases[] = {
      {"example.com", "example.com"},  {"a*b?c", "a_b_c"},
      {"a\\b>c<d|e", "a_b_c_d_e"},     {"../../etc/passwd", ".._.._etc_passwd"},
      {std::string("a\0b", 3), "a_b"}, {"a:b\"c", "a:b\"c"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(MakeCleanFilename(in), out) << in;
}

TEST(Trim, RemovesBlanksAndControlCharacters) {
  EXPECT_EQ(Trim(" \t\r\n a b \x01\x1f"), "a b");
  EXPECT_EQ(Trim(std::string("\0x\0", 3)), "x");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  // Bytes above 127 are not blanks.
  EXPECT_EQ(Trim("\xa0x\xa0"), "\xa0x\xa0");
}

TEST(LetterCase, TouchesOnlyAsciiLetters) {
  EXPECT_EQ(UpperCaseAZ("abc-xyz.de \xe4"), "ABC-XYZ.DE \xe4");
  EXPECT_EQ(LowerCaseAZ("ABC.DE \xc4"), "abc.de \xc4");
  EXPECT_TRUE(SameText("Corvina", "cORVINA"));
  EXPECT_FALSE(SameText("Corvina", "Corvin"));
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_GT(CompareText("abcd", "ABC"), 0);
}

TEST(StringToRegExpr, EscapesBackslashesParenthesesAndDots) {
  EXPECT_EQ(StringToRegExpr("a.b(c)\\d"), "a\\.b\\(c\\)\\\\d");
  EXPECT_EQ(StringToRegExpr("/data/Program Files (x86)/"), "/data/Program Files \\(x86\\)/");
}
