#include <gtest/gtest.h>

#include <cstdlib>

#include "IdCookieManager.h"
#include "IdHTTPDates.h"

namespace {

// 2026-12-11 13:00:00 UTC.
constexpr std::time_t kNow = 1796994000;

// A store that records every cookie offered to it.
struct TStore {
  TIdCookieManager manager;
  std::vector<std::string> offered;
  bool accept = true;
  TStore() {
    manager.OnNewCookie = [this](TIdCookieManager&, TIdNetscapeCookie& c, bool& v) {
      offered.push_back(c.Domain + c.Path + "|" + c.CookieName + "=" + c.Value);
      v = accept;
    };
  }
};

}  // namespace

TEST(Cookies, SetCookieAttributes) {
  TIdCookieRFC2109 c;
  c.Parse(
      "SID=31d4d96e; path=\"/docs\"; Domain=.example.com; secure; max-age=60; Version=1; "
      "Comment=hi;",
      "www.example.com", kNow);
  EXPECT_EQ(c.CookieName, "SID");
  EXPECT_EQ(c.Value, "31d4d96e");
  EXPECT_EQ(c.Path, "/docs");
  EXPECT_EQ(c.Domain, ".example.com");
  EXPECT_TRUE(c.Secure);
  EXPECT_EQ(c.MaxAge, 60);
  EXPECT_EQ(c.Version, "1");
  EXPECT_EQ(c.Comment, "hi");
  EXPECT_EQ(c.InternalVersion, TIdCookieVersion::cvNetscape);  // no EXPIRES
  // MAX-AGE becomes a local date (TZ is UTC in the tests).
  EXPECT_EQ(c.Expires, "Fri, 11 Dec 2026 13:01:00 +0000");

  TIdCookieRFC2109 e;
  e.Parse("a=b=c; expires=Wed, 09 Jun 2021 10:18:14 GMT; max-age=5", "h.test", kNow);
  EXPECT_EQ(e.Value, "b=c");
  EXPECT_EQ(e.Expires, "Wed, 09 Jun 2021 10:18:14 GMT");
  EXPECT_EQ(e.Domain, "h.test");
  EXPECT_EQ(e.Path, "");
  EXPECT_FALSE(e.Secure);
  EXPECT_EQ(e.InternalVersion, TIdCookieVersion::cvRFC2109);
  EXPECT_TRUE(e.IsExpired(kNow));
}

TEST(Cookies, SetCookie2AttributesAndPorts) {
  TIdCookieRFC2965 c;
  c.Parse("n=v; Version=1; CommentURL=\"http://x/\"; Discard; Port=\"80,8080, x,70000\"", "h",
          kNow);
  EXPECT_EQ(c.CommentURL, "\"http://x/\"");
  EXPECT_TRUE(c.Discard);
  EXPECT_EQ(c.PortList, (std::vector<int32_t>{80, 8080}));
  TIdCookieRFC2965 d;
  d.Parse("n=v", "h", kNow);
  EXPECT_EQ(d.PortList, std::vector<int32_t>{80});
}

TEST(Cookies, HTTPDates) {
  const struct {
    const char* text;
    std::time_t moment;  // 0: not a date
  } cases[] = {
      {"Sun, 06 Nov 1994 08:49:37 GMT", 784111777},
      {"Sunday, 06-Nov-94 08:49:37 GMT", 784111777},
      {"Sun Nov  6 08:49:37 1994", 784111777},
      {"Sun, 06 Nov 1994 09:49:37 +0100", 784111777},
      {"06 Nov 1994 08:49:37 UTC", 784111777},
      {"Thu, 01-Jan-37 00:00:00 GMT", 2114380800},
      {"tomorrow", 0},
      {"", 0},
      {"Sun, 32 Nov 1994 08:49:37 GMT", 0},
      {"Sun, 06 Nov 1994 25:49:37 GMT", 0},
  };
  for (const auto& c : cases) {
    std::time_t moment = 0;
    EXPECT_EQ(ParseHTTPDate(c.text, moment), c.moment != 0) << c.text;
    if (c.moment) {
      EXPECT_EQ(moment, c.moment) << c.text;
    }
  }
  // What MAX-AGE writes reads back.
  std::time_t back = 0;
  ASSERT_TRUE(ParseHTTPDate(LocalDateTimeToHTTPStr(kNow), back));
  EXPECT_EQ(back, kNow);
}

