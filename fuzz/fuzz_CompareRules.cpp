// The compare rules: a rule and a text of any bytes, in every style, either
// compare or raise ERegExpError; nothing else may happen.
#include <cstdint>
#include <string_view>

#include "utStringCompare.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const bool ignoreCase = data[0] & 1;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  // The text and the rule are separated by the first NUL byte.
  const size_t cut = rest.find('\0');
  if (cut == std::string_view::npos) return 0;
  const std::string_view text = rest.substr(0, cut), rule = rest.substr(cut + 1);
  for (int style = 0; style <= 5; ++style) {
    try {
      utCompareString(text, rule, static_cast<TCompareStyle>(style), ignoreCase);
    } catch (const ERegExpError&) {
    }
  }
  try {
    utCompareIDString(text, rule, ignoreCase, TCompareStyle::csWildcards);
  } catch (const ERegExpError&) {
  }
  return 0;
}
