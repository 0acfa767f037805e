#include "NginxServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "LoopbackServer.h"

namespace {

const char* kNginx = "/usr/sbin/nginx";

bool Accepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(static_cast<uint16_t>(port));
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

bool TNginxServer::Available(std::string& why) {
  if (::access(kNginx, X_OK) != 0) {
    why = "nginx is not installed (Debian package nginx); the test command installs it";
    return false;
  }
  return true;
}

TNginxServer::TNginxServer(const std::string& serverBlock, const std::string& certificate,
                           const std::string& key)
    : certificate_(certificate), key_(key) {
  ::mkdir(Root().c_str(), 0755);
  // A port taken by someone else between choosing and binding: try another.
  for (int attempt = 0; attempt < 5; ++attempt)
    if (Start(serverBlock)) return;
  throw std::runtime_error("nginx did not start: " + ErrorLog());
}

bool TNginxServer::Start(const std::string& serverBlock) {
  port_ = UnusedLoopbackPort();
  const std::string d = dir_.Path();
  std::ostringstream conf;
  conf << "daemon off;\nmaster_process off;\npid " << d << "nginx.pid;\nerror_log " << d
       << "error.log;\nevents { worker_connections 256; }\nhttp {\n  access_log off;\n"
       << "  client_body_temp_path " << d << "body;\n  proxy_temp_path " << d << "proxy;\n"
       << "  fastcgi_temp_path " << d << "fastcgi;\n  uwsgi_temp_path " << d << "uwsgi;\n"
       << "  scgi_temp_path " << d << "scgi;\n"
       << "  types { text/html html; text/plain txt; application/octet-stream bin; "
          "application/rdap+json json; }\n"
       << "  server {\n    listen 127.0.0.1:" << port_ << (certificate_.empty() ? "" : " ssl")
       << ";\n    root " << Root() << ";\n";
  if (!certificate_.empty())
    conf << "    ssl_certificate " << certificate_ << ";\n    ssl_certificate_key " << key_
         << ";\n";
  conf << serverBlock << "\n  }\n}\n";
  dir_.Write("nginx.conf", conf.str());
  const std::string confPath = d + "nginx.conf";
  const std::string errorPath = d + "error.log";
  pid_ = ::fork();
  if (pid_ == 0) {
    ::execl(kNginx, kNginx, "-p", d.c_str(), "-c", confPath.c_str(), "-e", errorPath.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  if (pid_ < 0) throw std::runtime_error("fork");
  for (int i = 0; i < 200; ++i) {
    if (Accepts(port_)) return true;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
  return false;
}

TNginxServer::~TNginxServer() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
}

std::string TNginxServer::Url(const std::string& path) const {
  return (certificate_.empty() ? "http://127.0.0.1:" : "https://127.0.0.1:") +
         std::to_string(port_) + path;
}

bool TTestCertificates::Available(std::string& why) {
  if (std::system("command -v openssl >/dev/null 2>&1") == 0) return true;
  why = "openssl is not installed (Debian package openssl); the test command installs it";
  return false;
}

TTestCertificates::TTestCertificates() {
  const std::string d = dir.Path();
  dir.Write("server.ext", "subjectAltName=IP:127.0.0.1,DNS:localhost\n");
  const std::string commands =
      "cd '" + d +
      "' && "
      "openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 "
      "-subj '/CN=Corvina test CA' && "
      "openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr "
      "-subj '/CN=127.0.0.1' && "
      "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial "
      "-out server.pem -days 2 -extfile server.ext";
  if (std::system(("(" + commands + ") >/dev/null 2>&1").c_str()) != 0)
    throw std::runtime_error("openssl could not make the test certificates");
}

void TNginxServer::WriteDocument(const std::string& relative, const std::string& bytes) const {
  dir_.Write("html/" + relative, bytes);
}

std::string TNginxServer::ErrorLog() const {
  std::ifstream in(dir_.Path() + "error.log");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
