#include "utTranslatorLock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kWaits = 10;
constexpr auto kWait = std::chrono::milliseconds(50);
// The file lists a few holders; a larger one is not ours and is read no
// further.
constexpr size_t kMaxLockFile = 64u << 10;

bool Alive(pid_t pid) { return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM); }

// The file's holders, those that have ended left out; the file is locked
// by the caller.
std::vector<pid_t> ReadHolders(int fd) {
  std::string text;
  char buf[4096];
  ::lseek(fd, 0, SEEK_SET);
  for (ssize_t n; text.size() < kMaxLockFile && (n = ::read(fd, buf, sizeof buf)) > 0;)
    text.append(buf, static_cast<size_t>(n));
  std::vector<pid_t> holders;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const long pid = std::strtol(text.substr(start, end - start).c_str(), nullptr, 10);
    if (pid > 0 && Alive(static_cast<pid_t>(pid))) holders.push_back(static_cast<pid_t>(pid));
    start = end + 1;
  }
  return holders;
}

void WriteHolders(int fd, const std::vector<pid_t>& holders) {
  std::string text;
  for (const pid_t pid : holders) text += std::to_string(pid) + "\n";
  if (::ftruncate(fd, 0) != 0) return;
  ::lseek(fd, 0, SEEK_SET);
  if (::write(fd, text.data(), text.size()) < 0) {
  }
}

// Runs f with the lock file open and locked; nothing when it cannot be
// opened (the lock is only a courtesy between instances).
template <class F>
void WithLockFile(F f) {
  const int fd = ::open(TLanguageLoadLock::LockFile().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  if (::flock(fd, LOCK_EX) == 0) {
    f(fd);
    ::flock(fd, LOCK_UN);
  }
  ::close(fd);
}

}  // namespace

std::string TLanguageLoadLock::LockFile() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return std::string(runtime) + "/utTranslator_LanguageLoadLock";
  return "/tmp/utTranslator_LanguageLoadLock-" + std::to_string(::getuid());
}

bool TLanguageLoadLock::HeldByOthers() {
  bool others = false;
  WithLockFile([&](int fd) {
    for (const pid_t pid : ReadHolders(fd))
      if (pid != ::getpid()) others = true;
  });
  return others;
}

TLanguageLoadLock::TLanguageLoadLock(bool take) {
  if (!take) return;
  for (int i = 0; i < kWaits && HeldByOthers(); ++i) std::this_thread::sleep_for(kWait);
  WithLockFile([](int fd) {
    std::vector<pid_t> holders = ReadHolders(fd);
    holders.push_back(::getpid());
    WriteHolders(fd, holders);
  });
  held_ = true;
}

TLanguageLoadLock::~TLanguageLoadLock() {
  if (!held_) return;
  WithLockFile([](int fd) {
    std::vector<pid_t> holders = ReadHolders(fd);
    for (auto it = holders.begin(); it != holders.end(); ++it)
      if (*it == ::getpid()) {
        holders.erase(it);
        break;
      }
    WriteHolders(fd, holders);
  });
}
