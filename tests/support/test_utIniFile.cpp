#include <gtest/gtest.h>

#include "TempFolder.h"
#include "utFiles.h"
#include "utIniFile.h"

TEST(IniDocument, ParsesSectionsKeysAndSkipsTheRest) {
  const TIniDocument ini(
      "dropped=before any section\r\n"
      "  [Corvina]  \r\n"
      "; a comment\n"
      "\n"
      "  BartPE = 1 \r\n"
      "Name=a = b\r"
      "flag\n"
      "[Other]\n"
      "BartPE=2\n"
      "[corvina]\n"
      "Late=x\n");
  EXPECT_FALSE(ini.ValueExists("", "dropped"));
  EXPECT_EQ(ini.ReadInteger("CORVINA", "bartpe", 0), 1);
  EXPECT_EQ(ini.ReadString("Corvina", "Name", ""), "a = b");
  EXPECT_TRUE(ini.ValueExists("Corvina", "flag"));
  EXPECT_EQ(ini.ReadString("Corvina", "flag", "d"), "");
  EXPECT_EQ(ini.ReadInteger("Other", "BartPE", 0), 2);
  // A section that appears twice is one section.
  EXPECT_EQ(ini.ReadString("Corvina", "Late", ""), "x");
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"Corvina", "Other"}));
  EXPECT_EQ(ini.ReadString("Missing", "key", "default"), "default");
}

TEST(IniDocument, IntegersAreDecimalAndAnythingElseIsMissing) {
  const std::pair<std::string, long long> cases[] = {
      {"1", 1},
      {"-12", -12},
      {"+7", 7},
      {"0", 0},
      {"007", 7},
      {"word", 99},
      {"1x", 99},
      {"", 99},
      {"$10", 99},
      {"0x10", 99},
      {"1.5", 99},
      {"- 1", 99},
      {"99999999999999999999", 99},
      {"-9223372036854775808", -9223372036854775807LL - 1},
  };
  for (const auto& [value, expected] : cases) {
    const TIniDocument ini("[s]\nk=" + value + "\n");
    EXPECT_EQ(ini.ReadInteger("s", "k", 99), expected) << value;
  }
  const TIniDocument ini("[s]\nyes=2\nno=0\nword=true\n");
  EXPECT_TRUE(ini.ReadBool("s", "yes", false));
  EXPECT_FALSE(ini.ReadBool("s", "no", true));
  EXPECT_TRUE(ini.ReadBool("s", "word", true));
}

TEST(IniDocument, WritingReplacesTheWholeFile) {
  TIniDocument ini("[B]\nx=1\n[A]\n");
  ini.WriteString("a", "Key", "v");
  ini.WriteInteger("B", "X", 5);
  ini.WriteBool("C", "on", true);
  EXPECT_EQ(ini.Text(), "[B]\r\nx=5\r\n\r\n[A]\r\nKey=v\r\n\r\n[C]\r\non=1\r\n\r\n");
  TTempFolder dir;
  const std::string path = dir.Path() + "t.ini";
  ini.SaveToFile(path);
  EXPECT_EQ(TIniDocument::FromFile(path).Text(), ini.Text());
  ini.EraseSection("b");
  EXPECT_FALSE(ini.SectionExists("B"));
  // A missing file reads as an empty document.
  EXPECT_TRUE(TIniDocument::FromFile(dir.Path() + "none.ini").SectionNames().empty());
}
