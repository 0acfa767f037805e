// The language file reader: any bytes, plain or behind the compression
// marker, give a document within the text bound whose messages, reading
// order and flags read without failing.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "utTranslator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const std::string& text :
       {LanguageFileText(bytes, "LCF"), LanguageFileText("LCF1" + std::string(bytes), "LCF")}) {
    if (text.size() > std::max(kMaxLanguageText, size)) std::abort();
    const TIniDocument ini(text);
    TAppTranslator::BidiFromIni(ini);
    TStringList messages;
    for (const std::string& key : ini.KeyNames("Messages")) {
      std::string line = key + "=" + ini.ReadString("Messages", key, "");
      IniStringToFreeString(line);
      FreeStringToIniString(line);
    }
    QImage flag;
    LoadBitmapFromIni(ini, "Images", "Flag16", flag);
    LoadBitmapFromIni(ini, "Images", "Flag32", flag);
  }
  return 0;
}
