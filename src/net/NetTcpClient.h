// A TCP client connection. The connection attempt runs in a short-lived
// worker thread while the calling (user-interface) thread waits in steps of
// 125 ms, processing pending window messages after each step; reads wait
// with the sliced wait of WaitForReadable.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class TIdTCPClient {
 public:
  TIdTCPClient() = default;
  virtual ~TIdTCPClient();
  TIdTCPClient(const TIdTCPClient&) = delete;
  TIdTCPClient& operator=(const TIdTCPClient&) = delete;

  std::string Host;
  int Port = 0;
  // Milliseconds one read waits for data; < 0 waits without end.
  int ReadTimeout = -1;
  // Milliseconds a connection attempt may take.
  int ConnectTimeout = 120000;

  bool Connected() const { return fd_ >= 0; }
  // Resolves Host and connects to Port. Raises "Already connected." when a
  // connection is open (which is left untouched), "Connect timed out." when
  // the attempt takes longer than ConnectTimeout, or a socket error.
  void Connect();
  void Disconnect();

  void Write(std::string_view data);
  // Waits for data (ReadTimeout, "Read Timeout") and reads what has come, at
  // most size bytes; 0 means the peer closed the connection.
  size_t ReadSome(char* buffer, size_t size);
  // Reads until the peer closes the connection. More than maxSize bytes
  // raise EIdAnswerTooLong, and what was read is dropped.
  std::string ReadUntilClose(size_t maxSize);

 private:
  int fd_ = -1;
};
