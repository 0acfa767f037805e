#include "plFatalSignal.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <ctime>

namespace {

// Everything the handler needs is prepared outside it: inside, only
// async-signal-safe calls are made on fixed buffers.
char gFolder[2048];
char gVersion[128];

void Put(int fd, const char* s) {
  size_t n = std::strlen(s);
  while (n > 0) {
    const ssize_t w = ::write(fd, s, n);
    if (w <= 0) return;
    s += w;
    n -= static_cast<size_t>(w);
  }
}

// Writes a non-negative number into buf (at least 24 bytes).
const char* NumberText(long long v, char* buf) {
  char tmp[24];
  int i = 0;
  if (v < 0) v = 0;
  do {
    tmp[i++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v > 0 && i < 23);
  int k = 0;
  while (i > 0) buf[k++] = tmp[--i];
  buf[k] = '\0';
  return buf;
}

const char* SignalName(int sig) {
  switch (sig) {
    case SIGSEGV:
      return "SIGSEGV (invalid memory access)";
    case SIGBUS:
      return "SIGBUS (bus error)";
    case SIGFPE:
      return "SIGFPE (arithmetic error)";
    case SIGILL:
      return "SIGILL (illegal instruction)";
    case SIGABRT:
      return "SIGABRT (abort)";
    default:
      return "fatal signal";
  }
}

void OnFatalSignal(int sig) {
  char path[2200], num[24];
  const long long now = static_cast<long long>(::time(nullptr));
  path[0] = '\0';
  std::strncat(path, gFolder, sizeof path - 1);
  std::strncat(path, "crash-", sizeof path - std::strlen(path) - 1);
  std::strncat(path, NumberText(now, num), sizeof path - std::strlen(path) - 1);
  std::strncat(path, "-", sizeof path - std::strlen(path) - 1);
  std::strncat(path, NumberText(::getpid(), num), sizeof path - std::strlen(path) - 1);
  std::strncat(path, ".txt", sizeof path - std::strlen(path) - 1);
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd >= 0) {
    Put(fd, "Corvina error report\nMessage: the program received ");
    Put(fd, SignalName(sig));
    Put(fd, "\nVersion: ");
    Put(fd, gVersion);
    Put(fd, "\nTime (UNIX): ");
    Put(fd, NumberText(now, num));
    Put(fd, "\nWhere:\n");
    void* frames[64];
    const int count = ::backtrace(frames, 64);
    ::backtrace_symbols_fd(frames, count, fd);
    ::close(fd);
  }
  // Let the default action end the program (and write a core dump if enabled).
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

}  // namespace

std::string FatalSignalReportPath(const std::string& folder, long long unixTime, long pid) {
  return folder + "crash-" + std::to_string(unixTime) + "-" + std::to_string(pid) + ".txt";
}

void InstallFatalSignalHandler(const std::string& folder, const std::string& version) {
  gFolder[0] = '\0';
  std::strncat(gFolder, folder.c_str(), sizeof gFolder - 1);
  gVersion[0] = '\0';
  std::strncat(gVersion, version.c_str(), sizeof gVersion - 1);
  // backtrace() loads libgcc on its first call, which is not safe inside a
  // handler: make that first call now.
  void* warm[1];
  ::backtrace(warm, 1);
  struct sigaction sa {};
  sa.sa_handler = OnFatalSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESETHAND;
  for (const int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) ::sigaction(sig, &sa, nullptr);
}
