#include "WhoisIdn.h"

#include <idn2.h>

#include <cstdlib>

bool WhoisDomainToAscii(std::string_view typed, std::string& ascii, std::string& error) {
  bool plain = true;
  for (const char c : typed)
    if (static_cast<unsigned char>(c) >= 128) plain = false;
  if (plain) {
    ascii = std::string(typed);
    return true;
  }
  char* out = nullptr;
  const std::string input(typed);
  const int rc = idn2_to_ascii_8z(input.c_str(), &out, IDN2_NFC_INPUT | IDN2_NONTRANSITIONAL);
  if (rc != IDN2_OK) {
    error = "The domain \"" + input + "\" cannot be written in ASCII: " + idn2_strerror(rc);
    return false;
  }
  ascii = out;
  idn2_free(out);
  return true;
}
