#include "utFormat.h"

std::string TFormatArg::AsText() const {
  if (const auto* s = std::get_if<std::string>(&value_)) return *s;
  return std::to_string(std::get<int64_t>(value_));
}

std::string Format(std::string_view format, std::initializer_list<TFormatArg> args) {
  std::string out;
  out.reserve(format.size() + 32);
  auto next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%' || i + 1 >= format.size()) {
      out += c;
      continue;
    }
    const char d = format[i + 1];
    if (d == '%') {
      out += '%';
      ++i;
    } else if (d == 's' || d == 'd') {
      if (next != args.end()) out += (next++)->AsText();
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}
