#include <gtest/gtest.h>

#include <functional>

#include "ErrorOf.h"
#include "HttpScriptServer.h"
#include "IdHTTP.h"
#include "LoopbackServer.h"
#include "NginxServer.h"

namespace {

// A client as the main window sets it up, with a cookie store and a record
// of the redirects and status notifications.
struct TClient {
  TIdCookieManager cookies;
  TIdHTTP http;
  std::vector<std::string> redirects;  // "<number> <dest>"
  std::vector<std::string> offered;    // cookies offered to the store
  int connects = 0;
  std::vector<std::string> statusTexts;
  TClient() {
    http.CookieManager = &cookies;
    http.OnRedirect = [this](TIdHTTP&, std::string& dest, int& n, bool&, TIdHTTPMethod&) {
      redirects.push_back(std::to_string(n) + " " + dest);
    };
    http.OnStatus = [this](TIdHTTP&, TIdStatus status, const std::string& text) {
      if (status == hsConnected) ++connects;
      statusTexts.push_back(text);
    };
    cookies.OnNewCookie = [this](TIdCookieManager&, TIdNetscapeCookie& c, bool&) {
      offered.push_back(c.CookieName + "=" + c.Value);
    };
  }
  std::string Get(const std::string& url) {
    TMemoryStream body;
    http.Get(url, body);
    return body.ToString();
  }
};

// The nginx server of these tests, with its documents.
const char* kNginxLocations = R"(
    absolute_redirect off;
    location = /r1 { return 302 /r2; }
    location = /r2 { return 302 /dir/final.html; }
    location /chain/ { rewrite ^/chain/(.*)$ /chain/$1a redirect; }
    location = /cookies {
      add_header Set-Cookie "a=1; Path=/";
      add_header Set-Cookie "b=2; Path=/; Domain=.example.test";
      return 200 "cookies\n";
    }
    location = /missing {
      add_header Set-Cookie "seen=1; Path=/" always;
      return 404;
    }
    location = /show {
      return 200 "cookie=[$http_cookie] type=[$content_type] connection=[$http_connection]";
    }
    location /chunked/ { sub_filter 'x' 'y'; sub_filter_once off; sub_filter_types *; }
)";

class HttpAgainstNginx : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string why;
    if (!TNginxServer::Available(why)) return;
    nginx = new TNginxServer(kNginxLocations);
    nginx->WriteDocument("index.html", "<html><body>Hello</body></html>\n");
    nginx->WriteDocument("dir/final.html", "final\n");
    nginx->WriteDocument("chunked/text.txt", std::string(200000, 'x') + "end");
  }
  static void TearDownTestSuite() {
    delete nginx;
    nginx = nullptr;
  }
  void SetUp() override {
    std::string why;
    if (!nginx && !TNginxServer::Available(why)) GTEST_SKIP() << why;
  }
  static TNginxServer* nginx;
};
TNginxServer* HttpAgainstNginx::nginx = nullptr;

}  // namespace

TEST_F(HttpAgainstNginx, AStaticFileOverOneKeptConnection) {
  TClient c;
  EXPECT_EQ(c.Get(nginx->Url("/index.html")), "<html><body>Hello</body></html>\n");
  EXPECT_EQ(c.http.Response.ResponseCode, 200);
  EXPECT_EQ(c.http.Response.ResponseText, "HTTP/1.1 200 OK");
  EXPECT_EQ(c.http.Response.ResponseVersion, pv1_1);
  EXPECT_TRUE(c.http.Response.KeepAlive);
  EXPECT_EQ(c.http.Response.RawHeaders.Values("content-type"), "text/html");
  EXPECT_EQ(c.http.Response.ContentLength, 32);
  // The next query of the same host goes over the same connection, and a
  // bare document name asks the previous host.
  EXPECT_EQ(c.Get("dir/final.html"), "final\n");
  EXPECT_EQ(c.connects, 1);
}

