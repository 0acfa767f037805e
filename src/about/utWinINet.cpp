#include "utWinINet.h"

#include <curl/curl.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "utIniFile.h"
#include "utStrings.h"

namespace {

std::string& UnitUserAgent() {
  static std::string agent = "utWinINet";
  return agent;
}

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The receive block of a transfer (libcurl's largest).
constexpr int32_t kReceiveBlock = 512 * 1024;

// The largest description file utHTTPDownload reads into memory.
constexpr int64_t kMaxDescriptionBytes = 1 << 20;

struct TTransfer {
  TutInternetHTTP* self;
  std::ostream* stream;
  CURL* curl;
  bool started = false;
  bool notFound = false;
  bool tooLarge = false;
  bool writeFailed = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<TTransfer*>(user);
  const size_t n = size * count;
  if (!t.started) {
    t.started = true;
    long status = 0;
    if (curl_easy_getinfo(t.curl, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK) {
      t.self->FireDebug("- HttpQueryInfo (" + WinINetErrorMessage(0) + ")");
      status = 0;
    }
    t.self->FireDebug("+ HttpQueryInfo status=" + std::to_string(status));
    if (status == 404) {
      t.notFound = true;
      return 0;
    }
    curl_off_t length = -1;
    curl_easy_getinfo(t.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    t.self->FTotalBytes = length > 0 ? length : 0;
  }
  if (t.self->MaxBytes > 0 && t.self->FCurrentBytes + static_cast<int64_t>(n) > t.self->MaxBytes) {
    t.tooLarge = true;
    return 0;
  }
  t.stream->write(data, static_cast<std::streamsize>(n));
  // No exception may pass through the library's frames: the failure is
  // raised once the transfer has returned.
  if (!*t.stream) {
    t.writeFailed = true;
    return 0;
  }
  t.self->FCurrentBytes += static_cast<int64_t>(n);
  t.self->FireProgress();
  return n;
}

uint32_t CodeOf(CURLcode rc) {
  switch (rc) {
    case CURLE_COULDNT_RESOLVE_HOST:
      return kInetNameNotResolved;
    case CURLE_COULDNT_CONNECT:
      return kInetCannotConnect;
    case CURLE_OPERATION_TIMEDOUT:
      return kInetTimeout;
    case CURLE_PARTIAL_FILE:
      return kInetPartial;
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
      return kInetConnectionReset;
    default:
      return 12000 + static_cast<uint32_t>(rc);
  }
}

}  // namespace

void utInetSetUserAgent(const std::string& UserAgent) { UnitUserAgent() = UserAgent; }

std::string WinINetErrorMessage(int32_t ErrorCode) {
  switch (ErrorCode) {
    case kInetNotFound:
      return "File not found on server!";
    case kInetNameNotResolved:
      return "Could not find server!";
    case kInetCannotConnect:
      return "Could not connect to server!";
    case kInetNoScheme:
      return "1: Incorrect function.";
    case kInetTimeout:
      return "12002: The operation timed out.";
    case kInetConnectionReset:
      return "12030: The connection with the server was terminated abnormally.";
    case kInetTooLarge:
      return "20001: The server sent more than was expected.";
    case kInetPartial:
      return "20002: The transfer ended before the whole file had arrived.";
    default:
      return "Unknown error #" + std::to_string(ErrorCode);
  }
}

TutInternet::TutInternet() : FUserAgent(UnitUserAgent()) {
  GlobalInit();
  FInternetHandle = curl_easy_init();
  if (!FInternetHandle) FErrorCode = 12000;
}

TutInternet::~TutInternet() {
  if (FInternetHandle) curl_easy_cleanup(static_cast<CURL*>(FInternetHandle));
}

void TutInternet::FireProgress() {
  if (!FOnProgress) return;
  uint8_t percent = 0;
  if (FTotalBytes > 0) {
    percent = FCurrentBytes == FTotalBytes
                  ? 100
                  : static_cast<uint8_t>(std::min<int64_t>(
                        100, std::llround(static_cast<double>(FCurrentBytes) * 100 /
                                          static_cast<double>(FTotalBytes))));
  }
  FOnProgress(FCurrentBytes, FTotalBytes, percent);
}

void TutInternet::FireDebug(const std::string& AText) {
  if (FOnDebug) FOnDebug(AText);
}

bool TutInternetHTTP::Download(const std::string& URL, std::ostream& Stream) {
  const size_t scheme = URL.find("://");
  if (scheme == std::string::npos) {
    FErrorCode = kInetNoScheme;
    return false;
  }
  const std::string rest = URL.substr(scheme + 3);
  const size_t slash = rest.find('/');
  if (slash == std::string::npos) return Download(rest, "/", Stream);
  return Download(rest.substr(0, slash), rest.substr(slash), Stream);
}

bool TutInternetHTTP::Download(const std::string& Server, const std::string& Path,
                               std::ostream& Stream) {
  FCurrentBytes = 0;
  FTotalBytes = 0;
  if (!FInternetHandle) return false;
  std::string host = Server;
  long port = 80;
  if (const size_t colon = host.find(':'); colon != std::string::npos) {
    long long value = 0;
    port = TryStrToInt64(host.substr(colon + 1), value) && value > 0 && value < 65536 ? value : 80;
    host = host.substr(0, colon);
  }
  CURL* curl = static_cast<CURL*>(FInternetHandle);
  curl_easy_reset(curl);
  const std::string url = "http://" + host + Path;
  TTransfer t{this, &Stream, curl};
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PORT, port);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
  curl_easy_setopt(curl, CURLOPT_USERAGENT, FUserAgent.c_str());
  // The library receives in larger blocks than FBlockSize where it can: a
  // block per call costs a large download much of its speed, and the bytes
  // reach the stream in the same order either way.
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE,
                   static_cast<long>(std::max<int32_t>(FBlockSize, kReceiveBlock)));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(ConnectSeconds));
  // A transfer that stalls ends instead of waiting for ever.
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(StallSeconds));
  const CURLcode rc = curl_easy_perform(curl);
  if (t.writeFailed) throw std::runtime_error("Cannot write the downloaded data.");
  if (t.notFound) {
    FErrorCode = kInetNotFound;
    return false;
  }
  if (t.tooLarge) {
    FErrorCode = kInetTooLarge;
    return false;
  }
  if (rc != CURLE_OK) {
    FErrorCode = CodeOf(rc);
    Stream.clear();
    Stream.seekp(0);
    return false;
  }
  if (!t.started) {
    // An empty body: the status still counts.
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    FireDebug("+ HttpQueryInfo status=" + std::to_string(status));
    if (status == 404) {
      FErrorCode = kInetNotFound;
      return false;
    }
  }
  FireProgress();
  FireProgress();
  Stream.seekp(0);
  return true;
}

bool utHTTPDownload(const std::string& URL, std::ostream& Stream, uint32_t& ErrorCode) {
  TutInternetHTTP http;
  const bool ok = http.Download(URL, Stream);
  ErrorCode = http.FErrorCode;
  return ok;
}

bool utHTTPDownload(const std::string& URL, TStringList& Strings, uint32_t& ErrorCode) {
  TutInternetHTTP http;
  http.MaxBytes = kMaxDescriptionBytes;
  std::ostringstream body;
  const bool ok = http.Download(URL, body);
  ErrorCode = http.FErrorCode;
  Strings.SetText(ok ? body.str() : std::string());
  return ok;
}

bool DownloadFileName(const std::string& url, std::string& name) {
  name = url.substr(url.rfind('/') + 1);
  // No folder part of any kind may reach the desktop folder.
  if (const size_t back = name.rfind('\\'); back != std::string::npos) name = name.substr(back + 1);
  return !name.empty() && name != "." && name != "..";
}
