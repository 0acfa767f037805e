#include "NetAntiFreeze.h"

namespace {
std::function<void()>& Hook() {
  static std::function<void()> hook;
  return hook;
}
}  // namespace

void SetAntiFreezeHook(std::function<void()> hook) { Hook() = std::move(hook); }

bool AntiFreezeActive() { return static_cast<bool>(Hook()); }

void ProcessPendingMessages() {
  // A copy, so that a hook that removes itself does not destroy the function
  // that is running.
  if (auto hook = Hook()) hook();
}
