#include "NetTcpClient.h"

#include <poll.h>
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
  // The socket error number of a failed attempt.
  int error = 0;
};

// Resolves the host and connects, off the user-interface thread: a name
// server that takes seconds to answer does not hold the window still.
void RunConnectAttempt(const std::shared_ptr<TConnectAttempt>& attempt, std::string host,
                       int port) {
  int error = 0;
  int fd = -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  try {
    address.sin_addr = ResolveHostAddress(host);
  } catch (const EIdSocketError& e) {
    error = e.LastError();
  }
  if (error == 0) {
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
      error = SocketErrorCodeFromErrno(errno);
    } else if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      error = SocketErrorCodeFromErrno(errno);
      ::close(fd);
      fd = -1;
    }
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
  if (Connected() || connecting_) throw EIdAlreadyConnected();
  auto attempt = std::make_shared<TConnectAttempt>();
  std::thread(RunConnectAttempt, attempt, Host, Port).detach();
  // Handlers that run during the wait find the client taken.
  connecting_ = true;
  struct TConnecting {
    bool& flag;
    ~TConnecting() { flag = false; }
  } connecting{connecting_};

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
    try {
      ProcessPendingMessages();
    } catch (...) {
      // The caller gives up: the attempt's socket, made now or later, is
      // closed rather than left open.
      std::lock_guard lock(attempt->mutex);
      attempt->abandoned = true;
      if (attempt->done && attempt->fd >= 0) ::close(attempt->fd);
      throw;
    }
  }
  if (attempt->fd < 0) RaiseSocketError(attempt->error);
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

bool TIdTCPClient::ReadWithin(char* buffer, size_t size, int waitMs, size_t& received) {
  if (!Connected()) throw EIdNotConnected();
  if (!WaitForReadable(fd_, waitMs)) return false;
  // A handler that ran during the wait may have closed the connection.
  if (!Connected()) throw EIdNotConnected();
  for (;;) {
    const ssize_t n = ::recv(fd_, buffer, size, 0);
    if (n >= 0) {
      received = static_cast<size_t>(n);
      return true;
    }
    if (errno != EINTR) RaiseSocketErrorFromErrno(errno);
  }
}

bool TIdTCPClient::PeerGone() const {
  if (!Connected()) return true;
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, 0) <= 0) return false;
  // Readable while nobody asked for anything: the peer closed or reset the
  // connection, or sent bytes that belong to no answer.
  return true;
}

size_t TIdTCPClient::ReadSome(char* buffer, size_t size) {
  size_t n = 0;
  if (!ReadWithin(buffer, size, ReadTimeout, n)) throw EIdReadTimeout();
  return n;
}

void TIdTCPClient::ReadUntilClose(size_t maxSize, const TReadSink& sink, int totalTimeoutMs) {
  using clock = std::chrono::steady_clock;
  using std::chrono::milliseconds;
  const auto start = clock::now();
  const auto deadline = start + milliseconds(totalTimeoutMs);
  TAntiFreezeTicker ticker;
  std::vector<char> buffer(65536);
  size_t total = 0;
  for (;;) {
    int wait = ReadTimeout;
    bool lastWait = false;
    if (totalTimeoutMs >= 0) {
      const auto left = std::chrono::duration_cast<milliseconds>(deadline - clock::now()).count();
      if (left <= 0) throw EIdExchangeTimeout(totalTimeoutMs);
      if (ReadTimeout < 0 || left < ReadTimeout) {
        wait = static_cast<int>(left);
        lastWait = true;
      }
    }
    size_t n = 0;
    if (!ReadWithin(buffer.data(), buffer.size(), wait, n)) {
      if (lastWait) throw EIdExchangeTimeout(totalTimeoutMs);
      throw EIdReadTimeout();
    }
    if (n == 0) return;
    total += n;
    if (total > maxSize) throw EIdAnswerTooLong(maxSize);
    sink(std::string_view(buffer.data(), n));
    ticker.Tick();
  }
}

std::string TIdTCPClient::ReadUntilClose(size_t maxSize) {
  std::string data;
  ReadUntilClose(maxSize, [&data](std::string_view piece) { data.append(piece); });
  return data;
}
