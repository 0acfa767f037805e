#include "NetWhoisClient.h"

std::string TIdWhois::WhoIs(const std::string& query) {
  Connect();
  // From here on this exchange owns the connection and closes it however it
  // ends.
  struct TCloser {
    TIdWhois& client;
    ~TCloser() { client.Disconnect(); }
  } closer{*this};
  Write(query + "\r\n");
  return ReadUntilClose(MaxAnswerSize);
}
