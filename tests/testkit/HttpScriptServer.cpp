#include "HttpScriptServer.h"

#include <strings.h>
#include <sys/socket.h>

#include <cstdlib>

namespace {

bool ReadLineFrom(int fd, std::string& line) {
  line.clear();
  char c;
  while (line.size() < (1u << 20)) {
    if (!WaitReadableFor(fd, 5000) || ::recv(fd, &c, 1, 0) != 1) return false;
    line += c;
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) {
      line.resize(line.size() - 2);
      return true;
    }
  }
  return false;
}

// The value of the first header line of that name in a request head.
bool FindHeader(const std::string& head, const std::string& name, std::string& value) {
  size_t pos = head.find("\r\n");
  while (pos != std::string::npos && pos + 2 < head.size()) {
    const size_t end = head.find("\r\n", pos + 2);
    const std::string line = head.substr(pos + 2, end - pos - 2);
    const size_t colon = line.find(':');
    if (colon == name.size() && ::strncasecmp(line.c_str(), name.c_str(), colon) == 0) {
      const size_t start = line.find_first_not_of(' ', colon + 1);
      value = start == std::string::npos ? "" : line.substr(start);
      return true;
    }
    pos = end;
  }
  return false;
}

}  // namespace

std::string THttpRequest::RequestLine() const { return head.substr(0, head.find("\r\n")); }

bool THttpRequest::HasHeader(const std::string& name) const {
  std::string value;
  return FindHeader(head, name, value);
}

std::string THttpRequest::Header(const std::string& name) const {
  std::string value;
  FindHeader(head, name, value);
  return value;
}

bool ReadHttpRequest(int fd, THttpRequest& request, const std::string* firstLine) {
  request = {};
  std::string line;
  if (firstLine) {
    if (firstLine->empty()) return false;
    line = *firstLine;
  } else if (!ReadLineFrom(fd, line)) {
    return false;
  }
  request.head = line + "\r\n";
  while (ReadLineFrom(fd, line) && !line.empty()) request.head += line + "\r\n";
  const size_t length = std::strtoul(request.Header("Content-Length").c_str(), nullptr, 10);
  request.body.resize(length);
  size_t got = 0;
  while (got < length && WaitReadableFor(fd, 5000)) {
    const ssize_t n = ::recv(fd, request.body.data() + got, length - got, 0);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  request.body.resize(got);
  return true;
}

THttpScriptServer::THttpScriptServer(TScript script, bool keepAlive)
    : script_(std::move(script)), keepAlive_(keepAlive) {
  server_ = std::make_unique<TLoopbackServer>([this](int fd, const std::string& first, int) {
    ++connections_;
    THttpRequest request;
    bool more = ReadHttpRequest(fd, request, &first);
    while (more) {
      int index;
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        index = static_cast<int>(requests_.size()) - 1;
      }
      SendAll(fd, script_(request, index));
      more = keepAlive_ && ReadHttpRequest(fd, request);
    }
  });
}

std::string THttpScriptServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(Port()) + path;
}

std::vector<THttpRequest> THttpScriptServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::string HttpAnswer(const std::string& status, const std::vector<std::string>& headers,
                       const std::string& body) {
  std::string answer = status + "\r\n";
  bool framed = false;
  for (const std::string& h : headers) {
    answer += h + "\r\n";
    if (::strncasecmp(h.c_str(), "Transfer-Encoding", 17) == 0 ||
        ::strncasecmp(h.c_str(), "Content-Length", 14) == 0)
      framed = true;
  }
  if (!framed) answer += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  return answer + "\r\n" + body;
}
