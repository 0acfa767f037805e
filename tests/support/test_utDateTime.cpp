#include <gtest/gtest.h>

#include <clocale>

#include "utDateTime.h"

TEST(DateTime, DayCountStartsAt18991230) {
  EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 30}), 0.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime({1970, 1, 1}), 25569.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime({2000, 3, 1, 12}), 36586.5);
  const TDateTimeParts p = DecodeDateTime(EncodeDateTime({2024, 2, 29, 23, 59, 59, 999}));
  EXPECT_EQ(p.year, 2024);
  EXPECT_EQ(p.month, 2);
  EXPECT_EQ(p.day, 29);
  EXPECT_EQ(p.hour, 23);
  EXPECT_EQ(p.minute, 59);
  EXPECT_EQ(p.second, 59);
  EXPECT_EQ(p.millisecond, 999);
}

TEST(DateTime, CFormatInTheCLocale) {
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(DateTimeToStr(EncodeDateTime({2026, 12, 10, 9, 5, 7})), "12/10/26 09:05:07");
  // Exactly midnight leaves the time out.
  EXPECT_EQ(DateTimeToStr(EncodeDateTime({2026, 12, 10})), "12/10/26");
  EXPECT_EQ(DateTimeToStr(EncodeDateTime({2026, 12, 10, 0, 0, 0, 1})), "12/10/26 00:00:00");
}

TEST(DateTime, NowIsToday) {
  const TDateTime now = Now();
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  const TDateTimeParts p = DecodeDateTime(now);
  EXPECT_EQ(p.year, local.tm_year + 1900);
  EXPECT_EQ(p.day, local.tm_mday);
}
