// UNIX time stamps and local date-time values. The time-zone offset is read
// once, at start: the zone's bias (minutes to add to local time to get UTC)
// plus the daylight bias when daylight time is in effect at that moment; the
// same offset serves every conversion, whatever the date.
#pragma once

#include <cstdint>

#include "utDateTime.h"

struct TTimeZoneInformation {
  int Bias = 0;          // minutes: UTC = local time + Bias
  int DaylightBias = 0;  // minutes added to Bias during daylight time
};

extern TTimeZoneInformation TZInfo;
extern bool DaylightSavings;

// Reads the platform's time zone (TZ and the zone files) into TZInfo and
// DaylightSavings. Runs once when the program starts; a test that changes
// TZ calls it again.
void ReadTimeZoneInformation();
// The offset in minutes used by the conversions.
int TimeZoneOffsetMinutes();

TDateTime ConvertUNIXTimeToDateTime(double PT);
// Rounded to the nearest second, a half to the even neighbour.
uint32_t ConvertDateTimeToUNIXTime(TDateTime PT);
