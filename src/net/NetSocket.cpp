#include "NetSocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "NetAntiFreeze.h"
#include "NetErrors.h"

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

in_addr ResolveHost(const std::string& host) {
  in_addr address{};
  if (::inet_pton(AF_INET, host.c_str(), &address) == 1) return address;
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

std::string AddressToText(const in_addr& address) {
  char buf[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &address, buf, sizeof buf);
  return buf;
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
