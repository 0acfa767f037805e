#include <gtest/gtest.h>

#include "utCodePage.h"

TEST(CodePage, Utf8IsShownAsItIsAndAnythingElseAsWindows1252) {
  EXPECT_TRUE(IsValidUtf8("M\xc3\xbcller"));
  EXPECT_FALSE(IsValidUtf8("M\xfcller"));
  EXPECT_FALSE(IsValidUtf8("\xc0\xaf"));      // overlong
  EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));  // surrogate
  EXPECT_FALSE(IsValidUtf8("\xe2\x82"));      // cut short
  EXPECT_EQ(DisplayTextToUtf8("M\xc3\xbcller"), "M\xc3\xbcller");
  EXPECT_EQ(DisplayTextToUtf8("M\xfcller"), "M\xc3\xbcller");
  EXPECT_EQ(DisplayTextToUtf8("\x80"), "\xe2\x82\xac");  // euro sign
  EXPECT_EQ(DisplayTextToUtf8("\x81"), "\xc2\x81");
}
