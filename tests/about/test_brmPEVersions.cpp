#include <gtest/gtest.h>

#include "TempFolder.h"
#include "VersionElf.h"
#include "brmPEVersions.h"

namespace {
using V = std::vector<std::string>;
}

TEST(VersionInfo, TheProgramsOwnBlockReadFromItsFile) {
  ASSERT_EQ(GetVersionResCount(CORVINA_PROGRAM), 1);
  TStringList info;
  ASSERT_TRUE(GetVersionRes(CORVINA_PROGRAM, 0, info));
  EXPECT_EQ(info.Values("CompanyName"), "Brenmoor");
  EXPECT_EQ(info.Values("FileVersion"), "0.4.2.4");
  EXPECT_EQ(info.Values("ProductVersion"), "0.4.2.0");
  EXPECT_EQ(info.Values("InternalName"), "Corvina");
  EXPECT_EQ(info.Values("OriginalFilename"), "corvina");
  EXPECT_EQ(info.Values("ProductName"), "Corvina");
  EXPECT_EQ(info.Names(0), "FileVersion");
  EXPECT_EQ(info.Count(), 12u);  // no Translators line
  EXPECT_EQ(info[3], "Comments=");
  // The fixed part and the translation table.
  uint32_t handle = 0;
  const uint32_t size = GetFileVersionInfoSizeA(CORVINA_PROGRAM, &handle);
  std::vector<uint8_t> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(CORVINA_PROGRAM, handle, size, block.data()));
  const void* value = nullptr;
  uint32_t length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
  ASSERT_EQ(length, 52u);
  uint32_t fixed[13];
  std::memcpy(fixed, value, 52);
  EXPECT_EQ(fixed[0], 0xFEEF04BDu);
  EXPECT_EQ(fixed[2], 0x00000004u);  // 0.4
  EXPECT_EQ(fixed[3], 0x00020004u);  // 2.4
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\\\VarFileInfo\\\\Translation", &value, &length));
  EXPECT_EQ(length, 4u);
  TLangAndCodepage lang;
  std::memcpy(&lang, value, 4);
  EXPECT_EQ(WordToHex(lang.wLanguage) + WordToHex(lang.wCodepage), "180904E4");
  EXPECT_FALSE(VerQueryValueA(block.data(), "\\StringFileInfo\\180904E4\\NoSuch", &value, &length));
}

TEST(VersionInfo, FilesWithoutABlockAndBlocksOfTheTestsOwn) {
  TTempFolder dir;
  for (const std::string& file : {dir.Write("text.txt", "not a program"), std::string(CORVINA_TEST_BINARY),
                                  dir.Path() + "missing"}) {
    EXPECT_EQ(GetFileVersionInfoSizeA(file, nullptr), 0u) << file;
    EXPECT_EQ(GetVersionResCount(file), 0) << file;
    TStringList list({"kept"});
    EXPECT_FALSE(GetVersionRes(file, 0, list));
    EXPECT_EQ(list.Lines(), V{"kept"});
  }
  TVersionInfoSource source;
  source.strings = {{"ProductName", "Gr\xc3\xbcn & Co"}, {"Translators", "German=Team A\r\nFrench=Team B"}};
  const std::string file = dir.Path() + "own";
  WriteElfWithVersionBlock(file, MakeVersionInfoBlock(source));
  TStringList info;
  ASSERT_TRUE(GetVersionRes(file, 0, info));
  EXPECT_EQ(info.Values("ProductName"), "Gr\xc3\xbcn & Co");
  EXPECT_EQ(info.Values("FileVersion"), "");
  EXPECT_EQ(info.Values("Translators"), "German=Team A\r\nFrench=Team B");
  EXPECT_FALSE(GetVersionRes(file, 1, info));
  EXPECT_EQ(WordToHex(0x1809), "1809");
  EXPECT_EQ(WordToHex(0xa), "000A");
}
