// The HTTP client of the HTTP query page: HTTP/1.0 and HTTP/1.1 over a
// transport (plain TCP), GET, POST with form encoding and HEAD, redirects,
// and cookies through a cookie store. The client keeps its current URL,
// its connection, the request's content type and Connection value from one
// call to the next. It runs on the user-interface thread; its waits let the
// window run (NetAntiFreeze.h), so it refuses to be entered again while a
// call is under way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "IdCookieManager.h"
#include "IdHeaderList.h"
#include "IdIOHandler.h"
#include "IdURI.h"
#include "NetErrors.h"
#include "utMemoryStream.h"
#include "utStringList.h"

enum TIdHTTPMethod { hmHead, hmGet, hmPost, hmOptions, hmTrace, hmPut, hmDelete, hmConnect };
enum TIdHTTPProtocolVersion { pv1_0, pv1_1 };
enum TIdHTTPOption : unsigned {
  hoInProcessAuth = 1u << 0,
  hoKeepOrigProtocol = 1u << 1,
  hoForceEncodeParams = 1u << 2,
};
using TIdHTTPOptions = unsigned;
enum TIdStatus {
  hsResolving,
  hsConnecting,
  hsConnected,
  hsDisconnecting,
  hsDisconnected,
  hsStatusText
};

// The bounds of what the client reads from a server.
inline constexpr int kDefaultMaxLineLength = 16384;
inline constexpr size_t kMaxHeaderLines = 1000;
inline constexpr size_t kMaxBodySize = 256u << 20;
// The body of an error answer is kept as its message up to this size.
inline constexpr size_t kMaxErrorMessageSize = 1u << 20;

// An answer with a code the client does not take: the status line is the
// message, the body of the answer ErrorMessage.
class EIdHTTPProtocolException : public EIdException {
 public:
  EIdHTTPProtocolException(int code, const std::string& statusLine, std::string errorMessage)
      : EIdException(statusLine), ReplyErrorCode(code), ErrorMessage(std::move(errorMessage)) {}
  int ReplyErrorCode;
  std::string ErrorMessage;
};

// A URL whose protocol the transport cannot carry ("https" over plain TCP).
class EIdIOHandlerPropInvalid : public EIdException {
 public:
  EIdIOHandlerPropInvalid() : EIdException("IOHandler value is not valid") {}
};

// A URL that names neither a port nor "http" or "https", with no earlier
// port to fall back on.
class EIdUnknownProtocol : public EIdException {
 public:
  using EIdException::EIdException;
};

class EIdMaxLineLengthExceeded : public EIdException {
 public:
  EIdMaxLineLengthExceeded() : EIdException("Max line length exceeded.") {}
};

class EIdConnClosedGracefully : public EIdException {
 public:
  EIdConnClosedGracefully() : EIdException("Connection Closed Gracefully.") {}
};

// An answer whose head or framing the client will not read: too many
// header lines, a chunk size that is no number.
class EIdHTTPBadAnswer : public EIdException {
 public:
  using EIdException::EIdException;
};

class EIdHTTPUndefinedSituation : public EIdException {
 public:
  EIdHTTPUndefinedSituation() : EIdException("Undefined situation") {}
};

struct TIdHTTPRequest {
  std::string Accept = "text/html, */*";
  std::string ContentType = "text/html";
  std::string UserAgent = "Mozilla/3.0 (compatible; Corvina)";
  // -1: no Content-Length header unless a body is sent.
  int64_t ContentLength = -1;
  // Set to "keep-alive" by the first HTTP/1.0 request; stays set.
  std::string Connection;
  bool BasicAuthentication = false;
  // From the URL; no Authorization header is sent without authentication.
  std::string Username;
  std::string Password;
  // The Host header of the last request.
  std::string Host;
};

struct TIdHTTPResponse {
  // The status line as received, without its line end.
  std::string ResponseText;
  // The second blank-separated word of the status line; -1 when it is no
  // number.
  int32_t ResponseCode = -1;
  TIdHTTPProtocolVersion ResponseVersion = pv1_0;
  TIdHeaderList RawHeaders;
  std::string Location;
  bool KeepAlive = false;
  // From the header; -1 when there is none or it is no number.
  int64_t ContentLength = -1;
};

class TIdHTTP {
 public:
  // Called for every redirect answer; dest is the new location, NumRedirect
  // the number of the answer in this call, Handled starts as
  // HandleRedirects, VMethod is the method for the new location.
  using TOnRedirect = std::function<void(TIdHTTP& Sender, std::string& dest, int& NumRedirect,
                                         bool& Handled, TIdHTTPMethod& VMethod)>;
  using TOnStatus =
      std::function<void(TIdHTTP& ASender, TIdStatus AStatus, const std::string& AStatusText)>;

  explicit TIdHTTP(std::unique_ptr<TIdIOHandler> ioHandler = std::make_unique<TIdIOHandlerStack>());
  ~TIdHTTP();
  TIdHTTP(const TIdHTTP&) = delete;
  TIdHTTP& operator=(const TIdHTTP&) = delete;