TEST_F(HttpAgainstNginx, RelativeRedirectsAreFollowedAndNumbered) {
  TClient c;
  EXPECT_EQ(c.Get(nginx->Url("/r1")), "final\n");
  EXPECT_EQ(c.redirects, (std::vector<std::string>{"1 /r2", "2 /dir/final.html"}));
  EXPECT_EQ(c.http.URL().Path + c.http.URL().Document, "/dir/final.html");
  // Each call counts its redirects from 1 again.
  c.redirects.clear();
  c.Get(nginx->Url("/r2"));
  EXPECT_EQ(c.redirects, std::vector<std::string>{"1 /dir/final.html"});
}

TEST_F(HttpAgainstNginx, TheFifteenthRedirectIsFinalWithAnEmptyBody) {
  TClient c;
  EXPECT_EQ(c.Get(nginx->Url("/chain/")), "");
  ASSERT_EQ(c.redirects.size(), 15u);
  EXPECT_EQ(c.redirects.front(), "1 /chain/a");
  EXPECT_EQ(c.redirects.back(), "15 /chain/aaaaaaaaaaaaaaa");
  EXPECT_EQ(c.http.Response.ResponseCode, 302);
  EXPECT_EQ(c.http.Response.Location, "/chain/aaaaaaaaaaaaaaa");
}

TEST_F(HttpAgainstNginx, A404RaisesWithItsPageAfterItsCookiesWereOffered) {
  TClient c;
  TMemoryStream body;
  try {
    c.http.Get(nginx->Url("/missing"), body);
    FAIL() << "no error";
  } catch (const EIdHTTPProtocolException& e) {
    EXPECT_EQ(e.ReplyErrorCode, 404);
    EXPECT_STREQ(e.what(), "HTTP/1.1 404 Not Found");
    EXPECT_NE(e.ErrorMessage.find("<title>404 Not Found</title>"), std::string::npos);
  }
  EXPECT_EQ(body.Size(), 0u);
  EXPECT_EQ(c.offered, std::vector<std::string>{"seen=1"});
  // The connection still serves.
  EXPECT_EQ(c.Get("/dir/final.html"), "final\n");
}

TEST_F(HttpAgainstNginx, HeadReadsNoBodyAndLeavesTheConnectionClean) {
  TClient c;
  c.http.Head(nginx->Url("/index.html"));
  EXPECT_EQ(c.http.Response.ResponseCode, 200);
  EXPECT_EQ(c.http.Response.ContentLength, 32);
  EXPECT_EQ(c.Get("/dir/final.html"), "final\n");
  EXPECT_EQ(c.connects, 1);
}

TEST_F(HttpAgainstNginx, ChunkedAnswers) {
  TClient c;
  EXPECT_EQ(c.Get(nginx->Url("/chunked/text.txt")), std::string(200000, 'y') + "end");
  EXPECT_NE(c.http.Response.RawHeaders.Values("Transfer-Encoding").find("chunked"),
            std::string::npos);
  EXPECT_NE(std::find(c.statusTexts.begin(), c.statusTexts.end(), "Chunk Started"),
            c.statusTexts.end());
  EXPECT_TRUE(c.http.Response.KeepAlive);
  EXPECT_EQ(c.Get("/dir/final.html"), "final\n");
}

TEST_F(HttpAgainstNginx, CookiesGoBackToTheirServerOnly) {
  TClient c;
  c.Get(nginx->Url("/cookies"));
  // b=2 names a domain that 127.0.0.1 may not set.
  EXPECT_EQ(c.offered, std::vector<std::string>{"a=1"});
  EXPECT_EQ(c.Get("/show"), "cookie=[a=1] type=[text/html] connection=[]");
}

