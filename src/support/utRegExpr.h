// Perl-style regular expressions (PCRE2, 8-bit) whose every match is bounded
// in steps, memory and time, so that no rule and no text can freeze the
// program or exhaust its memory. Compare rules, the lookup cache's search
// terms and the report filter all match through this class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

// A regular expression that cannot be compiled, or a match that failed or
// ran into one of its bounds.
class ERegExpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Bounds of one search. PCRE2 counts its match limit afresh at every start
// position, so time is bounded on its own: the search tries start positions
// in windows and gives up once the time is spent.
struct TRegExprLimits {
  uint32_t matchLimit = 100000;   // backtracking steps at one start position
  uint32_t depthLimit = 100000;   // nested backtracking points
  uint32_t heapLimitKiB = 32768;  // memory of the interpreter's backtracking
  size_t jitStackBytes = 8u << 20;
  int timeLimitMs = 500;          // one search, plus 50 ms per MiB of text
};

class TRegExpr {
 public:
  enum TOptions : uint32_t { roNone = 0, roIgnoreCase = 1, roDotAll = 2 };

  // Compiles the pattern; jit asks for machine code, worth it when the
  // expression is used for many searches. Raises ERegExpError
  // "Invalid regular expression "<pattern>" at offset N: <reason>".
  TRegExpr(std::string_view pattern, uint32_t options, bool jit = false,
           TRegExprLimits limits = {});
  ~TRegExpr();
  TRegExpr(const TRegExpr&) = delete;
  TRegExpr& operator=(const TRegExpr&) = delete;

  // The leftmost match that starts at or after start: true with its bounds,
  // false when there is none. Raises ERegExpError when a bound is reached.
  bool Find(std::string_view text, size_t start, size_t& matchStart, size_t& matchEnd) const;
  bool Matches(std::string_view text) const;
  // Every leftmost match in turn, each search starting where the last
  // match ended (after an empty match, one character further on), until
  // there is none or onMatch returns false.
  void ForEachMatch(std::string_view text,
                    const std::function<bool(std::string_view match)>& onMatch) const;

 private:
  struct TPcre;
  [[noreturn]] void Fail(const std::string& why) const;

  std::string pattern_;
  TRegExprLimits limits_;
  std::unique_ptr<TPcre> pcre_;
};