  // --- settings -----------------------------------------------------------
  // The port of the connection: 80 until a URL names another.
  int Port = 80;
  TIdHTTPProtocolVersion ProtocolVersion = pv1_1;
  bool HandleRedirects = true;
  int RedirectMaximum = 15;
  bool AllowCookies = true;
  TIdCookieManager* CookieManager = nullptr;
  TIdHTTPOptions HTTPOptions = hoForceEncodeParams;
  TIdHTTPRequest Request;
  // Milliseconds a read waits for data; 0 waits without limit.
  int ReadTimeout = 0;
  // Milliseconds a connection attempt may take; 0 is 120000.
  int ConnectTimeout = 0;
  int MaxLineLength = kDefaultMaxLineLength;
  size_t MaxHeaderLines = kMaxHeaderLines;
  size_t MaxBodySize = kMaxBodySize;
  TOnRedirect OnRedirect;
  TOnStatus OnStatus;

  // --- calls --------------------------------------------------------------
  // Each returns normally or raises an EIdException (or EIdAbandoned when
  // the window closed during a wait). The body of the answer is appended to
  // body; after a failure body may hold part of it.
  void Get(const std::string& url, TMemoryStream& body);
  // Encodes the values of fields in place (hoForceEncodeParams) and sends
  // the lines as a form.
  void Post(const std::string& url, TStringList& fields, TMemoryStream& body);
  void Head(const std::string& url);

  TIdHTTPResponse Response;
  // The current URL, against which the next URL is resolved.
  const TIdURI& URL() const { return url_; }
  bool Connected() const { return io_->IsOpen(); }
  void Disconnect();

 private:
  void DoRequest(TIdHTTPMethod method, std::string url, const std::string* source,
                 TMemoryStream* body);
  // Takes the parts of url into the current URL and checks that the
  // transport can carry it.
  void PrepareRequest(const std::string& url);
  // Connects unless the open connection serves; true when it was kept.
  bool ConnectToHost();
  // Sends the request and reads the head of the answer.
  void Exchange(TIdHTTPMethod method, const std::string* source);
  void Retry(TIdHTTPMethod method, const std::string* source);
  void SendRequest(TIdHTTPMethod method, const std::string* source);
  // Reads status line and headers, skipping 100 answers, and hands the
  // cookies to the store.
  void ReadResponseHead();
  void ReadResponseHeadOnce();
  void ProcessCookies();
  // Reads the body by its framing into dest (nullptr drops it), at most
  // limit bytes.
  void ReadBody(TMemoryStream* dest, size_t limit, int timeoutMs);
  void ReadChunked(TMemoryStream* dest, size_t limit, int timeoutMs);
  // Reads the body of an error answer and raises the protocol error.
  [[noreturn]] void RaiseProtocolError(TIdHTTPMethod method);
  // Reads and drops the body of a redirect answer; failures are ignored.
  void DropRedirectBody(TIdHTTPMethod method);
  // Closes the connection unless the answer keeps it open.
  void FinishResponse();
  bool ComputeKeepAlive() const;
  void DoStatus(TIdStatus status, const std::string& text);

  // Buffered reading from the transport.
  // A line ending at LF, a CR before it dropped; false when the connection
  // closed before any byte of it. A line longer than MaxLineLength raises.
  bool ReadLn(std::string& line, int timeoutMs);
  // Up to size bytes, from the buffer first; 0 when the connection closed.
  size_t ReadRaw(char* dest, size_t size, int timeoutMs);
  // Exactly n bytes unless the connection closes first; the count read.
  size_t ReadExact(TMemoryStream* dest, size_t n, int timeoutMs);
  // Reads more bytes into the buffer; false when the connection closed.
  bool FillBuffer(int timeoutMs);
  int EffectiveReadTimeout() const { return ReadTimeout > 0 ? ReadTimeout : -1; }

  std::unique_ptr<TIdIOHandler> io_;
  TIdURI url_;
  // Where the open connection goes.
  std::string connectedHost_;
  std::string connectedPort_;
  std::string buffer_;
  size_t bufferPos_ = 0;
  // Where the bytes of a dropped body go.
  std::string discard_;
  bool eof_ = false;
  bool busy_ = false;
};

// The form encoding of POST values: each byte below 33 or from 128 up, and
// each of " ", "#", "%", "*", "<", ">", "[", "]", becomes "%" and two
// upper-case hexadecimal digits; "&", "=" and "+" stay.
std::string EncodeFormValue(std::string_view value);
// Encodes the value of every name=value line of fields in place; names and
// lines without "=" stay as they are.
void EncodeFormFields(TStringList& fields);
// The body of a form: the text of all lines (joined with CR LF) trimmed of
// blanks and line ends; with two or more lines every CR LF becomes "&".
std::string FormBody(const TStringList& fields);
