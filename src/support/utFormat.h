// printf-like formatting with "%s" (a text) and "%d" (a decimal integer).
// Format texts come from language files too, so a format never crashes:
// a directive without an argument is left out, an argument of the other kind
// is written as text, "%%" writes "%", and any other "%" is kept as it is.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

class TFormatArg {
 public:
  TFormatArg(std::string_view s) : value_(std::string(s)) {}
  TFormatArg(const std::string& s) : value_(s) {}
  TFormatArg(const char* s) : value_(std::string(s ? s : "")) {}
  TFormatArg(int v) : value_(static_cast<int64_t>(v)) {}
  TFormatArg(long v) : value_(static_cast<int64_t>(v)) {}
  TFormatArg(long long v) : value_(static_cast<int64_t>(v)) {}
  TFormatArg(unsigned v) : value_(static_cast<int64_t>(v)) {}

  std::string AsText() const;

 private:
  std::variant<std::string, int64_t> value_;
};

std::string Format(std::string_view format, std::initializer_list<TFormatArg> args);
