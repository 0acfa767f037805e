// The processing of a whois answer: any bytes, arriving in any pieces, give
// report lines that each end with CR LF and hold no other line break, as
// many as the answer has lines, and referral lines are found in them.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "WhoisQuery.h"
#include "utStrings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t piece = data[0] % 16 + 1;
  const std::string_view answer(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string report;
  TCrLfLineWriter writer(report);
  for (size_t at = 0; at < answer.size(); at += piece) writer.Write(answer.substr(at, piece));
  writer.Finish();

  const std::vector<std::string> lines = SplitLines(answer);
  if (report != JoinLines(lines)) std::abort();
  for (const std::string& line : lines) {
    std::string server;
    if (WhoisReferralServer(line, server) && server.find_first_of("\r\n") != std::string::npos)
      std::abort();
  }
  TStringList list({std::string(answer), "x"});
  CleanStringListCRLFs(list);
  return 0;
}
