// The INI document reader: any bytes give a document whose text reads back
// as the same document.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "utIniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const TIniDocument doc(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string text = doc.Text();
  const TIniDocument again(text);
  if (again.Text() != text) std::abort();
  for (const std::string& section : doc.SectionNames())
    for (const std::string& key : doc.KeyNames(section)) {
      doc.ReadString(section, key, "");
      doc.ReadInteger(section, key, 0);
    }
  return 0;
}
