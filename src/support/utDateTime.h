// Date and time values: a day count since 1899-12-30 with the time of day as
// the fraction.
#pragma once

#include <string>

using TDateTime = double;

struct TDateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Days since 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(long long year, unsigned month, unsigned day);

TDateTime EncodeDateTime(const TDateTimeParts& parts);
TDateTimeParts DecodeDateTime(TDateTime value);

// The current local date and time.
TDateTime Now();

// The "c" format: the locale's short date, a blank and its long time; the
// time is left out when it is exactly midnight. The formats are the C
// library's (LC_TIME): nl_langinfo(D_FMT) and nl_langinfo(T_FMT).
std::string DateTimeToStr(TDateTime value);