TEST_F(HttpAgainstNginx, AfterAPostEveryRequestIsAFormAndAsksToKeepTheConnection) {
  TClient c;
  TStringList fields;
  fields.Add("x=1");
  TMemoryStream body;
  // nginx does not take a POST of a static file.
  EXPECT_EQ(ErrorOf([&] { c.http.Post(nginx->Url("/index.html"), fields, body); }),
            "HTTP/1.1 405 Not Allowed");
  EXPECT_EQ(c.Get("/show"),
            "cookie=[] type=[application/x-www-form-urlencoded] connection=[keep-alive]");
  EXPECT_EQ(c.http.ProtocolVersion, pv1_1);
}

namespace {

// The answers of a scripted server, one a connection.
THttpScriptServer::TScript Always(std::string answer) {
  return [answer](const THttpRequest&, int) { return answer; };
}

}  // namespace

TEST(HttpClient, RequestLineAndHeadersInTheirOrder) {
  THttpScriptServer server(Always(HttpAnswer("HTTP/1.1 200 OK", {"Connection: close"}, "ok")));
  TClient c;
  EXPECT_EQ(c.Get(server.Url("/a/b.html?x=1 2#frag")), "ok");
  const std::string port = std::to_string(server.Port());
  EXPECT_EQ(server.Requests().at(0).head,
            "GET /a/b.html?x=1%202 HTTP/1.1\r\n"
            "Content-Type: text/html\r\n"
            "Host: 127.0.0.1:" +
                port +
                "\r\n"
                "Accept: text/html, */*\r\n"
                "User-Agent: Mozilla/3.0 (compatible; Corvina)\r\n");
  EXPECT_FALSE(c.http.Response.KeepAlive);
  EXPECT_FALSE(c.http.Connected());
}

