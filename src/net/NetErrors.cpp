#include "NetErrors.h"

#include <cerrno>
#include <cstring>

namespace {

// "60 seconds", or "1.5 seconds" for a time that is not whole seconds.
std::string FormatSeconds(int ms) {
  if (ms % 1000 == 0) return std::to_string(ms / 1000) + (ms == 1000 ? " second" : " seconds");
  return std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100) + " seconds";
}

}  // namespace

EIdSocketError::EIdSocketError(int code, const std::string& text)
    : EIdException("Socket Error # " + std::to_string(code) + "\r\n" + text), code_(code) {}

EIdExchangeTimeout::EIdExchangeTimeout(int limitMs)
    : EIdException("Answer too slow: the server took more than " + FormatSeconds(limitMs) +
                   " to send its answer.") {}

EIdAnswerTooLong::EIdAnswerTooLong(size_t limit)
    : EIdException("Answer too long: the server sent more than " + std::to_string(limit) +
                   " bytes.") {}

int SocketErrorCodeFromErrno(int err) {
  switch (err) {
    case ECONNREFUSED:
      return kSocketErrorConnectionRefused;
    case ETIMEDOUT:
      return kSocketErrorTimedOut;
    case EHOSTUNREACH:
      return kSocketErrorHostUnreachable;
    case ECONNRESET:
    case EPIPE:
      return kSocketErrorConnectionReset;
    default:
      return err;
  }
}

std::string SocketErrorText(int code) {
  switch (code) {
    case kSocketErrorHostNotFound:
      return "Host not found.";
    case kSocketErrorConnectionRefused:
      return "Connection refused.";
    case kSocketErrorTimedOut:
      return "Connection timed out.";
    case kSocketErrorHostUnreachable:
      return "No route to host.";
    case kSocketErrorConnectionReset:
      return "Connection reset by peer.";
    default:
      return std::strerror(code);
  }
}

void RaiseSocketError(int code) { throw EIdSocketError(code, SocketErrorText(code)); }

void RaiseSocketErrorFromErrno(int err) { RaiseSocketError(SocketErrorCodeFromErrno(err)); }
