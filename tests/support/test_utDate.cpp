#include <gtest/gtest.h>

#include <cstdlib>

#include "utDate.h"

namespace {
// Pins the time zone for one test and restores the test run's own after.
struct TZone {
  explicit TZone(const char* tz) {
    ::setenv("TZ", tz, 1);
    ReadTimeZoneInformation();
  }
  ~TZone() {
    ::setenv("TZ", "UTC", 1);
    ReadTimeZoneInformation();
  }
};
}  // namespace

TEST(UnixTime, UtcPlusOneWithoutDaylightTime) {
  TZone zone("<+01>-1");
  EXPECT_EQ(TZInfo.Bias, -60);
  EXPECT_FALSE(DaylightSavings);
  const TDateTime oneAm = EncodeDateTime({1970, 1, 1, 1, 0, 0});
  EXPECT_EQ(ConvertDateTimeToUNIXTime(oneAm), 0u);
  EXPECT_NEAR(ConvertUNIXTimeToDateTime(0), oneAm, 1e-9);
  EXPECT_EQ(ConvertDateTimeToUNIXTime(EncodeDateTime({2026, 12, 10, 15, 30, 0})), 1796913000u);
}

TEST(UnixTime, RoundsToTheNearestSecond) {
  TZone zone("UTC");
  EXPECT_EQ(ConvertDateTimeToUNIXTime(25569 + 0.4 / 86400), 0u);
  EXPECT_EQ(ConvertDateTimeToUNIXTime(25569 + 0.6 / 86400), 1u);
  EXPECT_EQ(ConvertDateTimeToUNIXTime(25569 + 2.4 / 86400), 2u);
  // Before 1970 there is no unsigned time stamp.
  EXPECT_EQ(ConvertDateTimeToUNIXTime(25568), 0u);
}

TEST(UnixTime, ZoneWithDaylightTimeHasBothBiases) {
  TZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
  EXPECT_EQ(TZInfo.Bias, -60);
  EXPECT_EQ(TZInfo.DaylightBias, -60);
  // One offset for every value: the one in force when it was read.
  EXPECT_EQ(TimeZoneOffsetMinutes(), DaylightSavings ? -120 : -60);
}
