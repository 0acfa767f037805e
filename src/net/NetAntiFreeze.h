// Idle processing while the network waits on the user-interface thread.
// The window layer installs a hook that processes pending window messages;
// the network code calls ProcessPendingMessages() at the points where a
// wait may let the window run, and never sees the toolkit itself.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

// Length of one wait slice while a hook is installed, in milliseconds.
inline constexpr int kAntiFreezeIdleTimeOut = 250;
// Step of the wait for a connection attempt, in milliseconds.
inline constexpr int kConnectWaitStep = 125;

// Raised by ProcessPendingMessages once the waits are abandoned. It is not
// a std::exception on purpose: handlers that turn failures into report text
// or skip a failing file must not catch it, so that the whole action
// unwinds; only the outermost event-handler guard catches it, silently.
struct EIdAbandoned {
  const char* what() const noexcept { return "The work was abandoned: the window closed."; }
};

// Installs the hook (an empty function removes it) and clears an earlier
// abandonment.
void SetAntiFreezeHook(std::function<void()> hook);
bool AntiFreezeActive();
// Runs the hook, when one is installed; then raises EIdAbandoned when the
// waits were abandoned meanwhile (or before).
void ProcessPendingMessages();
// Abandons the work that waits on the user-interface thread: set when the
// main window closes, so that a lookup, batch or filter run ends at its next
// wait and the program can end.
void AbandonWaits();
bool WaitsAbandoned();

// Lets the window run while data flows: a server that sends a little at a
// time never lets a wait end empty, so a reader calls Tick() after every
// piece, and pending window messages are processed at most every slice.
class TAntiFreezeTicker {
 public:
  void Tick();

 private:
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

// Waits until a worker thread sets done (under mutex, announcing it on cv),
// in steps of kConnectWaitStep with the window's messages processed after
// each; raises EIdAbandoned when the window closed meanwhile (the worker
// then finishes on its own).
void WaitForWorker(std::mutex& mutex, std::condition_variable& cv, const bool& done);
