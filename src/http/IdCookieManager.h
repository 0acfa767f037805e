// The cookie store of the HTTP client: cookies in memory, in a table keyed
// by Domain + Path, each entry holding its cookies by name, guarded by a
// multiple-reader, single-writer lock.
#pragma once

#include <ctime>
#include <functional>
#include <memory>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

#include "IdCookie.h"

class TIdCookieManager {
 public:
  // Called once for every valid cookie received, before it is stored;
  // accept starts true, and false discards the cookie.
  using TOnNewCookie =
      std::function<void(TIdCookieManager& sender, TIdNetscapeCookie& cookie, bool& accept)>;
  TOnNewCookie OnNewCookie;

  // A Set-Cookie / Set-Cookie2 header value received from host.
  void AddCookie(std::string_view headerValue, std::string_view host,
                 std::time_t now = std::time(nullptr));
  void AddCookie2(std::string_view headerValue, std::string_view host,
                  std::time_t now = std::time(nullptr));

  // Removes the cookies whose Expires lies before now.
  void RemoveExpired(std::time_t now = std::time(nullptr));
  // The value of the Cookie header for a request of host and path: the
  // name=value pairs of the cookies whose domain matches the host, whose
  // Path begins the request path (an empty Path never does), whose value is
  // not empty and which are not Secure, joined with "; ", in descending
  // order of Path.
  std::string GenerateCookieList(std::string_view host, std::string_view path) const;

  // The stored cookies, entry by entry, for display and tests.
  std::vector<const TIdNetscapeCookie*> Cookies() const;
  void Clear();

 private:
  void Store(std::unique_ptr<TIdNetscapeCookie> cookie, std::string_view host);

  struct TEntry {
    std::string key;  // Domain + Path
    std::vector<std::unique_ptr<TIdNetscapeCookie>> cookies;
  };
  mutable std::shared_mutex lock_;
  std::vector<TEntry> table_;
};
