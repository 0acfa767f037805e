// Scripted HTTP servers on loopback, for answers a real web server will not
// give: each request is read whole (head and a body of its Content-Length)
// and answered with the bytes a script makes.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "LoopbackServer.h"

struct THttpRequest {
  // The request line and the header lines, each with its CR LF, without the
  // empty line that ends the head.
  std::string head;
  std::string body;
  std::string RequestLine() const;
  // The value of the first header of that name (letter case ignored).
  std::string Header(const std::string& name) const;
  bool HasHeader(const std::string& name) const;
};

// Reads one request from fd. firstLine is what was read of the request
// line already (without its CR LF), or nullptr. False when the client
// closed or sent nothing within 5 seconds.
bool ReadHttpRequest(int fd, THttpRequest& request, const std::string* firstLine = nullptr);

class THttpScriptServer {
 public:
  // The bytes of the answer to the index-th request (0 for the first).
  using TScript = std::function<std::string(const THttpRequest& request, int index)>;
  // keepAlive: the connection stays open for further requests until the
  // client closes it; otherwise it is closed after each answer.
  explicit THttpScriptServer(TScript script, bool keepAlive = false);

  int Port() const { return server_->Port(); }
  // "http://127.0.0.1:<port>" + path.
  std::string Url(const std::string& path) const;
  std::vector<THttpRequest> Requests() const;
  int Connections() const { return connections_; }

 private:
  TScript script_;
  bool keepAlive_;
  mutable std::mutex mutex_;
  std::vector<THttpRequest> requests_;
  std::atomic<int> connections_{0};
  std::unique_ptr<TLoopbackServer> server_;
};

// A whole answer: status line, the header lines given (each without line
// end) and the body, with a Content-Length unless the headers name a
// Transfer-Encoding or contain "Content-Length".
std::string HttpAnswer(const std::string& status, const std::vector<std::string>& headers,
                       const std::string& body = "");
