#include <gtest/gtest.h>

#include <sstream>

#include "LoopbackServer.h"
#include "utWinINet.h"

namespace {

// An HTTP server on loopback that answers every request with a status and
// a body (and their Content-Length).
TLoopbackServer::THandler Http(int status, const std::string& body) {
  return [status, body](int fd, const std::string&, int) {
    SkipHttpHeaders(fd);
    SendAll(fd, "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " +
                    std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
  };
}

std::string Address(const TLoopbackServer& s, const std::string& path = "/updates/x.ini") {
  return "http://127.0.0.1:" + std::to_string(s.Port()) + path;
}

}  // namespace

TEST(UpdateDownload, BodiesStatusesAndTheAddressRules) {
  TLoopbackServer ok(Http(200, "CurrentVersion=0.4.3.0\r\nURL=http://h/x.deb\r\n"));
  TStringList lines;
  uint32_t code = 99;
  ASSERT_TRUE(utHTTPDownload(Address(ok), lines, code));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(lines.Values("CurrentVersion"), "0.4.3.0");
  EXPECT_EQ(ok.Requests(), std::vector<std::string>{"GET /updates/x.ini HTTP/1.1"});

  // https is fetched as plain HTTP; a port that is no number means 80.
  TutInternetHTTP http;
  std::ostringstream body;
  EXPECT_TRUE(http.Download("https://127.0.0.1:" + std::to_string(ok.Port()) + "/a", body));
  EXPECT_FALSE(http.Download("no scheme here", body));
  EXPECT_EQ(http.FErrorCode, 1u);

  TLoopbackServer missing(Http(404, "gone"));
  EXPECT_FALSE(utHTTPDownload(Address(missing), lines, code));
  EXPECT_EQ(WinINetErrorMessage(static_cast<int32_t>(code)), "File not found on server!");
  // Any other status is taken as the file.
  TLoopbackServer failing(Http(500, "server error page"));
  std::ostringstream page;
  EXPECT_TRUE(utHTTPDownload(Address(failing), page, code));
  EXPECT_EQ(page.str(), "server error page");

  EXPECT_FALSE(utHTTPDownload("http://no-such-host.invalid/x", lines, code));
  EXPECT_EQ(WinINetErrorMessage(static_cast<int32_t>(code)), "Could not find server!");
  EXPECT_FALSE(utHTTPDownload("http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/x",
                              lines, code));
  EXPECT_EQ(WinINetErrorMessage(static_cast<int32_t>(code)), "Could not connect to server!");
  EXPECT_EQ(WinINetErrorMessage(12345), "Unknown error #12345");

  std::string name;
  EXPECT_TRUE(DownloadFileName("http://h/dl/corvina-setup.deb", name));
  EXPECT_EQ(name, "corvina-setup.deb");
  for (const char* bad : {"http://h/dl/", "http://h/..", "http://h/.", "http://h/x\\.."})
    EXPECT_FALSE(DownloadFileName(bad, name)) << bad;
}

TEST(UpdateDownload, HostileServersAreBounded) {
  // A description larger than 1 MiB is refused.
  TLoopbackServer big(Http(200, std::string((1 << 20) + 10, 'x')));
  TStringList lines;
  uint32_t code = 0;
  EXPECT_FALSE(utHTTPDownload(Address(big), lines, code));
  EXPECT_EQ(code, kInetTooLarge);
  EXPECT_TRUE(lines.Empty());
  // A transfer that stalls ends, and one cut short says so.
  TLoopbackServer stalls([](int fd, const std::string&, int stopFd) {
    SkipHttpHeaders(fd);
    SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nabc");
    WaitReadableFor(stopFd, 10000);
  });
  TutInternetHTTP http;
  http.StallSeconds = 1;
  std::ostringstream body;
  EXPECT_FALSE(http.Download(Address(stalls), body));
  EXPECT_EQ(http.FErrorCode, kInetTimeout);
  TLoopbackServer cut([](int fd, const std::string&, int) {
    SkipHttpHeaders(fd);
    SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nabc");
  });
  TutInternetHTTP http2;
  std::vector<int> percents;
  http2.FOnProgress = [&](int64_t, int64_t, uint8_t p) { percents.push_back(p); };
  EXPECT_FALSE(http2.Download(Address(cut), body));
  EXPECT_EQ(http2.FErrorCode, kInetPartial);
  EXPECT_EQ(percents, std::vector<int>{3});
}
