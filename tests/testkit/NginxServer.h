// An nginx server of the test's own on loopback: an ordinary process (no
// daemon, no worker processes) with its configuration, documents, logs and
// temporary files in a temporary folder, stopped when the object ends.
#pragma once

#include <sys/types.h>

#include <string>

#include "TempFolder.h"

class TNginxServer {
 public:
  // False (with why) when nginx cannot be started here.
  static bool Available(std::string& why);

  // serverBlock goes into the server block, beside "listen" and "root".
  // With a certificate and key (PEM files), the server speaks HTTPS.
  explicit TNginxServer(const std::string& serverBlock, const std::string& certificate = "",
                        const std::string& key = "");
  ~TNginxServer();
  TNginxServer(const TNginxServer&) = delete;
  TNginxServer& operator=(const TNginxServer&) = delete;

  int Port() const { return port_; }
  // The document root, with a trailing "/".
  std::string Root() const { return dir_.Path() + "html/"; }
  // "http://127.0.0.1:<port>" + path ("https://" for a TLS server).
  std::string Url(const std::string& path) const;
  // Writes a document below the root.
  void WriteDocument(const std::string& relative, const std::string& bytes) const;
  // What nginx wrote to its error log.
  std::string ErrorLog() const;

 private:
  bool Start(const std::string& serverBlock);
  std::string certificate_, key_;

  TTempFolder dir_;
  int port_ = 0;
  pid_t pid_ = -1;
};

// A certificate authority of the test's own and a server certificate it
// signed for 127.0.0.1 and localhost, made with the openssl command.
struct TTestCertificates {
  TTempFolder dir;
  // False (with why) when openssl is not installed.
  static bool Available(std::string& why);
  TTestCertificates();
  std::string CaFile() const { return dir.Path() + "ca.pem"; }
  std::string ServerCertificate() const { return dir.Path() + "server.pem"; }
  std::string ServerKey() const { return dir.Path() + "server.key"; }
};
