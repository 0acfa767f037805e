#include "NetSocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "NetAntiFreeze.h"
#include "NetErrors.h"
#include "utStrings.h"

namespace {

// Longest text that can be a host name.
constexpr size_t kMaxHostNameLength = 253;

bool LooksLikeHostName(const std::string& host) {
  if (host.empty() || host.size() > kMaxHostNameLength) return false;
  for (const char c : host) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '.' || c == '_';
    if (!ok) return false;
  }
  return true;
}

// One poll for readability of at most timeoutMs (< 0: without end), resumed
// after a signal with the time that is left.
bool PollReadable(int fd, int timeoutMs) {
  using clock = std::chrono::steady_clock;
  const auto deadline = clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    int wait = timeoutMs;
    if (timeoutMs >= 0) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now()).count();
      wait = left > 0 ? static_cast<int>(left) : 0;
    }
    const int r = ::poll(&p, 1, wait);
    if (r > 0) return true;
    if (r == 0) return false;
    if (errno != EINTR) RaiseSocketErrorFromErrno(errno);
  }
}

}  // namespace

bool ParseIPv4Literal(const std::string& text, in_addr& address) {
  // The parts and the largest value of the last one for each count of parts.
  constexpr uint64_t kLastPartLimit[] = {0, 0xFFFFFFFFu, 0xFFFFFFu, 0xFFFFu, 0xFFu};
  uint64_t parts[4] = {};
  size_t count = 0;
  size_t at = 0;
  for (;;) {
    if (count == 4) return false;
    const size_t start = at;
    uint64_t value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
      value = value * 10 + static_cast<uint64_t>(text[at] - '0');
      if (value > 0xFFFFFFFFu) return false;
      ++at;
    }
    if (at == start) return false;
    parts[count++] = value;
    if (at == text.size()) break;
    if (text[at] != '.') return false;
    ++at;
  }
  for (size_t i = 0; i + 1 < count; ++i)
    if (parts[i] > 255) return false;
  if (parts[count - 1] > kLastPartLimit[count]) return false;
  uint32_t host = 0;
  for (size_t i = 0; i + 1 < count; ++i) host |= static_cast<uint32_t>(parts[i]) << (24 - 8 * i);
  host |= static_cast<uint32_t>(parts[count - 1]);
  address.s_addr = htonl(host);
  return true;
}

in_addr ResolveHostAddress(const std::string& host) {
  in_addr address{};
  if (SameText(host, "localhost")) {
    address.s_addr = htonl(INADDR_LOOPBACK);
    return address;
  }
  if (ParseIPv4Literal(host, address)) return address;
  if (!LooksLikeHostName(host)) RaiseSocketError(kSocketErrorHostNotFound);
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* result = nullptr;
  if (::getaddrinfo(host.c_str(), nullptr, &hints, &result) != 0 || !result)
    RaiseSocketError(kSocketErrorHostNotFound);
  address = reinterpret_cast<sockaddr_in*>(result->ai_addr)->sin_addr;
  ::freeaddrinfo(result);
  return address;
}

std::string ResolveHost(const std::string& host) {
  return TInAddrToString(ResolveHostAddress(host));
}

std::string TInAddrToString(const in_addr& address) {
  char buf[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &address, buf, sizeof buf);
  return buf;
}

std::string WSGetHostByAddr(const std::string& address) {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  if (::inet_pton(AF_INET, address.c_str(), &sa.sin_addr) != 1)
    RaiseSocketError(kSocketErrorHostNotFound);
  // The system's look-up may wait seconds for a name server: it runs in a
  // thread of its own while the window has its turn every 125 ms, as a
  // connection attempt does. A caller that gives up (the window closed)
  // leaves the thread to finish on its own.
  struct TLookup {
    std::mutex mutex;
    std::condition_variable done_cv;
    bool done = false;
    bool found = false;
    char name[NI_MAXHOST] = {};
  };
  auto lookup = std::make_shared<TLookup>();
  std::thread([lookup, sa] {
    char name[NI_MAXHOST] = {};
    const bool found = ::getnameinfo(reinterpret_cast<const sockaddr*>(&sa), sizeof sa, name,
                                     sizeof name, nullptr, 0, NI_NAMEREQD) == 0;
    std::lock_guard lock(lookup->mutex);
    lookup->found = found;
    std::memcpy(lookup->name, name, sizeof name);
    lookup->done = true;
    lookup->done_cv.notify_all();
  }).detach();
  WaitForWorker(lookup->mutex, lookup->done_cv, lookup->done);
  if (!lookup->found) RaiseSocketError(kSocketErrorHostNotFound);
  return lookup->name;
}

bool WaitForReadable(int fd, int timeoutMs) {
  if (!AntiFreezeActive() || (timeoutMs >= 0 && timeoutMs <= kAntiFreezeIdleTimeOut))
    return PollReadable(fd, timeoutMs);
  using clock = std::chrono::steady_clock;
  const auto deadline = clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int slice = kAntiFreezeIdleTimeOut;
    if (timeoutMs >= 0) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now()).count();
      if (left <= 0) return false;
      slice = static_cast<int>(std::min<long long>(left, kAntiFreezeIdleTimeOut));
    }
    if (PollReadable(fd, slice)) return true;
    ProcessPendingMessages();
  }
}
