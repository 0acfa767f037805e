// The message of the error a call raises, or "(no error)".
#pragma once

#include <exception>
#include <functional>
#include <string>

inline std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}
