#include "AccountDatabase.h"

#include "utStringList.h"

std::vector<std::string> SplitFields(const std::string& text, char separator) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    fields.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return fields;
    start = end + 1;
  }
}

std::vector<std::vector<std::string>> ReadAccountFile(const std::string& path) {
  std::vector<std::vector<std::string>> entries;
  TStringList lines;
  try {
    lines.LoadFromFile(path);
  } catch (const std::exception&) {
    return entries;
  }
  for (const std::string& line : lines.Lines()) entries.push_back(SplitFields(line, ':'));
  return entries;
}
