#include "utDate.h"

#include <cfenv>
#include <cmath>
#include <ctime>

TTimeZoneInformation TZInfo;
bool DaylightSavings = false;

namespace {

// Seconds east of UTC of local time at t, and whether daylight time is in
// effect then.
long GmtOffsetAt(std::time_t t, bool* daylight = nullptr) {
  std::tm local{};
  localtime_r(&t, &local);
  if (daylight) *daylight = local.tm_isdst > 0;
  return local.tm_gmtoff;
}

const bool kReadAtStart = (ReadTimeZoneInformation(), true);

}  // namespace

void ReadTimeZoneInformation() {
  tzset();
  const std::time_t now = std::time(nullptr);
  bool daylightNow = false;
  const long offsetNow = GmtOffsetAt(now, &daylightNow);
  // The standard and daylight offsets of this year: one of January and July
  // is standard time (in either hemisphere) when the zone has daylight time.
  std::tm year{};
  localtime_r(&now, &year);
  std::tm jan{}, jul{};
  jan.tm_year = jul.tm_year = year.tm_year;
  jan.tm_mday = jul.tm_mday = 1;
  jul.tm_mon = 6;
  jan.tm_isdst = jul.tm_isdst = -1;
  bool janDaylight = false, julDaylight = false;
  const long janOffset = GmtOffsetAt(std::mktime(&jan), &janDaylight);
  const long julOffset = GmtOffsetAt(std::mktime(&jul), &julDaylight);
  long standard = offsetNow;
  if (daylightNow) standard = janDaylight ? julOffset : janOffset;
  TZInfo.Bias = static_cast<int>(-standard / 60);
  TZInfo.DaylightBias = 0;
  if (janDaylight != julDaylight) {
    const long daylight = janDaylight ? janOffset : julOffset;
    TZInfo.DaylightBias = static_cast<int>(-(daylight - standard) / 60);
  }
  DaylightSavings = daylightNow;
  (void)kReadAtStart;
}

int TimeZoneOffsetMinutes() { return TZInfo.Bias + (DaylightSavings ? TZInfo.DaylightBias : 0); }

TDateTime ConvertUNIXTimeToDateTime(double PT) {
  return PT / 86400.0 + 25569.0 - TimeZoneOffsetMinutes() / 1440.0;
}

uint32_t ConvertDateTimeToUNIXTime(TDateTime PT) {
  const double seconds = (PT - 25569.0 + TimeZoneOffsetMinutes() / 1440.0) * 86400.0;
  // nearbyint rounds in the current mode, which is to nearest, ties to even.
  const double rounded = std::nearbyint(seconds);
  if (rounded <= 0) return 0;
  if (rounded >= 4294967295.0) return UINT32_MAX;
  return static_cast<uint32_t>(rounded);
}
