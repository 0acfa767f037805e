// Errors of the network library. Their messages are what the user sees in a
// report or a log, so they keep the texts users know from other tools.
#pragma once

#include <stdexcept>
#include <string>

class EIdException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "Socket Error # <n>" CR LF <system text>.
class EIdSocketError : public EIdException {
 public:
  EIdSocketError(int code, const std::string& text);
  int LastError() const { return code_; }

 private:
  int code_;
};

class EIdReadTimeout : public EIdException {
 public:
  EIdReadTimeout() : EIdException("Read Timeout") {}
};

class EIdConnectTimeout : public EIdException {
 public:
  EIdConnectTimeout() : EIdException("Connect timed out.") {}
};

class EIdAlreadyConnected : public EIdException {
 public:
  EIdAlreadyConnected() : EIdException("Already connected.") {}
};

class EIdNotConnected : public EIdException {
 public:
  EIdNotConnected() : EIdException("Not Connected") {}
};

// An answer larger than the client accepts; the data read is dropped.
class EIdAnswerTooLong : public EIdException {
 public:
  explicit EIdAnswerTooLong(size_t limit);
};

// An exchange whose answer still flows after the time the client allows
// for the whole of it.
class EIdExchangeTimeout : public EIdException {
 public:
  explicit EIdExchangeTimeout(int limitMs);
};

// The error numbers users meet, numbered as on Windows.
inline constexpr int kSocketErrorHostNotFound = 11001;
inline constexpr int kSocketErrorConnectionRefused = 10061;
inline constexpr int kSocketErrorTimedOut = 10060;
inline constexpr int kSocketErrorHostUnreachable = 10065;
inline constexpr int kSocketErrorConnectionReset = 10054;

// The error number shown for a C library errno value: the Windows number for
// the errors above, the errno value itself for any other.
int SocketErrorCodeFromErrno(int err);
// The text shown with a socket error number.
std::string SocketErrorText(int code);
[[noreturn]] void RaiseSocketError(int code);
[[noreturn]] void RaiseSocketErrorFromErrno(int err);
