#include "utDateTime.h"

#include <langinfo.h>

#include <chrono>
#include <cmath>
#include <ctime>

namespace {

constexpr long long kMsPerDay = 86400000LL;
// Days from 1970-01-01 back to 1899-12-30.
constexpr long long kUnixEpochDay = 25569;

}  // namespace

long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

namespace {

void CivilFromDays(long long z, int& year, int& month, int& day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (month <= 2));
}

}  // namespace

TDateTime EncodeDateTime(const TDateTimeParts& p) {
  const long long day =
      DaysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day)) +
      kUnixEpochDay;
  const long long ms = ((p.hour * 60LL + p.minute) * 60LL + p.second) * 1000LL + p.millisecond;
  return static_cast<double>(day) + static_cast<double>(ms) / kMsPerDay;
}

TDateTimeParts DecodeDateTime(TDateTime value) {
  long long day = static_cast<long long>(std::floor(value));
  long long ms = std::llround((value - static_cast<double>(day)) * kMsPerDay);
  if (ms >= kMsPerDay) {
    ++day;
    ms -= kMsPerDay;
  }
  TDateTimeParts p;
  CivilFromDays(day - kUnixEpochDay, p.year, p.month, p.day);
  p.millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  p.second = static_cast<int>(ms % 60);
  ms /= 60;
  p.minute = static_cast<int>(ms % 60);
  p.hour = static_cast<int>(ms / 60);
  return p;
}

TDateTime Now() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  TDateTimeParts p;
  p.year = local.tm_year + 1900;
  p.month = local.tm_mon + 1;
  p.day = local.tm_mday;
  p.hour = local.tm_hour;
  p.minute = local.tm_min;
  p.second = local.tm_sec;
  p.millisecond =
      static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  return EncodeDateTime(p);
}

std::string DateTimeToStr(TDateTime value) {
  const TDateTimeParts p = DecodeDateTime(value);
  std::tm tm{};
  tm.tm_year = p.year - 1900;
  tm.tm_mon = p.month - 1;
  tm.tm_mday = p.day;
  tm.tm_hour = p.hour;
  tm.tm_min = p.minute;
  tm.tm_sec = p.second;
  tm.tm_isdst = -1;
  const long long days =
      DaysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day));
  tm.tm_wday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  tm.tm_yday = static_cast<int>(days - DaysFromCivil(p.year, 1, 1));

  std::string format = nl_langinfo(D_FMT);
  const bool midnight = p.hour == 0 && p.minute == 0 && p.second == 0 && p.millisecond == 0;
  if (!midnight) format += std::string(" ") + nl_langinfo(T_FMT);
  char buf[256];
  const size_t n = std::strftime(buf, sizeof buf, format.c_str(), &tm);
  return std::string(buf, n);
}
