// The whois client: one exchange with a whois server on TCP port 43.
#pragma once

#include <string>

#include "NetTcpClient.h"

// The largest answer a whois server may send in one exchange (16 MiB).
inline constexpr size_t kMaxWhoisAnswerSize = 16u << 20;
// The longest an answer may take to arrive, in milliseconds: a server that
// sends a byte now and then is not waited for without end.
inline constexpr int kWhoisExchangeTimeout = 60000;

class TIdWhois : public TIdTCPClient {
 public:
  TIdWhois() {
    Port = 43;
    ReadTimeout = 10000;
  }
  size_t MaxAnswerSize = kMaxWhoisAnswerSize;
  int ExchangeTimeout = kWhoisExchangeTimeout;

  // Connects to Host, sends the query and CR LF, reads until the server
  // closes the connection and closes it, handing the answer to sink piece by
  // piece as it arrives. The connection is closed also when sending or
  // reading fails (or sink raises). "Already connected." leaves the open
  // connection of the other exchange alone.
  void WhoIs(const std::string& query, const TReadSink& sink);
  // The same, returning all bytes received.
  std::string WhoIs(const std::string& query);
};
