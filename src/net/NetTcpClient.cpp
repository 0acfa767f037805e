#include "NetTcpClient.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "NetAntiFreeze.h"
#include "NetErrors.h"
#include "NetSocket.h"

namespace {

// What the worker thread of one connection attempt hands back. Shared, so
// that an attempt abandoned after its time-out can still finish safely: the
// worker then closes the socket it made.
struct TConnectAttempt {
  std::mutex mutex;
  std::condition_variable done_cv;
  bool done = false;
  bool abandoned = false;
  int fd = -1;
  int error = 0;
};

void RunConnectAttempt(const std::shared_ptr<TConnectAttempt>& attempt, sockaddr_in address) {
  int error = 0;
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error = errno;
  } else if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    error = errno;
    ::close(fd);
    fd = -1;
  }
  std::lock_guard lock(attempt->mutex);
  if (attempt->abandoned) {
    if (fd >= 0) ::close(fd);
  } else {
    attempt->fd = fd;
    attempt->error = error;
  }
  attempt->done = true;
  attempt->done_cv.notify_all();
}

}  // namespace

TIdTCPClient::~TIdTCPClient() { Disconnect(); }

void TIdTCPClient::Connect() {
  if (Connected()) throw EIdAlreadyConnected();
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(Port));
  address.sin_addr = ResolveHost(Host);

  auto attempt = std::make_shared<TConnectAttempt>();
  std::thread(RunConnectAttempt, attempt, address).detach();

  using clock = std::chrono::steady_clock;
  const auto deadline = clock::now() + std::chrono::milliseconds(ConnectTimeout);
  for (;;) {
    {
      std::unique_lock lock(attempt->mutex);
      const auto step =
          std::min(deadline, clock::now() + std::chrono::milliseconds(kConnectWaitStep));
      if (attempt->done_cv.wait_until(lock, step, [&] { return attempt->done; })) break;
      if (clock::now() >= deadline) {
        attempt->abandoned = true;
        throw EIdConnectTimeout();
      }
    }
    ProcessPendingMessages();
  }
  if (attempt->fd < 0) RaiseSocketErrorFromErrno(attempt->error);
  // A handler that ran during the wait may have opened this client's
  // connection meanwhile: keep that one, drop ours.
  if (Connected()) {
    ::close(attempt->fd);
    throw EIdAlreadyConnected();
  }
  fd_ = attempt->fd;
}

void TIdTCPClient::Disconnect() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

void TIdTCPClient::Write(std::string_view data) {
  if (!Connected()) throw EIdNotConnected();
  while (!data.empty()) {
    const ssize_t n = ::send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) continue;
      RaiseSocketErrorFromErrno(errno);
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
}

size_t TIdTCPClient::ReadSome(char* buffer, size_t size) {
  if (!Connected()) throw EIdNotConnected();
  if (!WaitForReadable(fd_, ReadTimeout)) throw EIdReadTimeout();
  // A handler that ran during the wait may have closed the connection.
  if (!Connected()) throw EIdNotConnected();
  for (;;) {
    const ssize_t n = ::recv(fd_, buffer, size, 0);
    if (n >= 0) return static_cast<size_t>(n);
    if (errno != EINTR) RaiseSocketErrorFromErrno(errno);
  }
}

std::string TIdTCPClient::ReadUntilClose(size_t maxSize) {
  // Chunks are gathered first and joined once at the end, so a large answer
  // is copied once instead of at every growth of one buffer.
  constexpr size_t kChunk = 65536;
  std::vector<std::string> chunks;
  size_t total = 0;
  for (;;) {
    if (chunks.empty() || chunks.back().size() == kChunk) {
      chunks.emplace_back();
      chunks.back().reserve(kChunk);
    }
    std::string& chunk = chunks.back();
    const size_t used = chunk.size();
    chunk.resize(kChunk);
    const size_t n = ReadSome(chunk.data() + used, kChunk - used);
    chunk.resize(used + n);
    if (n == 0) break;
    total += n;
    if (total > maxSize) throw EIdAnswerTooLong(maxSize);
  }
  std::string data;
  data.reserve(total);
  for (const std::string& c : chunks) data += c;
  return data;
}
