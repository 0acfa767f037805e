#include "NetAntiFreeze.h"

namespace {
std::function<void()>& Hook() {
  static std::function<void()> hook;
  return hook;
}
bool& Abandoned() {
  static bool abandoned = false;
  return abandoned;
}
}  // namespace

void SetAntiFreezeHook(std::function<void()> hook) {
  Hook() = std::move(hook);
  Abandoned() = false;
}

bool AntiFreezeActive() { return static_cast<bool>(Hook()); }

void ProcessPendingMessages() {
  // A copy, so that a hook that removes itself does not destroy the function
  // that is running.
  if (auto hook = Hook()) hook();
  if (Abandoned()) throw EIdAbandoned();
}

void AbandonWaits() { Abandoned() = true; }

bool WaitsAbandoned() { return Abandoned(); }

void TAntiFreezeTicker::Tick() {
  if (!AntiFreezeActive()) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - last_ < std::chrono::milliseconds(kAntiFreezeIdleTimeOut)) return;
  ProcessPendingMessages();
  last_ = std::chrono::steady_clock::now();
}

void WaitForWorker(std::mutex& mutex, std::condition_variable& cv, const bool& done) {
  for (;;) {
    {
      std::unique_lock lock(mutex);
      if (cv.wait_for(lock, std::chrono::milliseconds(kConnectWaitStep), [&] { return done; }))
        return;
    }
    ProcessPendingMessages();
  }
}
