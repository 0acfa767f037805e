#include "IdHTTP.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "NetAntiFreeze.h"
#include "utStrings.h"

namespace {

// The connection attempt's time when ConnectTimeout is 0.
constexpr int kDefaultConnectTimeout = 120000;
// Read time-outs of the bodies that are read only to be dropped or shown in
// an error.
constexpr int kRedirectBodyTimeout = 4000;
constexpr int kErrorBodyTimeout = 2000;
// One read from the transport: large enough for a fast server, small
// enough that the window gets its turn between reads.
constexpr size_t kReadBlock = 1u << 20;
constexpr size_t kBufferBlock = 64u << 10;

const char* MethodName(TIdHTTPMethod method) {
  switch (method) {
    case hmHead:
      return "HEAD";
    case hmGet:
      return "GET";
    case hmPost:
      return "POST";
    case hmOptions:
      return "OPTIONS";
    case hmTrace:
      return "TRACE";
    case hmPut:
      return "PUT";
    case hmDelete:
      return "DELETE";
    case hmConnect:
      return "CONNECT";
  }
  throw EIdHTTPUndefinedSituation();
}

// A header line; line breaks and NUL bytes in a value (a cookie a server
// set, say) are left out, so a value can never start a line of its own.
std::string HeaderLine(std::string_view name, std::string_view value) {
  std::string line(name);
  line += ": ";
  for (const char c : value)
    if (c != '\r' && c != '\n' && c != '\0') line += c;
  line += "\r\n";
  return line;
}

bool ParseDecimal(std::string_view text, int64_t& value) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return false;
  const auto [end, ec] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
  return ec == std::errc() && end == trimmed.data() + trimmed.size();
}

// The size of a chunk: hexadecimal digits up to the first blank or ";"
// (chunk extensions are skipped).
bool ParseChunkSize(std::string_view line, uint64_t& size) {
  const size_t end = line.find_first_of(" \t;");
  const std::string_view digits = line.substr(0, end);
  if (digits.empty() || digits.size() > 15) return false;
  const auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), size, 16);
  return ec == std::errc() && p == digits.data() + digits.size();
}

bool IsRedirect(const TIdHTTPResponse& response) {
  const int code = response.ResponseCode;
  return (code >= 300 && code <= 399 && code != 304) || !response.Location.empty();
}

// Whether an answer to the method carries a body at all.
bool HasBody(TIdHTTPMethod method, int code) {
  return method != hmHead && code != 204 && code != 304 && !(code >= 100 && code <= 199);
}

}  // namespace

std::string EncodeFormValue(std::string_view value) {
  return PercentEncode(value, [](unsigned char c) {
    return c < 33 || c >= 128 ||
           std::string_view(" #%*<>[]").find(static_cast<char>(c)) != std::string_view::npos;
  });
}

void EncodeFormFields(TStringList& fields) {
  for (size_t i = 0; i < fields.Count(); ++i) {
    const std::string& line = fields[i];
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    fields[i] = line.substr(0, eq + 1) + EncodeFormValue(std::string_view(line).substr(eq + 1));
  }
}

std::string FormBody(const TStringList& fields) {
  std::string body = Trim(fields.Text());
  if (fields.Count() >= 2) body = ReplaceAll(body, "\r\n", "&");
  return body;
}

TIdHTTP::TIdHTTP(std::unique_ptr<TIdIOHandler> ioHandler) : io_(std::move(ioHandler)) {}

TIdHTTP::~TIdHTTP() { io_->Close(); }

void TIdHTTP::Disconnect() {
  if (io_->IsOpen()) {
    DoStatus(hsDisconnecting, "Disconnecting.");
    io_->Close();
    DoStatus(hsDisconnected, "Disconnected.");
  }
  buffer_.clear();
  bufferPos_ = 0;
  eof_ = false;
  connectedHost_.clear();
  connectedPort_.clear();
}

void TIdHTTP::DoStatus(TIdStatus status, const std::string& text) {
  if (OnStatus) OnStatus(*this, status, text);
}

void TIdHTTP::Get(const std::string& url, TMemoryStream& body) {
  DoRequest(hmGet, url, nullptr, &body);
}

void TIdHTTP::Head(const std::string& url) { DoRequest(hmHead, url, nullptr, nullptr); }

