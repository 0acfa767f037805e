#include "LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace {

constexpr size_t kMaxRequest = 65536;

std::string ReadRequest(int fd) {
  std::string request;
  char c;
  while (request.size() < kMaxRequest) {
    if (!WaitReadableFor(fd, 5000)) break;
    const ssize_t n = ::recv(fd, &c, 1, 0);
    if (n <= 0) break;
    request += c;
    if (request.size() >= 2 && request.compare(request.size() - 2, 2, "\r\n") == 0) {
      request.resize(request.size() - 2);
      break;
    }
  }
  return request;
}

}  // namespace

void SkipHttpHeaders(int fd) {
  // The first line was read already; the head ends with an empty line.
  std::string tail = "\r\n";
  char c;
  while (tail != "\r\n\r\n" && WaitReadableFor(fd, 5000) && ::recv(fd, &c, 1, 0) == 1) {
    tail += c;
    if (tail.size() > 4) tail.erase(0, tail.size() - 4);
  }
}

bool WaitReadableFor(int fd, int ms) {
  pollfd p{fd, POLLIN, 0};
  for (;;) {
    const int r = ::poll(&p, 1, ms);
    if (r >= 0) return r > 0;
    if (errno != EINTR) return false;
  }
}

void SendAll(int fd, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
}

TLoopbackServer::TLoopbackServer(THandler handler, const std::string& address, int port,
                                 int backlog)
    : handler_(std::move(handler)), address_(address) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int one = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(static_cast<uint16_t>(port));
  ::inet_pton(AF_INET, address.c_str(), &sa.sin_addr);
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
      ::listen(listenFd_, backlog) != 0) {
    ::close(listenFd_);
    throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port));
  }
  socklen_t len = sizeof sa;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&sa), &len);
  port_ = ntohs(sa.sin_port);
  if (::pipe(stopPipe_) != 0) throw std::runtime_error("pipe");
  if (handler_) thread_ = std::thread([this] { Serve(); });
}

TLoopbackServer::~TLoopbackServer() {
  if (::write(stopPipe_[1], "x", 1) < 0) {
  }
  if (thread_.joinable()) thread_.join();
  ::close(listenFd_);
  ::close(stopPipe_[0]);
  ::close(stopPipe_[1]);
}

std::vector<std::string> TLoopbackServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void TLoopbackServer::Serve() {
  for (;;) {
    pollfd p[2] = {{listenFd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    if (::poll(p, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (p[1].revents) return;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    const std::string request = ReadRequest(fd);
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    handler_(fd, request, stopPipe_[0]);
    ::close(fd);
  }
}

TLoopbackServer::THandler TLoopbackServer::Answer(std::string bytes) {
  return [bytes](int fd, const std::string&, int) { SendAll(fd, bytes); };
}

TLoopbackServer::THandler TLoopbackServer::Stall(int ms) {
  return [ms](int, const std::string&, int stopFd) { WaitReadableFor(stopFd, ms); };
}

TLoopbackServer::THandler TLoopbackServer::CloseAtOnce() {
  return [](int, const std::string&, int) {};
}

TLoopbackServer::THandler TLoopbackServer::Stream() {
  return [](int fd, const std::string&, int stopFd) {
    const std::string chunk(65536, 'x');
    for (;;) {
      pollfd p[2] = {{fd, POLLOUT, 0}, {stopFd, POLLIN, 0}};
      if (::poll(p, 2, 5000) <= 0 || p[1].revents) return;
      if (::send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL) <= 0) return;
    }
  };
}

int UnusedLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  socklen_t len = sizeof sa;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
  ::close(fd);
  return ntohs(sa.sin_port);
}
