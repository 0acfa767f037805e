// Idle processing while the network waits on the user-interface thread.
// The window layer installs a hook that processes pending window messages;
// the network code calls ProcessPendingMessages() at the points where a
// wait may let the window run, and never sees the toolkit itself.
#pragma once

#include <functional>

// Length of one wait slice while a hook is installed, in milliseconds.
inline constexpr int kAntiFreezeIdleTimeOut = 250;
// Step of the wait for a connection attempt, in milliseconds.
inline constexpr int kConnectWaitStep = 125;

// Installs the hook (an empty function removes it).
void SetAntiFreezeHook(std::function<void()> hook);
bool AntiFreezeActive();
// Runs the hook, when one is installed.
void ProcessPendingMessages();
