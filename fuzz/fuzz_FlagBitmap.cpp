// The flag decoder: any bytes as a bitmap file in hexadecimal text, and any
// text as the value itself, give a flag within the bounds or the cleared one.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "utTranslatorImages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string hex;
  for (size_t i = 0; i < size; ++i) hex += ByteToHex(data[i]);
  for (const std::string& value : {hex, std::string(reinterpret_cast<const char*>(data), size)}) {
    TIniDocument ini;
    ini.WriteString("Images", "Flag32", value);
    QImage flag(32, 32, QImage::Format_RGB32);
    LoadBitmapFromIni(ini, "Images", "Flag32", flag);
    if (flag.width() > kMaxFlagDimension || flag.height() > kMaxFlagDimension) std::abort();
  }
  return 0;
}
