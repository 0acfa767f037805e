#include "IdCookie.h"

#include <charconv>

#include "IdHTTPDates.h"
#include "utStrings.h"

namespace {

// The latest moment a MAX-AGE may name: the end of year 9999.
constexpr int64_t kLatestMoment = 253402300799;

std::string Unquote(std::string_view s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"')
    return std::string(s.substr(1, s.size() - 2));
  return std::string(s);
}

bool ParseInt64(std::string_view s, int64_t& value) {
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size();
}

bool EndsWithText(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && SameText(s.substr(s.size() - suffix.size()), suffix);
}

bool HasAttribute(const TStringList& attributes, std::string_view name) {
  return attributes.IndexOfName(name) >= 0 || attributes.IndexOf(name) >= 0;
}

}  // namespace

void TIdNetscapeCookie::Parse(std::string_view headerValue, std::string_view host,
                              std::time_t now) {
  CookieText = std::string(headerValue);
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t semi = headerValue.find(';', start);
    parts.push_back(
        Trim(headerValue.substr(start, semi == std::string_view::npos ? semi : semi - start)));
    if (semi == std::string_view::npos) break;
    start = semi + 1;
  }
  if (!parts.empty() && parts.back().empty()) parts.pop_back();
  if (!parts.empty()) {
    CookieName = TStringList::NameOf(parts[0]);
    Value = TStringList::ValueOf(parts[0]);
  }
  TStringList attributes;
  for (size_t i = 1; i < parts.size(); ++i) {
    const size_t eq = parts[i].find('=');
    if (eq == std::string::npos)
      attributes.Add(UpperCaseAZ(parts[i]));
    else
      attributes.Add(UpperCaseAZ(Trim(std::string_view(parts[i]).substr(0, eq))) + "=" +
                     Trim(std::string_view(parts[i]).substr(eq + 1)));
  }
  LoadProperties(attributes, now);
  if (Domain.empty()) Domain = std::string(host);
}

void TIdNetscapeCookie::LoadProperties(const TStringList& attributes, std::time_t) {
  Path = Unquote(attributes.Values("PATH"));
  Expires = attributes.Values("EXPIRES");
  Domain = attributes.Values("DOMAIN");
  Secure = attributes.IndexOf("SECURE") >= 0;
  if (!HasAttribute(attributes, "EXPIRES")) InternalVersion = TIdCookieVersion::cvNetscape;
}

bool TIdNetscapeCookie::IsExpired(std::time_t now) const {
  if (Expires.empty()) return false;
  std::time_t moment = 0;
  if (!ParseHTTPDate(Expires, moment)) return false;
  return moment <= now;
}

void TIdCookieRFC2109::LoadProperties(const TStringList& attributes, std::time_t now) {
  TIdNetscapeCookie::LoadProperties(attributes, now);
  MaxAge = -1;
  if (int64_t age = 0; ParseInt64(attributes.Values("MAX-AGE"), age)) MaxAge = age;
  Version = attributes.Values("VERSION");
  Comment = attributes.Values("COMMENT");
  if (!HasAttribute(attributes, "EXPIRES") && MaxAge >= 0) {
    const int64_t moment =
        MaxAge > kLatestMoment - static_cast<int64_t>(now) ? kLatestMoment : now + MaxAge;
    Expires = LocalDateTimeToHTTPStr(static_cast<std::time_t>(moment));
  }
}

void TIdCookieRFC2965::LoadProperties(const TStringList& attributes, std::time_t now) {
  TIdCookieRFC2109::LoadProperties(attributes, now);
  CommentURL = attributes.Values("COMMENTURL");
  Discard = attributes.IndexOf("DISCARD") >= 0;
  PortList.clear();
  const std::string ports = Unquote(attributes.Values("PORT"));
  size_t start = 0;
  while (start <= ports.size()) {
    const size_t comma = ports.find(',', start);
    int64_t port = 0;
    if (ParseInt64(Trim(std::string_view(ports).substr(
                       start, comma == std::string::npos ? comma : comma - start)),
                   port) &&
        port > 0 && port <= 65535)
      PortList.push_back(static_cast<int32_t>(port));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (PortList.empty()) PortList.push_back(80);
}

bool IsDottedIPv4(std::string_view host) {
  int parts = 0;
  size_t start = 0;
  for (;;) {
    const size_t dot = host.find('.', start);
    const std::string_view part =
        host.substr(start, dot == std::string_view::npos ? dot : dot - start);
    if (part.empty() || part.size() > 3) return false;
    int value = 0;
    for (const char c : part) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    if (value > 255) return false;
    ++parts;
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  return parts == 4;
}

bool CookieDomainMatches(std::string_view host, std::string_view domain) {
  if (domain.empty()) return false;
  if (domain.front() == '.') return EndsWithText(host, domain);
  if (SameText(host, domain)) return true;
  return host.size() > domain.size() && EndsWithText(host, domain) &&
         host[host.size() - domain.size() - 1] == '.';
}

bool IsValidCookieForHost(const TIdNetscapeCookie& cookie, std::string_view host) {
  const std::string_view domain = cookie.Domain;
  if (IsDottedIPv4(host)) return domain == host;
  if (!host.empty() && host.front() == '.') return SameText(host, domain);
  if (domain.empty() || domain.front() != '.') return CookieDomainMatches(host, domain);
  const size_t dot = host.find('.');
  return dot != std::string_view::npos && EndsWithText(host.substr(dot), domain);
}
