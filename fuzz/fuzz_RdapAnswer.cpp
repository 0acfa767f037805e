// The RDAP answer reader: any bytes are rendered as whois lines or refused
// with ERdapError, each line a single line, and the bootstrap reader takes
// any bytes the same way.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "WhoisRdap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    for (const std::string& line : RenderRdapDomain(text))
      if (line.find_first_of("\r\n") != std::string::npos) std::abort();
    RdapRelatedLinks(text);
  } catch (const ERdapError&) {
  }
  try {
    TRdapBootstrap bootstrap;
    bootstrap.Load(text);
    bootstrap.ServiceFor("example.test");
  } catch (const ERdapError&) {
  }
  return 0;
}
