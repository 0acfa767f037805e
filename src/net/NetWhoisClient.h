// The whois client: one exchange with a whois server on TCP port 43.
#pragma once

#include <string>

#include "NetTcpClient.h"

// The largest answer a whois server may send in one exchange (16 MiB).
inline constexpr size_t kMaxWhoisAnswerSize = 16u << 20;

class TIdWhois : public TIdTCPClient {
 public:
  TIdWhois() {
    Port = 43;
    ReadTimeout = 10000;
  }
  size_t MaxAnswerSize = kMaxWhoisAnswerSize;

  // Connects to Host, sends the query and CR LF, reads until the server
  // closes the connection and closes it; returns all bytes received. The
  // connection is closed also when sending or reading fails. "Already
  // connected." leaves the open connection of the other exchange alone.
  std::string WhoIs(const std::string& query);
};
