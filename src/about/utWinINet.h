// HTTP downloads for the update check, over libcurl, with the names and
// error codes of the Windows internet library the program was first made
// for: 1 (no "://" in the address), 18 (404), 12007 (server not found),
// 12029 (no connection) and a few of our own for bounds.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "utStringList.h"

using TInternetProgress = std::function<void(int64_t current, int64_t total, uint8_t percent)>;
using TInternetDebug = std::function<void(const std::string& text)>;

inline constexpr uint32_t kInetNoScheme = 1;
inline constexpr uint32_t kInetNotFound = 18;
inline constexpr uint32_t kInetTimeout = 12002;
inline constexpr uint32_t kInetNameNotResolved = 12007;
inline constexpr uint32_t kInetCannotConnect = 12029;
inline constexpr uint32_t kInetConnectionReset = 12030;
// Of our own: more than the download may take, and a transfer cut short.
inline constexpr uint32_t kInetTooLarge = 20001;
inline constexpr uint32_t kInetPartial = 20002;

void utInetSetUserAgent(const std::string& UserAgent);
std::string WinINetErrorMessage(int32_t ErrorCode);

class TutInternet {
 public:
  TutInternet();
  virtual ~TutInternet();
  TutInternet(const TutInternet&) = delete;
  TutInternet& operator=(const TutInternet&) = delete;

  uint32_t FErrorCode = 0;
  int64_t FCurrentBytes = 0;
  int64_t FTotalBytes = 0;
  std::string FUserAgent;
  void* FInternetHandle = nullptr;
  TInternetProgress FOnProgress;
  TInternetDebug FOnDebug;
  // Bounds of a transfer: its size (0: none), the time it may go without a
  // byte, and the time a connection may take, in seconds.
  int64_t MaxBytes = 0;
  int StallSeconds = 30;
  int ConnectSeconds = 30;

  void FireProgress();
  void FireDebug(const std::string& AText);
};

class TutInternetHTTP : public TutInternet {
 public:
  TutInternetHTTP() = default;
  int32_t FBlockSize = 4096;

  // Any scheme is fetched as plain HTTP: "scheme://server[:port]/path".
  bool Download(const std::string& URL, std::ostream& Stream);
  bool Download(const std::string& Server, const std::string& Path, std::ostream& Stream);
};

bool utHTTPDownload(const std::string& URL, std::ostream& Stream, uint32_t& ErrorCode);
// Into memory (at most 1 MiB: a description file), then as lines.
bool utHTTPDownload(const std::string& URL, TStringList& Strings, uint32_t& ErrorCode);

// The file name of a download address: the text after its last "/". False
// for a name that is empty, "." or "..", which no download may write.
bool DownloadFileName(const std::string& url, std::string& name);
