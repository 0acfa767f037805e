#include <gtest/gtest.h>

#include "utFormat.h"

TEST(Format, TextsIntegersAndBadDirectives) {
  EXPECT_EQ(Format("Trying to get info about %s from %s...", {"a.de", "whois.denic.de"}),
            "Trying to get info about a.de from whois.denic.de...");
  EXPECT_EQ(Format("Redirected (%d) to: %s", {302, "http://x/"}), "Redirected (302) to: http://x/");
  EXPECT_EQ(Format("100%% %d", {-5}), "100% -5");
  // A directive without an argument is left out, one of the other kind is
  // written as text, unknown directives and a trailing "%" stay.
  EXPECT_EQ(Format("%s and %s", {"one"}), "one and ");
  EXPECT_EQ(Format("%d/%s", {"text", 7}), "text/7");
  EXPECT_EQ(Format("%x %", {}), "%x %");
  EXPECT_EQ(Format("no directives", {"unused"}), "no directives");
}
