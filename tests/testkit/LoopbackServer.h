// TCP servers on loopback for the network tests: each serves connections
// one after another with a behaviour of the test's choice.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TLoopbackServer {
 public:
  // Serves one accepted connection; request is what the client sent up to
  // its first CR LF (or until it stopped sending). stopFd becomes readable
  // when the server shuts down.
  using THandler = std::function<void(int fd, const std::string& request, int stopFd)>;

  // Listens on address:port; port 0 takes a free one.
  explicit TLoopbackServer(THandler handler, const std::string& address = "127.0.0.1", int port = 0,
                           int backlog = 16);
  ~TLoopbackServer();
  TLoopbackServer(const TLoopbackServer&) = delete;
  TLoopbackServer& operator=(const TLoopbackServer&) = delete;

  int Port() const { return port_; }
  const std::string& Address() const { return address_; }
  // The requests received so far, in order.
  std::vector<std::string> Requests() const;

  // Behaviours.
  static THandler Answer(std::string bytes);
  // Sends nothing for ms milliseconds (or until shutdown), then closes.
  static THandler Stall(int ms);
  static THandler CloseAtOnce();
  // Sends data without end until the client goes away.
  static THandler Stream();

 private:
  void Serve();

  THandler handler_;
  std::string address_;
  int port_ = 0;
  int listenFd_ = -1;
  int stopPipe_[2] = {-1, -1};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// A port on 127.0.0.1 on which nothing listens.
int UnusedLoopbackPort();

// Sends all bytes, ignoring a client that has gone away.
void SendAll(int fd, const std::string& bytes);
// Reads the rest of an HTTP request's head (up to the empty line), so that
// an answer is not cut off by the reset a close with unread data causes.
void SkipHttpHeaders(int fd);
// Waits until fd is readable or ms pass; false on time-out.
bool WaitReadableFor(int fd, int ms);