void TIdHTTP::Post(const std::string& url, TStringList& fields, TMemoryStream& body) {
  if (busy_) throw EIdHTTPUndefinedSituation();
  Disconnect();
  // A form goes as HTTP/1.0 unless the original protocol is to be kept; the
  // client's version comes back however the call ends.
  const TIdHTTPProtocolVersion original = ProtocolVersion;
  struct TRestore {
    TIdHTTP& http;
    TIdHTTPProtocolVersion version;
    ~TRestore() { http.ProtocolVersion = version; }
  } restore{*this, original};
  if (!(HTTPOptions & hoKeepOrigProtocol)) ProtocolVersion = pv1_0;
  if (Request.ContentType.empty() || SameText(Request.ContentType, "text/html"))
    Request.ContentType = "application/x-www-form-urlencoded";
  if (HTTPOptions & hoForceEncodeParams) EncodeFormFields(fields);
  const std::string source = FormBody(fields);
  DoRequest(hmPost, url, &source, &body);
}

void TIdHTTP::PrepareRequest(const std::string& text) {
  const TIdURI given = TIdURI::Parse(text);
  Request.Username = given.Username;
  Request.Password = given.Password;
  url_.Username = given.Username;
  url_.Password = given.Password;
  url_.Path = ProcessPath(url_.Path, given.Path);
  url_.Document = given.Document;
  url_.Params = given.Params;
  if (!given.Host.empty()) url_.Host = given.Host;
  url_.Protocol = given.Protocol.empty() ? "http" : given.Protocol;
  if (!given.Port.empty()) {
    url_.Port = given.Port;
  } else if (SameText(given.Protocol, "http")) {
    url_.Port = "80";
  } else if (SameText(given.Protocol, "https")) {
    url_.Port = "443";
  } else if (url_.Port.empty()) {
    throw EIdUnknownProtocol(given.Protocol.empty()
                                 ? "The URL \"" + text +
                                       "\" names no protocol, and there is no earlier address to "
                                       "ask: write it with \"http://\"."
                                 : "Unknown protocol \"" + given.Protocol +
                                       "\": only http URLs can be asked.");
  }
  if (!io_->SupportsProtocol(url_.Protocol)) throw EIdIOHandlerPropInvalid();
  int64_t port = 0;
  if (!ParseDecimal(url_.Port, port) || port < 1 || port > 65535) {
    const std::string bad = url_.Port;
    url_.Port.clear();
    throw EIdException("Invalid port \"" + bad + "\" in the URL \"" + text + "\".");
  }
  Port = static_cast<int>(port);
  Request.Host = url_.Host + (url_.Port == "80" ? "" : ":" + url_.Port);
}

void TIdHTTP::Exchange(TIdHTTPMethod method, const std::string* source) {
  const bool reused = ConnectToHost();
  try {
    SendRequest(method, source);
    ReadResponseHead();
  } catch (const EIdConnClosedGracefully&) {
    if (!reused) throw;
    Retry(method, source);
  } catch (const EIdSocketError& e) {
    if (!reused || e.LastError() != kSocketErrorConnectionReset) throw;
    Retry(method, source);
  }
}

void TIdHTTP::Retry(TIdHTTPMethod method, const std::string* source) {
  // A kept connection that the server closed just as the request went out:
  // the request is sent once more, over a new connection.
  Disconnect();
  ConnectToHost();
  SendRequest(method, source);
  ReadResponseHead();
}

bool TIdHTTP::ConnectToHost() {
  // A connection to another host or port, or one the server has dropped
  // while it stood idle, is not used again.
  if (io_->IsOpen() && (!SameText(connectedHost_, url_.Host) || connectedPort_ != url_.Port ||
                        bufferPos_ < buffer_.size() || io_->PeerGone()))
    Disconnect();
  if (io_->IsOpen()) return true;
  Disconnect();
  DoStatus(hsResolving, "Resolving hostname " + url_.Host + ".");
  DoStatus(hsConnecting, "Connecting to " + url_.Host + ":" + url_.Port + ".");
  io_->Open(url_.Host, Port, ConnectTimeout > 0 ? ConnectTimeout : kDefaultConnectTimeout);
  connectedHost_ = url_.Host;
  connectedPort_ = url_.Port;
  DoStatus(hsConnected, "Connected.");
  return false;
}

