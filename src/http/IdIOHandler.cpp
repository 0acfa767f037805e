#include "IdIOHandler.h"

#include "utStrings.h"

bool TIdIOHandlerStack::SupportsProtocol(std::string_view protocol) const {
  // Plain TCP carries no TLS.
  return !SameText(protocol, "https");
}

void TIdIOHandlerStack::Open(const std::string& address, int port, int connectTimeoutMs) {
  socket_.Host = address;
  socket_.Port = port;
  socket_.ConnectTimeout = connectTimeoutMs;
  socket_.Connect();
}

size_t TIdIOHandlerStack::Read(char* buffer, size_t size, int timeoutMs) {
  socket_.ReadTimeout = timeoutMs;
  return socket_.ReadSome(buffer, size);
}