TEST(HttpClient, PostEncodesTheCallersListInPlace) {
  THttpScriptServer server(
      Always(HttpAnswer("HTTP/1.0 200 OK", {"Connection: keep-alive"}, "done")), true);
  TClient c;
  TStringList fields;
  fields.Add("name=John Smith");
  fields.Add("city=K\xc3\xb6ln#1&x=a+b");
  TMemoryStream body;
  c.http.Post(server.Url("/form"), fields, body);
  EXPECT_EQ(body.ToString(), "done");
  EXPECT_EQ(fields[0], "name=John%20Smith");
  EXPECT_EQ(fields[1], "city=K%C3%B6ln%231&x=a+b");
  c.http.Post("/form", fields, body);
  c.Get("/after");

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  const std::string port = std::to_string(server.Port());
  EXPECT_EQ(requests[0].head,
            "POST /form HTTP/1.0\r\n"
            "Connection: keep-alive\r\n"
            "Content-Type: application/x-www-form-urlencoded\r\n"
            "Content-Length: 42\r\n"
            "Host: 127.0.0.1:" +
                port +
                "\r\n"
                "Accept: text/html, */*\r\n"
                "User-Agent: Mozilla/3.0 (compatible; Corvina)\r\n");
  EXPECT_EQ(requests[0].body, "name=John%20Smith&city=K%C3%B6ln%231&x=a+b");
  EXPECT_EQ(requests[1].body, "name=John%2520Smith&city=K%25C3%25B6ln%25231&x=a+b");
  EXPECT_EQ(requests[2].RequestLine(), "GET /after HTTP/1.1");
  EXPECT_EQ(requests[2].Header("Connection"), "keep-alive");
  EXPECT_EQ(requests[2].Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_FALSE(requests[2].HasHeader("Content-Length"));
}

TEST(HttpClient, FormBodies) {
  const struct {
    std::vector<std::string> lines;
    const char* body;
  } cases[] = {
      {{}, ""},
      {{"  a=1  "}, "a=1"},
      {{"a=1", "b=2", "c"}, "a=1&b=2&c"},
      {{"a=1", ""}, "a=1"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormBody(TStringList(c.lines)), c.body);
  EXPECT_EQ(EncodeFormValue("a b#%*<>[]\x01\x7f\x80&=+~"),
            "a%20b%23%25%2A%3C%3E%5B%5D%01\x7f%80&=+~");
}

TEST(HttpClient, URLsTheClientCannotAsk) {
  TClient c;
  TMemoryStream body;
  EXPECT_EQ(ErrorOf([&] { c.http.Get("https://127.0.0.1/", body); }),
            "IOHandler value is not valid");
  TClient fresh;
  // No protocol, no host and nothing asked before.
  EXPECT_NE(ErrorOf([&] { fresh.http.Get("www.example.com", body); }).find("\"http://\""),
            std::string::npos);
  EXPECT_NE(ErrorOf([&] { fresh.http.Get("ftp://127.0.0.1/", body); }).find("ftp"),
            std::string::npos);
  EXPECT_EQ(ErrorOf([&] { fresh.http.Get("http://no-such-host.invalid/", body); }),
            "Socket Error # 11001\r\nHost not found.");
  EXPECT_EQ(ErrorOf([&] {
              fresh.http.Get("http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/",
                             body);
            }),
            "Socket Error # 10061\r\nConnection refused.");
  // After an http URL, one with another protocol keeps its port.
  THttpScriptServer server(Always(HttpAnswer("HTTP/1.1 200 OK", {}, "ok")));
  EXPECT_EQ(fresh.Get(server.Url("/")), "ok");
  EXPECT_EQ(fresh.Get("gopher://127.0.0.1/x"), "ok");
}

namespace {

// A server that answers with bytes of the test's choice.
struct TRawCase {
  const char* what;
  std::string answer;
  std::string error;  // "(no error)" when the call succeeds
  std::string body;
};

}  // namespace

TEST(HttpClient, WhatServersSendIsBounded) {
  std::string manyHeaders = "HTTP/1.1 200 OK\r\n";
  for (int i = 0; i < 1001; ++i) manyHeaders += "X-" + std::to_string(i) + ": v\r\n";
  std::string wideHeaders = "HTTP/1.1 200 OK\r\n";
  for (int i = 0; i < 200; ++i)
    wideHeaders += "X-" + std::to_string(i) + ": " + std::string(100, 'v') + "\r\n";
  const TRawCase cases[] = {
      {"a status line over 16 KiB", "HTTP/1.1 200 " + std::string(20000, 'x') + "\r\n\r\n",
       "Max line length exceeded.", ""},
      {"a header line of 20 KiB", "HTTP/1.1 200 OK\r\nX: " + std::string(20480, 'v') + "\r\n\r\n",
       "Max line length exceeded.", ""},
      {"20 KiB of headers in 200 lines", wideHeaders + "Content-Length: 2\r\n\r\nok", "(no error)",
       "ok"},
      {"1001 header lines", manyHeaders + "\r\n",
       "Too many header lines: the server sent more than 1000.", ""},
      {"a chunk size that is no number",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nab\r\n0\r\n\r\n",
       "Invalid chunk size \"zz\": the server's chunked answer cannot be read.", ""},
      {"a chunk larger than the body bound",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFFFF\r\n",
       "Answer too long: the server sent more than 1024 bytes.", ""},
      {"chunks with extensions and trailers",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3;x=y\r\nabc\r\n2 \r\nde\r\n0\r\n"
       "T: 1\r\n\r\n",
       "(no error)", "abcde"},
      {"a Content-Length over the bound", "HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\n",
       "Answer too long: the server sent more than 1024 bytes.", ""},
      {"an answer until close over the bound", "HTTP/1.0 200 OK\r\n\r\n" + std::string(5000, 'z'),
       "Answer too long: the server sent more than 1024 bytes.", ""},
      {"a close before the status line", "", "Connection Closed Gracefully.", ""},
      {"a close within the body", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort",
       "(no error)", "short"},
      {"a close within the headers", "HTTP/1.1 200 OK\r\nX-A: 1\r\nX-B", "(no error)", ""},
      {"HTTP/1.0 without Content-Length", "HTTP/1.0 200 OK\r\nServer: old\r\n\r\nuntil\r\nclose",
       "(no error)", "until\r\nclose"},
      {"100 Continue first",
       "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nbody",
       "(no error)", "body"},
      {"204 has no body", "HTTP/1.1 204 No Content\r\n\r\n", "(no error)", ""},
      {"LF line ends only", "HTTP/1.1 200 OK\nContent-Length: 2\n\nok", "(no error)", "ok"},
      {"a status without a code", "HTTP/1.1 OK\r\nContent-Length: 0\r\n\r\n", "HTTP/1.1 OK", ""},
  };
  for (const TRawCase& rc : cases) {
    TLoopbackServer server([&rc](int fd, const std::string&, int) {
      SkipHttpHeaders(fd);
      SendAll(fd, rc.answer);
    });
    TClient c;
    c.http.MaxBodySize = 1024;
    TMemoryStream body;
    EXPECT_EQ(ErrorOf([&] {
                c.http.Get("http://127.0.0.1:" + std::to_string(server.Port()) + "/", body);
              }),
              rc.error)
        << rc.what;
    if (rc.error == "(no error)") {
      EXPECT_EQ(body.ToString(), rc.body) << rc.what;
    } else if (rc.error.rfind("HTTP/", 0) != 0) {
      // A broken answer leaves no connection behind.
      EXPECT_FALSE(c.http.Connected()) << rc.what;
    }
  }
}

TEST(HttpClient, AStatusLineThatNeverEndsIsCutOff) {
  TLoopbackServer server(TLoopbackServer::Stream());
  TClient c;
  TMemoryStream body;
  EXPECT_EQ(
      ErrorOf([&] { c.http.Get("http://127.0.0.1:" + std::to_string(server.Port()) + "/", body); }),
      "Max line length exceeded.");
}

TEST(HttpClient, ResponseFieldsAndOddHeaderLines) {
  THttpScriptServer server(Always(
      "HTTP/1.0 200 Fine\r\nContent-Type: text/html\r\nX-Folded: one\r\n  two\r\nNoBlank:value\r\n"
      "Odd line\r\nX-Eq: a=b\r\nSet-Cookie2: v2=1; Version=1; Path=/; Port=\"80,8080\"\r\n"
      "Content-Length: 0\r\n\r\n"));
  TClient c;
  c.Get(server.Url("/"));
  const TIdHTTPResponse& r = c.http.Response;
  EXPECT_EQ(r.ResponseVersion, pv1_0);
  EXPECT_EQ(r.ResponseText, "HTTP/1.0 200 Fine");
  EXPECT_EQ(r.RawHeaders.Values("x-folded"), "one two");
  EXPECT_EQ(r.RawHeaders.Values("NoBlank"), "value");
  TStringList converted;
  r.RawHeaders.ConvertToStdValues(converted);
  EXPECT_EQ(converted[0], "Content-Type=text/html");
  EXPECT_EQ(converted[2], "  two");
  EXPECT_EQ(converted[3], "NoBlank:value");
  EXPECT_EQ(converted[5], "X-Eq=a=b");
  const auto rows = HeaderRows(r.RawHeaders);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Content-Type", "text/html"},
      {"X-Folded", "one"},
      {"", "two"},
      {"NoBlank", "value"},
      {"", "Odd line"},
      {"X-Eq", "a=b"},
      {"Set-Cookie2", "v2=1; Version=1; Path=/; Port=\"80,8080\""},
      {"Content-Length", "0"}};
  ASSERT_EQ(rows.size(), expected.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].Field, expected[i].first) << i;
    EXPECT_EQ(rows[i].Value, expected[i].second) << i;
  }
  EXPECT_EQ(c.offered, std::vector<std::string>{"v2=1"});
  ASSERT_EQ(c.cookies.Cookies().size(), 1u);
  const auto* v2 = dynamic_cast<const TIdCookieRFC2965*>(c.cookies.Cookies()[0]);
  ASSERT_NE(v2, nullptr);
  EXPECT_EQ(v2->PortList, (std::vector<int32_t>{80, 8080}));
  // An HTTP/1.1 client keeps an HTTP/1.0 answer's connection unless told
  // otherwise; this server closed it, so the next query opens a new one.
  EXPECT_EQ(c.Get("/"), "");
  EXPECT_EQ(server.Connections(), 2);
}

