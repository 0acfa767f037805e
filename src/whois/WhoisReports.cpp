#include "WhoisReports.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "utFileSysWin.h"
#include "utFiles.h"
#include "utStrings.h"

std::string WhoisSaveTimeText(TDateTime when) {
  const TDateTimeParts t = DecodeDateTime(when);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d.%02d-%02d-%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

std::string WhoisSaveFileName(std::string_view domain, TDateTime when) {
  return MakeCleanFilename(LowerCaseAZ(domain)) + "." + WhoisSaveTimeText(when) + ".txt";
}

std::vector<TWhoisReportGroup> GroupWhoisReports(std::vector<std::string> paths) {
  std::stable_sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
    return AnsiCompareText(a, b) < 0;
  });
  std::vector<TWhoisReportGroup> groups;
  for (std::string& path : paths) {
    std::string caption = ExtractFileName(path);
    caption.resize(caption.size() > 4 ? caption.size() - 4 : 0);
    if (caption.empty()) continue;
    const std::string letter = UpperCaseAZ(caption.substr(0, 1));
    auto group = std::find_if(groups.begin(), groups.end(),
                              [&](const TWhoisReportGroup& g) { return g.letter == letter; });
    if (group == groups.end()) group = groups.insert(groups.end(), TWhoisReportGroup{letter, {}});
    group->reports.push_back({std::move(caption), std::move(path)});
  }
  return groups;
}

std::vector<std::string> ListWhoisReports(const std::string& appPathData) {
  return WindowsFindFileList(appPathData + "Query/Whois/*.txt", true, false, true).Lines();
}

TStringList ReadWhoisDomainList(const std::string& path) {
  TStringList domains;
  domains.LoadFromFile(path);
  domains.Sort();
  return domains;
}

namespace {

// True when every line break is CR LF and the text ends with one (or is
// empty): the form the lookups write. Two passes of memchr, one for each
// character, keep this cheap beside the search that follows.
bool CrLfLinesOnly(const std::string& bytes) {
  if (!bytes.empty() && !EndsWith(bytes, "\r\n")) return false;
  const char* const begin = bytes.data();
  const char* const end = begin + bytes.size();
  size_t lineFeeds = 0;
  for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, '\n', end - p)));
       ++p, ++lineFeeds)
    if (p == begin || p[-1] != '\r') return false;
  size_t returns = 0;
  for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, '\r', end - p)));
       ++p)
    ++returns;
  return returns == lineFeeds;
}

}  // namespace

std::string ReadWhoisReportText(const std::string& path) {
  std::string bytes = ReadFileBytes(path);
  if (CrLfLinesOnly(bytes)) return bytes;
  std::string text;
  TCrLfLineWriter writer(text);
  writer.Write(bytes);
  writer.Finish();
  return text;
}
