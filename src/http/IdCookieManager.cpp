#include "IdCookieManager.h"

#include <algorithm>
#include <mutex>

#include "utStrings.h"

void TIdCookieManager::AddCookie(std::string_view headerValue, std::string_view host,
                                 std::time_t now) {
  auto cookie = std::make_unique<TIdCookieRFC2109>();
  cookie->Parse(headerValue, host, now);
  Store(std::move(cookie), host);
}

void TIdCookieManager::AddCookie2(std::string_view headerValue, std::string_view host,
                                  std::time_t now) {
  auto cookie = std::make_unique<TIdCookieRFC2965>();
  cookie->Parse(headerValue, host, now);
  Store(std::move(cookie), host);
}

void TIdCookieManager::Store(std::unique_ptr<TIdNetscapeCookie> cookie, std::string_view host) {
  if (!IsValidCookieForHost(*cookie, host)) return;
  bool accept = true;
  if (OnNewCookie) OnNewCookie(*this, *cookie, accept);
  if (!accept) return;
  const std::string key = cookie->Domain + cookie->Path;
  std::unique_lock lock(lock_);
  auto entry = std::find_if(table_.begin(), table_.end(),
                            [&](const TEntry& e) { return SameText(e.key, key); });
  if (entry == table_.end()) {
    table_.push_back({key, {}});
    entry = table_.end() - 1;
  }
  for (auto& stored : entry->cookies) {
    if (stored->CookieName == cookie->CookieName) {
      stored = std::move(cookie);
      return;
    }
  }
  entry->cookies.push_back(std::move(cookie));
}

void TIdCookieManager::RemoveExpired(std::time_t now) {
  std::unique_lock lock(lock_);
  for (TEntry& entry : table_)
    std::erase_if(entry.cookies, [now](const auto& c) { return c->IsExpired(now); });
  std::erase_if(table_, [](const TEntry& e) { return e.cookies.empty(); });
}

std::string TIdCookieManager::GenerateCookieList(std::string_view host,
                                                 std::string_view path) const {
  std::vector<const TIdNetscapeCookie*> chosen;
  {
    std::shared_lock lock(lock_);
    for (const TEntry& entry : table_)
      for (const auto& c : entry.cookies)
        if (CookieDomainMatches(host, c->Domain) && !c->Path.empty() && StartsWith(path, c->Path) &&
            !c->Value.empty() && !c->Secure)
          chosen.push_back(c.get());
    std::stable_sort(chosen.begin(), chosen.end(), [](const auto* a, const auto* b) {
      return CompareText(a->Path, b->Path) > 0;
    });
    std::string header;
    for (const TIdNetscapeCookie* c : chosen) {
      if (!header.empty()) header += "; ";
      header += c->ClientCookie();
    }
    return header;
  }
}

std::vector<const TIdNetscapeCookie*> TIdCookieManager::Cookies() const {
  std::shared_lock lock(lock_);
  std::vector<const TIdNetscapeCookie*> all;
  for (const TEntry& entry : table_)
    for (const auto& c : entry.cookies) all.push_back(c.get());
  return all;
}

void TIdCookieManager::Clear() {
  std::unique_lock lock(lock_);
  table_.clear();
}
