// Dates of HTTP headers and cookies.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

// A moment as "Fri, 11 Dec 2026 14:05:09 +0100": three-letter day name,
// day, three-letter month name, year, time hh:nn:ss, and the offset of
// local time from UTC as a sign and hhmm.
std::string LocalDateTimeToHTTPStr(std::time_t moment);

// Reads an HTTP date: "Sun, 06 Nov 1994 08:49:37 GMT" (RFC 1123),
// "Sunday, 06-Nov-94 08:49:37 GMT" (RFC 850), "Sun Nov  6 08:49:37 1994"
// (asctime) and the same with "UTC" or a "+hhmm" / "-hhmm" offset in place of
// "GMT"; the day name may be left out, a two-digit year below 70 is in the
// 2000s. False when the text is none of these.
bool ParseHTTPDate(std::string_view text, std::time_t& moment);