void TIdHTTP::SendRequest(TIdHTTPMethod method, const std::string* source) {
  if (ProtocolVersion == pv1_0 && Request.Connection.empty()) Request.Connection = "keep-alive";
  std::string head = MethodName(method);
  head += ' ';
  head += EncodeRequestTarget(url_.Target());
  head += ProtocolVersion == pv1_0 ? " HTTP/1.0\r\n" : " HTTP/1.1\r\n";
  auto add = [&head](std::string_view name, std::string_view value) {
    if (!value.empty()) head += HeaderLine(name, value);
  };
  add("Connection", Request.Connection);
  add("Content-Type", Request.ContentType);
  if (method == hmPost) add("Content-Length", std::to_string(source ? source->size() : 0));
  add("Host", Request.Host);
  add("Accept", Request.Accept);
  add("User-Agent", Request.UserAgent);
  if (AllowCookies && CookieManager)
    add("Cookie", CookieManager->GenerateCookieList(url_.Host, url_.Path + url_.Document));
  head += "\r\n";
  if (source) head += *source;
  io_->Write(head);
}

bool TIdHTTP::FillBuffer(int timeoutMs) {
  if (eof_) return false;
  if (bufferPos_ > 0) {
    buffer_.erase(0, bufferPos_);
    bufferPos_ = 0;
  }
  const size_t old = buffer_.size();
  buffer_.resize(old + kBufferBlock);
  size_t n = 0;
  try {
    n = io_->Read(buffer_.data() + old, kBufferBlock, timeoutMs);
  } catch (...) {
    buffer_.resize(old);
    throw;
  }
  buffer_.resize(old + n);
  if (n == 0) eof_ = true;
  return n > 0;
}

bool TIdHTTP::ReadLn(std::string& line, int timeoutMs) {
  const size_t max = static_cast<size_t>(std::max(MaxLineLength, 1));
  // How much of the buffered bytes after bufferPos_ holds no LF.
  size_t scanned = 0;
  for (;;) {
    const size_t lf = buffer_.find('\n', bufferPos_ + scanned);
    if (lf != std::string::npos) {
      size_t end = lf;
      if (end > bufferPos_ && buffer_[end - 1] == '\r') --end;
      if (end - bufferPos_ > max) throw EIdMaxLineLengthExceeded();
      line.assign(buffer_, bufferPos_, end - bufferPos_);
      bufferPos_ = lf + 1;
      return true;
    }
    scanned = buffer_.size() - bufferPos_;
    // Room for the line, its CR and its LF, and no more.
    if (scanned > max + 1) throw EIdMaxLineLengthExceeded();
    if (!FillBuffer(timeoutMs)) {
      // The connection closed: what came of the line counts.
      if (bufferPos_ == buffer_.size()) return false;
      line.assign(buffer_, bufferPos_, std::string::npos);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      bufferPos_ = buffer_.size();
      return true;
    }
  }
}

size_t TIdHTTP::ReadRaw(char* dest, size_t size, int timeoutMs) {
  if (bufferPos_ < buffer_.size()) {
    const size_t n = std::min(size, buffer_.size() - bufferPos_);
    if (dest) std::memcpy(dest, buffer_.data() + bufferPos_, n);
    bufferPos_ += n;
    return n;
  }
  if (eof_) return 0;
  // Large reads go straight into the caller's memory.
  // A body that is dropped is read into one block that every read reuses.
  if (!dest) {
    if (discard_.size() < kBufferBlock) discard_.resize(kBufferBlock);
    dest = discard_.data();
    size = std::min(size, kBufferBlock);
  }
  const size_t n = io_->Read(dest, size, timeoutMs);
  if (n == 0) eof_ = true;
  return n;
}

size_t TIdHTTP::ReadExact(TMemoryStream* dest, size_t n, int timeoutMs) {
  TAntiFreezeTicker ticker;
  if (dest) dest->Reserve(n);
  size_t done = 0;
  while (done < n) {
    const size_t want = std::min(n - done, kReadBlock);
    const size_t got = ReadRaw(dest ? dest->FreeSpace(want) : nullptr, want, timeoutMs);
    if (got == 0) break;  // closed before the end: what came counts
    if (dest) dest->Commit(got);
    done += got;
    ticker.Tick();
  }
  return done;
}