TEST(Cookies, ValidityAgainstTheRequestHost) {
  const struct {
    const char* header;
    const char* host;
    bool valid;
  } cases[] = {
      {"a=1", "www.a.com", true},                 // the host itself
      {"a=1; domain=.a.com", "www.a.com", true},  // leading dot, host below it
      {"a=1; domain=.a.com", "a.com", false},     // the host's part after its dot is ".com"
      {"a=1; domain=a.com", "www.a.com", true},   // without dot: a parent at a dot
      {"a=1; domain=A.COM", "www.a.com", true},
      {"a=1; domain=a.com", "nota.com", false},  // not a parent of nota.com
      {"a=1; domain=b.com", "www.a.com", false},
      {"a=1; domain=127.0.0.1", "127.0.0.1", true},  // an IPv4 host: exactly itself
      {"a=1; domain=0.0.1", "127.0.0.1", false},
      {"a=1; domain=.0.0.1", "127.0.0.1", false},
  };
  for (const auto& c : cases) {
    TStore s;
    s.manager.AddCookie(c.header, c.host, kNow);
    EXPECT_EQ(s.offered.size(), c.valid ? 1u : 0u) << c.header << " from " << c.host;
    EXPECT_EQ(s.manager.Cookies().size(), c.valid ? 1u : 0u) << c.header << " from " << c.host;
  }
}

TEST(Cookies, SelectionSendsOnlyToTheDomainAndBelowInPathOrder) {
  TStore s;
  s.manager.AddCookie("root=1; path=/", "a.com", kNow);
  s.manager.AddCookie("docs=2; path=/docs", "a.com", kNow);
  s.manager.AddCookie("deep=3; path=/docs/deep", "a.com", kNow);
  s.manager.AddCookie("sub=4; path=/; domain=.a.com", "www.a.com", kNow);
  s.manager.AddCookie("nopath=5", "a.com", kNow);
  s.manager.AddCookie("empty=; path=/", "a.com", kNow);
  s.manager.AddCookie("safe=6; path=/; secure", "a.com", kNow);
  EXPECT_EQ(s.offered.size(), 7u);  // every valid cookie is offered, the one without path too

  const struct {
    const char* host;
    const char* path;
    const char* header;
  } cases[] = {
      {"a.com", "/docs/deep/x.html", "deep=3; docs=2; root=1"},
      {"A.COM", "/docs", "docs=2; root=1"},
      {"a.com", "/", "root=1"},
      {"x.a.com", "/docs/", "docs=2; root=1; sub=4"},
      {"www.a.com", "/", "root=1; sub=4"},
      {"nota.com", "/docs/", ""},
      {"a.com.evil.net", "/docs/", ""},
      {"evil.net", "/a.com/docs/", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(s.manager.GenerateCookieList(c.host, c.path), c.header) << c.host << c.path;
}

TEST(Cookies, TheSameCookieTwiceIsOfferedTwiceAndStoredOnce) {
  TStore s;
  s.manager.AddCookie("n=old; path=/", "h.test", kNow);
  s.manager.AddCookie("n=new; path=/", "h.test", kNow);
  s.manager.AddCookie("n=other; path=/x", "h.test", kNow);
  EXPECT_EQ(s.offered,
            (std::vector<std::string>{"h.test/|n=old", "h.test/|n=new", "h.test/x|n=other"}));
  ASSERT_EQ(s.manager.Cookies().size(), 2u);
  EXPECT_EQ(s.manager.GenerateCookieList("h.test", "/x/"), "n=other; n=new");
  // A refused cookie is not stored.
  s.accept = false;
  s.manager.AddCookie("refused=1; path=/", "h.test", kNow);
  EXPECT_EQ(s.manager.Cookies().size(), 2u);
}

TEST(Cookies, ExpiredCookiesAreRemovedBeforeTheNextRequest) {
  TStore s;
  s.manager.AddCookie("gone=1; path=/; max-age=0", "h.test", kNow);
  s.manager.AddCookie("later=1; path=/; max-age=3600", "h.test", kNow);
  s.manager.AddCookie("past=1; path=/; expires=Thu, 01 Jan 1970 00:00:01 GMT", "h.test", kNow);
  s.manager.AddCookie("odd=1; path=/; expires=whenever", "h.test", kNow);
  EXPECT_EQ(s.manager.Cookies().size(), 4u);
  s.manager.RemoveExpired(kNow);
  EXPECT_EQ(s.manager.GenerateCookieList("h.test", "/"), "later=1; odd=1");
  s.manager.RemoveExpired(kNow + 3600);
  EXPECT_EQ(s.manager.GenerateCookieList("h.test", "/"), "odd=1");
}
