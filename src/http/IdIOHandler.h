// The transport under the HTTP client: one small interface, so that the
// protocol code never depends on how the bytes travel. TIdIOHandlerStack
// carries plain TCP through the socket layer; a TLS transport can be put in
// its place later.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "NetTcpClient.h"

class TIdIOHandler {
 public:
  virtual ~TIdIOHandler() = default;
  // Whether the transport can carry URLs of that protocol ("http", "https").
  virtual bool SupportsProtocol(std::string_view protocol) const = 0;
  // Connects to address (a host name or dotted IPv4 address) and port;
  // raises "Already connected." when a connection is open.
  virtual void Open(const std::string& address, int port, int connectTimeoutMs) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // An open connection that can no longer carry a request (see
  // TIdTCPClient::PeerGone).
  virtual bool PeerGone() const = 0;
  virtual void Write(std::string_view data) = 0;
  // Waits at most timeoutMs (< 0: without end) for data, raising "Read
  // Timeout", and reads what has come, at most size bytes; 0 when the peer
  // closed the connection.
  virtual size_t Read(char* buffer, size_t size, int timeoutMs) = 0;
};

class TIdIOHandlerStack : public TIdIOHandler {
 public:
  bool SupportsProtocol(std::string_view protocol) const override;
  void Open(const std::string& address, int port, int connectTimeoutMs) override;
  void Close() override { socket_.Disconnect(); }
  bool IsOpen() const override { return socket_.Connected(); }
  bool PeerGone() const override { return socket_.PeerGone(); }
  void Write(std::string_view data) override { socket_.Write(data); }
  size_t Read(char* buffer, size_t size, int timeoutMs) override;

 private:
  TIdTCPClient socket_;
};
