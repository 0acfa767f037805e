#include "utRegExpr.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <array>
#include <chrono>

namespace {

std::string PcreMessage(int code) {
  std::array<PCRE2_UCHAR, 256> buffer{};
  pcre2_get_error_message(code, buffer.data(), buffer.size());
  return reinterpret_cast<const char*>(buffer.data());
}

// Start positions tried by the first call of the matcher. Each call may look
// ahead through the rest of the text for a place where a match can start,
// so windows grow with every call that was quick: a text is then searched
// in a few calls, while a text that is slow to search is searched in small
// windows and the time limit is checked between them. Machine code tries a
// position in far less time than the interpreter, so it starts wider.
constexpr size_t kFirstWindow = 16;
constexpr size_t kFirstJitWindow = 65536;
constexpr auto kQuickCall = std::chrono::milliseconds(20);
// Search time allowed beyond the limit for every MiB of text.
constexpr size_t kMsPerMiB = 50;

}  // namespace

struct TRegExpr::TPcre {
  pcre2_code* code = nullptr;
  pcre2_match_context* context = nullptr;
  pcre2_jit_stack* jitStack = nullptr;
  pcre2_match_data* data = nullptr;
  ~TPcre() {
    pcre2_match_data_free(data);
    pcre2_jit_stack_free(jitStack);
    pcre2_match_context_free(context);
    pcre2_code_free(code);
  }
};

TRegExpr::TRegExpr(std::string_view pattern, uint32_t options, bool jit, TRegExprLimits limits)
    : pattern_(pattern), limits_(limits), pcre_(std::make_unique<TPcre>()) {
  uint32_t flags = PCRE2_USE_OFFSET_LIMIT;
  if (options & roIgnoreCase) flags |= PCRE2_CASELESS;
  if (options & roDotAll) flags |= PCRE2_DOTALL;
  int error = 0;
  PCRE2_SIZE offset = 0;
  pcre_->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), flags,
                              &error, &offset, nullptr);
  if (!pcre_->code)
    throw ERegExpError("Invalid regular expression \"" + pattern_ + "\" at offset " +
                       std::to_string(offset) + ": " + PcreMessage(error));
  pcre_->context = pcre2_match_context_create(nullptr);
  pcre_->data = pcre2_match_data_create_from_pattern(pcre_->code, nullptr);
  if (!pcre_->context || !pcre_->data) Fail("out of memory");
  pcre2_set_match_limit(pcre_->context, limits_.matchLimit);
  pcre2_set_depth_limit(pcre_->context, limits_.depthLimit);
  pcre2_set_heap_limit(pcre_->context, limits_.heapLimitKiB);
  // Without machine code the interpreter runs, under the same bounds.
  if (jit && pcre2_jit_compile(pcre_->code, PCRE2_JIT_COMPLETE) == 0) {
    pcre_->jitStack = pcre2_jit_stack_create(32 * 1024, limits_.jitStackBytes, nullptr);
    if (pcre_->jitStack) pcre2_jit_stack_assign(pcre_->context, nullptr, pcre_->jitStack);
  }
}

TRegExpr::~TRegExpr() = default;

void TRegExpr::Fail(const std::string& why) const {
  throw ERegExpError("Regular expression \"" + pattern_ + "\" failed: " + why);
}

bool TRegExpr::Find(std::string_view text, size_t start, size_t& matchStart,
                    size_t& matchEnd) const {
  using clock = std::chrono::steady_clock;
  // The time grows with the text: a large report is searched in full, a
  // short text with a hostile rule still ends within the limit.
  const int limitMs = limits_.timeLimitMs + static_cast<int>((text.size() >> 20) * kMsPerMiB);
  const auto deadline = clock::now() + std::chrono::milliseconds(limitMs);
  const auto* subject = reinterpret_cast<PCRE2_SPTR>(text.data());
  size_t window = pcre_->jitStack ? kFirstJitWindow : kFirstWindow;
  while (start <= text.size()) {
    // Matches may run past the window; only their start is bounded.
    const size_t last = std::min(text.size(), start + window - 1);
    pcre2_set_offset_limit(pcre_->context, last);
    const auto before = clock::now();
    const int rc =
        pcre2_match(pcre_->code, subject, text.size(), start, 0, pcre_->data, pcre_->context);
    if (rc >= 0) {
      const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(pcre_->data);
      matchStart = ovector[0];
      matchEnd = ovector[1];
      return true;
    }
    if (rc != PCRE2_ERROR_NOMATCH) Fail(PcreMessage(rc));
    const auto now = clock::now();
    if (last == text.size()) return false;
    if (now >= deadline)
      Fail("it took longer than " + std::to_string(limitMs) + " ms");
    start = last + 1;
    if (now - before < kQuickCall)
      window = std::min(window * 2, text.size() + 1);
    else
      window = std::max<size_t>(window / 16, 1);
  }
  return false;
}

bool TRegExpr::Matches(std::string_view text) const {
  size_t s = 0, e = 0;
  return Find(text, 0, s, e);
}

void TRegExpr::ForEachMatch(std::string_view text,
                            const std::function<bool(std::string_view match)>& onMatch) const {
  size_t start = 0, matchStart = 0, matchEnd = 0;
  while (start <= text.size() && Find(text, start, matchStart, matchEnd)) {
    if (!onMatch(text.substr(matchStart, matchEnd - matchStart))) return;
    start = matchEnd > matchStart ? matchEnd : matchEnd + 1;
  }
}
