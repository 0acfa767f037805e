// The whois server table: any line splits into fields, and a table made of
// any lines selects a server for any domain.
#include <cstdint>
#include <string>
#include <string_view>

#include "WhoisServerList.h"
#include "utStrings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // The last line is the domain to look up; the others are the table.
  const size_t cut = text.rfind('\n');
  const std::string_view lines = cut == std::string_view::npos ? text : text.substr(0, cut);
  const std::string domain(cut == std::string_view::npos ? "" : text.substr(cut + 1));
  TStringList table;
  for (const std::string& line : SplitLines(lines)) {
    const std::vector<std::string> fields = SplitWhoisServerFields(line);
    if (fields.size() >= 2) table.Add(fields[0] + "=" + fields[1]);
  }
  WhoisGetServer(table, LowerCaseAZ(domain));
  return 0;
}
