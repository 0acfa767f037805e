// Cookies as servers set them: Set-Cookie headers make TIdCookieRFC2109,
// Set-Cookie2 headers TIdCookieRFC2965; both are TIdNetscapeCookie.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "utStringList.h"

// 0 for a plain cookie without EXPIRES, 1 for Set-Cookie, 2 for Set-Cookie2.
enum class TIdCookieVersion { cvNetscape = 0, cvRFC2109 = 1, cvRFC2965 = 2 };

class TIdNetscapeCookie {
 public:
  virtual ~TIdNetscapeCookie() = default;

  std::string CookieText;  // the header value it was parsed from
  std::string Domain;      // DOMAIN, or the host of the request that set it
  std::string Expires;     // EXPIRES as received, or made from MAX-AGE
  std::string CookieName;
  std::string Path;  // PATH without surrounding double quotes; empty when absent
  bool Secure = false;
  std::string Value;
  TIdCookieVersion InternalVersion = TIdCookieVersion::cvNetscape;

  // Reads a header value: parts separated by ";", trimmed (an empty last
  // part is dropped); the first is name=value, the others attributes, whose
  // names are upper-cased. host is the request's host, the domain of a
  // cookie without DOMAIN; now is the moment MAX-AGE counts from.
  void Parse(std::string_view headerValue, std::string_view host, std::time_t now);

  // True when Expires names a moment that is not after now. An Expires that
  // is no date does not end the cookie: it lives as long as the store.
  bool IsExpired(std::time_t now) const;
  // name=value, as the Cookie header sends it.
  std::string ClientCookie() const { return CookieName + "=" + Value; }

 protected:
  TIdNetscapeCookie() = default;
  // Reads the attributes of this kind of cookie (names upper-cased).
  virtual void LoadProperties(const TStringList& attributes, std::time_t now);
};

class TIdCookieRFC2109 : public TIdNetscapeCookie {
 public:
  TIdCookieRFC2109() { InternalVersion = TIdCookieVersion::cvRFC2109; }
  int64_t MaxAge = -1;  // -1 when absent
  std::string Version;
  std::string Comment;

 protected:
  void LoadProperties(const TStringList& attributes, std::time_t now) override;
};

class TIdCookieRFC2965 : public TIdCookieRFC2109 {
 public:
  TIdCookieRFC2965() { InternalVersion = TIdCookieVersion::cvRFC2965; }
  std::string CommentURL;
  bool Discard = false;
  std::vector<int32_t> PortList{80};

 protected:
  void LoadProperties(const TStringList& attributes, std::time_t now) override;
};

// A dotted IPv4 address: four decimal numbers up to 255.
bool IsDottedIPv4(std::string_view host);
// Whether a cookie received from host may be kept: for an IPv4 host its
// domain must be the host; for a name, a domain with a leading dot must end
// the host's part from its first dot, and one without must be the host or
// end it after a dot (a.com never sets cookies for nota.com).
bool IsValidCookieForHost(const TIdNetscapeCookie& cookie, std::string_view host);
// Whether a cookie of that domain goes to host: the domain is the host or a
// parent of it at a dot boundary (a.com's cookies never go to nota.com or
// to a.com.evil.net). Letter case is ignored.
bool CookieDomainMatches(std::string_view host, std::string_view domain);
