// Whois reports as files: the name a saved report is offered under, the
// menu of saved reports grouped by first letter, and the list of domains a
// batch lookup reads.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "utDateTime.h"
#include "utStringList.h"

// "yyyy-mm-dd.hh-nn-ss" of a moment.
std::string WhoisSaveTimeText(TDateTime when);
// The name "Save report" proposes: the cleaned domain in lower case, ".",
// the time text and ".txt".
std::string WhoisSaveFileName(std::string_view domain, TDateTime when);

// One report of the menu of old reports: its caption (the file name without
// folder and ".txt") and its full path.
struct TWhoisReportItem {
  std::string caption;
  std::string path;
};
// The reports of one first character; letter is that character with a to z
// in capitals.
struct TWhoisReportGroup {
  std::string letter;
  std::vector<TWhoisReportItem> reports;
};
// Sorts the paths without regard to letter case in the locale's order and
// groups them by the first character of their caption; groups come in the
// order of their first report. A file whose caption is empty is left out.
std::vector<TWhoisReportGroup> GroupWhoisReports(std::vector<std::string> paths);

// The saved reports of the data folder: appPathData + "Query/Whois/*.txt",
// files only, full paths.
std::vector<std::string> ListWhoisReports(const std::string& appPathData);

// The domains of a batch list file: its lines (CR LF, LF or CR), sorted
// without regard to letter case in the locale's order, empty lines and
// duplicates kept, nothing trimmed. A file larger than kMaxReadFileSize
// raises EFileError.
TStringList ReadWhoisDomainList(const std::string& path);

// The lines of a report file as the report's text, each line followed by
// CR LF. A file larger than kMaxReadFileSize raises EFileError.
std::string ReadWhoisReportText(const std::string& path);