void TIdHTTP::ReadChunked(TMemoryStream* dest, size_t limit, int timeoutMs) {
  DoStatus(hsStatusText, "Chunk Started");
  size_t total = 0;
  std::string line;
  for (;;) {
    if (!ReadLn(line, timeoutMs)) return;
    uint64_t size = 0;
    if (!ParseChunkSize(line, size))
      throw EIdHTTPBadAnswer("Invalid chunk size \"" + line.substr(0, 64) +
                             "\": the server's chunked answer cannot be read.");
    if (size == 0) break;
    if (size > limit - total) throw EIdAnswerTooLong(limit);
    const size_t got = ReadExact(dest, static_cast<size_t>(size), timeoutMs);
    total += got;
    if (got < size) return;
    if (!ReadLn(line, timeoutMs)) return;
  }
  // Trailer lines up to the empty line that ends the answer.
  for (size_t i = 0; i <= MaxHeaderLines; ++i)
    if (!ReadLn(line, timeoutMs) || line.empty()) return;
  throw EIdHTTPBadAnswer("Too many header lines: the server sent more than " +
                         std::to_string(MaxHeaderLines) + ".");
}

void TIdHTTP::ReadBody(TMemoryStream* dest, size_t limit, int timeoutMs) {
  const TIdHeaderList& headers = Response.RawHeaders;
  if (Response.ContentLength > 0) {
    if (static_cast<uint64_t>(Response.ContentLength) > limit) throw EIdAnswerTooLong(limit);
    ReadExact(dest, static_cast<size_t>(Response.ContentLength), timeoutMs);
  } else if (LowerCaseAZ(headers.Values("Transfer-Encoding")).find("chunked") !=
             std::string::npos) {
    ReadChunked(dest, limit, timeoutMs);
  } else if (headers.Extract("Content-Length").empty()) {
    // Until the server closes the connection.
    TAntiFreezeTicker ticker;
    size_t total = 0;
    for (;;) {
      const size_t got =
          ReadRaw(dest ? dest->FreeSpace(kBufferBlock) : nullptr, kBufferBlock, timeoutMs);
      if (got == 0) break;
      total += got;
      if (total > limit) throw EIdAnswerTooLong(limit);
      if (dest) dest->Commit(got);
      ticker.Tick();
    }
  }
}

bool TIdHTTP::ComputeKeepAlive() const {
  if (!io_->IsOpen() || eof_) return false;
  const std::string connection = Trim(Response.RawHeaders.Values("Connection"));
  const std::string proxy = Trim(Response.RawHeaders.Values("Proxy-Connection"));
  if (ProtocolVersion == pv1_0)
    return SameText(connection, "keep-alive") || SameText(proxy, "keep-alive");
  return !SameText(connection, "close") && !SameText(proxy, "close");
}

void TIdHTTP::FinishResponse() {
  Response.KeepAlive = ComputeKeepAlive();
  if (!Response.KeepAlive) Disconnect();
}

void TIdHTTP::ProcessCookies() {
  if (!AllowCookies || !CookieManager) return;
  for (const std::string& line : Response.RawHeaders.Lines()) {
    if (line.empty() || line.front() == ' ' || line.front() == '\t') continue;
    const std::string name = TIdHeaderList::HeaderName(line);
    if (SameText(name, "Set-cookie"))
      CookieManager->AddCookie(TIdHeaderList::HeaderValue(line), url_.Host);
    else if (SameText(name, "Set-cookie2"))
      CookieManager->AddCookie2(TIdHeaderList::HeaderValue(line), url_.Host);
  }
}

