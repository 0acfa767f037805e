// A TCP client connection. The name look-up and the connection attempt run
// in a short-lived worker thread while the calling (user-interface) thread waits in steps of
// 125 ms, processing pending window messages after each step; reads wait
// with the sliced wait of WaitForReadable.
#pragma once

#include <cstddef>
#include <functional>
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
  // connection is open or an attempt of this client is still under way
  // (either is left untouched), "Connect timed out." when the attempt takes
  // longer than ConnectTimeout, or a socket error.
  void Connect();
  void Disconnect();

  // True when an open connection can no longer carry a new request: the
  // peer closed or reset it, or sent bytes while nothing was asked (an idle
  // keep-alive connection the server dropped). Never waits.
  bool PeerGone() const;

  void Write(std::string_view data);
  // Waits for data (ReadTimeout, "Read Timeout") and reads what has come, at
  // most size bytes; 0 means the peer closed the connection.
  size_t ReadSome(char* buffer, size_t size);
  // Receives the bytes of an answer in the order they come.
  using TReadSink = std::function<void(std::string_view)>;
  // Reads until the peer closes the connection, handing every piece to sink
  // as it arrives. More than maxSize bytes raise EIdAnswerTooLong; when
  // totalTimeoutMs >= 0, a read that is not over after that many
  // milliseconds raises EIdExchangeTimeout. While data flows, pending window
  // messages are processed at least every 250 ms, as during a wait.
  void ReadUntilClose(size_t maxSize, const TReadSink& sink, int totalTimeoutMs = -1);
  // The same, gathering the bytes; what was read is dropped on failure.
  std::string ReadUntilClose(size_t maxSize);

 private:
  // Waits at most waitMs for data and reads what has come; false when the
  // time ran out.
  bool ReadWithin(char* buffer, size_t size, int waitMs, size_t& received);

  int fd_ = -1;
  // True while Connect waits for its attempt: the client is taken then too.
  bool connecting_ = false;
};
