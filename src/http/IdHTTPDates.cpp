#include "IdHTTPDates.h"

#include <cctype>
#include <cstdio>
#include <vector>

#include "utDateTime.h"
#include "utStrings.h"

namespace {

constexpr const char* kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int MonthIndex(std::string_view word) {
  if (word.size() < 3) return -1;
  for (int i = 0; i < 12; ++i)
    if (SameText(word.substr(0, 3), kMonthNames[i])) return i;
  return -1;
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (const char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

int Number(std::string_view s) {
  int n = 0;
  for (const char c : s) n = n * 10 + (c - '0');
  return n;
}

// "hh:mm:ss" into seconds of the day.
bool ParseTime(std::string_view s, int& seconds) {
  if (s.size() != 8 || s[2] != ':' || s[5] != ':') return false;
  const std::string_view h = s.substr(0, 2), m = s.substr(3, 2), sec = s.substr(6, 2);
  if (!AllDigits(h) || !AllDigits(m) || !AllDigits(sec)) return false;
  if (Number(h) > 23 || Number(m) > 59 || Number(sec) > 60) return false;
  seconds = Number(h) * 3600 + Number(m) * 60 + Number(sec);
  return true;
}

// "GMT", "UTC", "Z" or "+hhmm" / "-hhmm": seconds to add to local to get UTC.
bool ParseZone(std::string_view s, int& offsetSeconds) {
  if (SameText(s, "GMT") || SameText(s, "UTC") || SameText(s, "UT") || s == "Z") {
    offsetSeconds = 0;
    return true;
  }
  if (s.size() != 5 || (s[0] != '+' && s[0] != '-') || !AllDigits(s.substr(1))) return false;
  const int minutes = Number(s.substr(1, 2)) * 60 + Number(s.substr(3, 2));
  offsetSeconds = (s[0] == '+' ? -minutes : minutes) * 60;
  return true;
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == ',' || text[i] == '\t')) ++i;
    const size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != ',' && text[i] != '\t') ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

}  // namespace

std::string LocalDateTimeToHTTPStr(std::time_t moment) {
  std::tm local{};
  localtime_r(&moment, &local);
  const long offset = local.tm_gmtoff / 60;
  const long absOffset = offset < 0 ? -offset : offset;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s, %d %s %d %02d:%02d:%02d %c%02ld%02ld",
                kDayNames[local.tm_wday], local.tm_mday, kMonthNames[local.tm_mon],
                local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec,
                offset < 0 ? '-' : '+', absOffset / 60, absOffset % 60);
  return buf;
}

bool ParseHTTPDate(std::string_view text, std::time_t& moment) {
  std::vector<std::string_view> words = Words(text);
  // The day name, when there is one, tells nothing.
  if (!words.empty() && !AllDigits(words[0]) && MonthIndex(words[0]) < 0)
    words.erase(words.begin());
  int day = 0, month = -1, year = 0, seconds = 0, offset = 0;
  if (words.size() == 4 && MonthIndex(words[0]) >= 0) {
    // asctime: "Nov 6 08:49:37 1994"
    month = MonthIndex(words[0]);
    if (!AllDigits(words[1]) || !ParseTime(words[2], seconds) || !AllDigits(words[3])) return false;
    day = Number(words[1]);
    year = Number(words[3]);
  } else if (words.size() >= 2 && words.size() <= 4 &&
             words[0].find('-') != std::string_view::npos) {
    // RFC 850: "06-Nov-94 08:49:37 GMT"
    const std::string_view date = words[0];
    const size_t a = date.find('-'), b = date.find('-', a + 1);
    if (b == std::string_view::npos) return false;
    const std::string_view d = date.substr(0, a), y = date.substr(b + 1);
    month = MonthIndex(date.substr(a + 1, b - a - 1));
    if (!AllDigits(d) || !AllDigits(y) || !ParseTime(words[1], seconds)) return false;
    if (words.size() >= 3 && !ParseZone(words[2], offset)) return false;
    day = Number(d);
    year = Number(y);
  } else if (words.size() == 4 || words.size() == 5) {
    // RFC 1123: "06 Nov 1994 08:49:37 GMT"
    month = MonthIndex(words[1]);
    if (!AllDigits(words[0]) || !AllDigits(words[2]) || !ParseTime(words[3], seconds)) return false;
    if (words.size() == 5 && !ParseZone(words[4], offset)) return false;
    day = Number(words[0]);
    year = Number(words[2]);
  } else {
    return false;
  }
  if (month < 0 || day < 1 || day > 31) return false;
  if (year < 70)
    year += 2000;
  else if (year < 100)
    year += 1900;
  if (year > 9999) return false;
  moment = static_cast<std::time_t>(
      DaysFromCivil(year, static_cast<unsigned>(month + 1), static_cast<unsigned>(day)) * 86400 +
      seconds + offset);
  return true;
}