TEST(HttpClient, RedirectRules) {
  // Sixteen redirects: the fifteenth is final.
  THttpScriptServer chain([](const THttpRequest&, int i) {
    return HttpAnswer("HTTP/1.1 302 Found", {"Location: /hop" + std::to_string(i + 1)}, "moved");
  });
  TClient c;
  EXPECT_EQ(c.Get(chain.Url("/hop0")), "");
  EXPECT_EQ(c.redirects.size(), 15u);
  EXPECT_EQ(chain.Requests().size(), 15u);

  // A 200 with a Location counts as a redirect.
  THttpScriptServer located([](const THttpRequest&, int i) {
    return i == 0 ? HttpAnswer("HTTP/1.1 200 OK", {"Location: /there"}, "here")
                  : HttpAnswer("HTTP/1.1 200 OK", {}, "there");
  });
  TClient d;
  EXPECT_EQ(d.Get(located.Url("/")), "there");
  EXPECT_EQ(d.redirects, std::vector<std::string>{"1 /there"});

  // A handler that refuses the redirect raises the protocol error.
  TClient e;
  e.http.OnRedirect = [](TIdHTTP&, std::string&, int&, bool& handled, TIdHTTPMethod&) {
    handled = false;
  };
  THttpScriptServer once(Always(HttpAnswer("HTTP/1.1 301 Moved", {"Location: /x"}, "")));
  EXPECT_EQ(ErrorOf([&] { e.Get(once.Url("/")); }), "HTTP/1.1 301 Moved");

  // A handler may send the new location with another method.
  THttpScriptServer post([](const THttpRequest&, int i) {
    return i == 0 ? HttpAnswer("HTTP/1.1 303 See Other", {"Location: /result"}, "")
                  : HttpAnswer("HTTP/1.1 200 OK", {}, "result");
  });
  TClient f;
  f.http.OnRedirect = [](TIdHTTP&, std::string&, int&, bool&, TIdHTTPMethod& method) {
    method = hmGet;
  };
  TStringList fields;
  fields.Add("a=1");
  TMemoryStream body;
  f.http.Post(post.Url("/form"), fields, body);
  EXPECT_EQ(body.ToString(), "result");
  EXPECT_EQ(post.Requests().at(1).RequestLine(), "GET /result HTTP/1.0");
}

TEST(HttpClient, AnErrorPageThatStallsIsAReadTimeout) {
  TLoopbackServer server([](int fd, const std::string&, int stopFd) {
    SkipHttpHeaders(fd);
    SendAll(fd, "HTTP/1.1 500 Broken\r\nContent-Length: 50\r\n\r\npart");
    WaitReadableFor(stopFd, 5000);
  });
  TClient c;
  EXPECT_EQ(ErrorOf([&] { c.Get("http://127.0.0.1:" + std::to_string(server.Port()) + "/"); }),
            "Read Timeout");
}

TEST(HttpClient, AKeptConnectionTheServerDroppedIsOpenedAgain) {
  // Says nothing of closing, then closes after each answer.
  THttpScriptServer server(Always(HttpAnswer("HTTP/1.1 200 OK", {}, "ok")));
  TClient c;
  EXPECT_EQ(c.Get(server.Url("/1")), "ok");
  EXPECT_TRUE(c.http.Response.KeepAlive);
  EXPECT_EQ(c.Get("/2"), "ok");
  EXPECT_EQ(c.connects, 2);
}