void TIdHTTP::ReadResponseHeadOnce() {
  const int timeout = EffectiveReadTimeout();
  std::string status;
  if (!ReadLn(status, timeout)) throw EIdConnClosedGracefully();
  Response.ResponseText = status;
  Response.ResponseCode = -1;
  {
    const size_t blank = status.find(' ');
    if (blank != std::string::npos) {
      const size_t start = status.find_first_not_of(' ', blank);
      const size_t end = status.find(' ', start);
      int64_t code = 0;
      if (start != std::string::npos &&
          ParseDecimal(std::string_view(status).substr(start, end - start), code) &&
          code >= INT32_MIN && code <= INT32_MAX)
        Response.ResponseCode = static_cast<int32_t>(code);
    }
  }
  if (status.size() >= 8) {
    const std::string_view version = std::string_view(status).substr(5, 3);
    if (version == "1.0")
      Response.ResponseVersion = pv1_0;
    else if (version == "1.1")
      Response.ResponseVersion = pv1_1;
  }
  Response.RawHeaders.Clear();
  std::string line;
  for (;;) {
    // A connection closed while headers come: the headers so far count.
    if (!ReadLn(line, timeout) || line.empty()) break;
    if (Response.RawHeaders.Count() >= MaxHeaderLines)
      throw EIdHTTPBadAnswer("Too many header lines: the server sent more than " +
                             std::to_string(MaxHeaderLines) + ".");
    Response.RawHeaders.Add(line);
  }
  Response.Location = Response.RawHeaders.Values("Location");
  Response.ContentLength = -1;
  if (int64_t length = 0;
      ParseDecimal(Response.RawHeaders.Values("Content-Length"), length) && length >= 0)
    Response.ContentLength = length;
}

void TIdHTTP::ReadResponseHead() {
  for (;;) {
    ReadResponseHeadOnce();
    ProcessCookies();
    if (Response.ResponseCode != 100) return;
  }
}

void TIdHTTP::RaiseProtocolError(TIdHTTPMethod method) {
  std::string message;
  if (HasBody(method, Response.ResponseCode)) {
    TMemoryStream errorBody;
    try {
      ReadBody(&errorBody, kMaxErrorMessageSize, kErrorBodyTimeout);
      FinishResponse();
    } catch (const EIdAnswerTooLong&) {
      // The message keeps what fits; the rest is not read.
      Disconnect();
    }
    message = errorBody.ToString();
  } else {
    FinishResponse();
  }
  throw EIdHTTPProtocolException(Response.ResponseCode, Response.ResponseText, std::move(message));
}

void TIdHTTP::DropRedirectBody(TIdHTTPMethod method) {
  if (!HasBody(method, Response.ResponseCode)) return;
  try {
    ReadBody(nullptr, MaxBodySize, kRedirectBodyTimeout);
  } catch (const EIdException&) {
    // What a redirect says in its body does not matter; the connection is
    // not used again.
    Disconnect();
  }
}

void TIdHTTP::DoRequest(TIdHTTPMethod method, std::string url, const std::string* source,
                        TMemoryStream* body) {
  if (busy_) throw EIdHTTPUndefinedSituation();
  busy_ = true;
  struct TIdle {
    bool& busy;
    ~TIdle() { busy = false; }
  } idle{busy_};
  const size_t bodyStart = body ? body->Size() : 0;
  int redirects = 0;
  try {
    for (;;) {
      PrepareRequest(url);
      if (AllowCookies && CookieManager) CookieManager->RemoveExpired();
      Exchange(method, source);

      if (IsRedirect(Response)) {
        ++redirects;
        std::string dest = Response.Location;
        TIdHTTPMethod nextMethod = method;
        bool handled = HandleRedirects;
        const bool follow = HandleRedirects && redirects < RedirectMaximum;
        int number = redirects;
        if (OnRedirect) OnRedirect(*this, dest, number, handled, nextMethod);
        if (!handled) RaiseProtocolError(method);
        DropRedirectBody(method);
        if (!follow) {
          Response.Location = dest;
          FinishResponse();
          return;
        }
        FinishResponse();
        if (body) body->Truncate(bodyStart);
        url = dest;
        if (nextMethod != hmPost) source = nullptr;
        method = nextMethod;
        continue;
      }
      if (Response.ResponseCode >= 200 && Response.ResponseCode <= 299) {
        if (HasBody(method, Response.ResponseCode))
          ReadBody(body, MaxBodySize, EffectiveReadTimeout());
        FinishResponse();
        return;
      }
      RaiseProtocolError(method);
    }
  } catch (const EIdHTTPProtocolException&) {
    throw;
  } catch (...) {
    // Whatever broke the exchange, the connection is in no known state.
    Disconnect();
    throw;
  }
}
