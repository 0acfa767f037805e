#include "NetWhoisClient.h"

void TIdWhois::WhoIs(const std::string& query, const TReadSink& sink) {
  Connect();
  // From here on this exchange owns the connection and closes it however it
  // ends.
  struct TCloser {
    TIdWhois& client;
    ~TCloser() { client.Disconnect(); }
  } closer{*this};
  Write(query + "\r\n");
  ReadUntilClose(MaxAnswerSize, sink, ExchangeTimeout);
}

std::string TIdWhois::WhoIs(const std::string& query) {
  std::string answer;
  WhoIs(query, [&answer](std::string_view piece) { answer.append(piece); });
  return answer;
}
