#include "WhoisServerList.h"

#include "utFiles.h"
#include "utStrings.h"

namespace {
bool IsFieldBlank(char c) { return c >= 1 && c <= 32; }
}  // namespace

std::vector<std::string> SplitWhoisServerFields(std::string_view line) {
  // A NUL byte ends the line.
  if (const size_t nul = line.find('\0'); nul != std::string_view::npos) line = line.substr(0, nul);
  std::vector<std::string> fields;
  const size_t n = line.size();
  size_t p = 0;
  auto skipBlanks = [&] {
    while (p < n && IsFieldBlank(line[p])) ++p;
  };
  skipBlanks();
  while (p < n) {
    std::string field;
    if (line[p] == '"') {
      ++p;
      while (p < n) {
        if (line[p] == '"') {
          if (p + 1 < n && line[p + 1] == '"') {
            field += '"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        field += line[p++];
      }
    } else {
      const size_t start = p;
      while (p < n && !IsFieldBlank(line[p]) && line[p] != '|') ++p;
      field.assign(line.substr(start, p - start));
    }
    fields.push_back(std::move(field));
    skipBlanks();
    if (p < n && line[p] == '|') {
      ++p;
      skipBlanks();
      // A "|" with nothing after it ends the line with an empty field.
      if (p >= n) fields.emplace_back();
    }
  }
  return fields;
}

void LoadWhoisServerList(const std::string& programFolder, TStringList& table) {
  const std::string lst = programFolder + "whois-servers.lst";
  const std::string txt = programFolder + "whois-servers.txt";
  if (FileExists(lst)) {
    for (const std::string& line : SplitLines(ReadFileBytes(lst))) {
      const auto fields = SplitWhoisServerFields(line);
      if (fields.size() >= 2) table.Add(fields[0] + "=" + fields[1]);
    }
  } else if (FileExists(txt)) {
    table.AddText(ReadFileBytes(txt));
  }
}

std::string WhoisGetServer(const TStringList& table, std::string_view domain) {
  std::string server = kDefaultWhoisServer;
  for (const std::string& entry : table.Lines()) {
    const size_t eq = entry.find('=');
    if (eq == std::string::npos || eq + 1 == entry.size()) continue;
    const std::string_view name = std::string_view(entry).substr(0, eq);
    if (name.empty() || EndsWith(domain, name)) server = entry.substr(eq + 1);
  }
  return server;
}
