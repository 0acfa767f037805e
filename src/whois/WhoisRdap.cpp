#include "WhoisRdap.h"

#include <curl/curl.h>

#include <algorithm>
#include <mutex>
#include <nlohmann/json.hpp>

#include "NetAntiFreeze.h"
#include "utFiles.h"
#include "utStrings.h"

using nlohmann::json;

namespace {

struct ETooDeep {};

// Parses JSON text, refusing nesting deeper than kMaxRdapDepth.
json ParseJson(std::string_view text) {
  try {
    return json::parse(text.begin(), text.end(), [](int depth, json::parse_event_t, json&) {
      if (depth > kMaxRdapDepth) throw ETooDeep();
      return true;
    });
  } catch (const ETooDeep&) {
    throw ERdapError("The RDAP answer is nested deeper than " + std::to_string(kMaxRdapDepth) +
                     " levels.");
  } catch (const json::exception& e) {
    throw ERdapError(std::string("The RDAP answer is no JSON: ") + e.what());
  }
}

std::string Str(const json& j, const char* key) {
  if (!j.is_object()) return {};
  const auto it = j.find(key);
  return it != j.end() && it->is_string() ? it->get<std::string>() : std::string();
}

const json& Array(const json& j, const char* key) {
  static const json empty = json::array();
  if (!j.is_object()) return empty;
  const auto it = j.find(key);
  return it != j.end() && it->is_array() ? *it : empty;
}

std::string Capitalised(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 32);
  return text;
}

// A vCard property's text: a string, or the strings of an array joined.
std::string VCardText(const json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (!value.is_array()) return {};
  std::string text;
  for (const json& part : value) {
    const std::string piece = VCardText(part);
    if (piece.empty()) continue;
    if (!text.empty()) text += ", ";
    text += piece;
  }
  return text;
}

// The lines of a vCard array: ["vcard", [[name, params, type, value], ...]].
void RenderVCard(const json& vcard, std::vector<std::string>& lines) {
  if (!vcard.is_array() || vcard.size() < 2 || !vcard[1].is_array()) return;
  for (const json& property : vcard[1]) {
    if (!property.is_array() || property.size() < 4 || !property[0].is_string()) continue;
    const std::string name = LowerCaseAZ(property[0].get<std::string>());
    std::string value = VCardText(property[3]);
    if (value.empty()) continue;
    if (name == "fn")
      lines.push_back("Name: " + value);
    else if (name == "org")
      lines.push_back("Organization: " + value);
    else if (name == "email")
      lines.push_back("Email: " + value);
    else if (name == "tel") {
      if (StartsWith(value, "tel:")) value = value.substr(4);
      lines.push_back("Phone: " + value);
    } else if (name == "adr") {
      lines.push_back("Address: " + value);
    }
  }
}

std::string VCardName(const json& entity) {
  const json& vcard =
      entity.is_object() && entity.contains("vcardArray") ? entity["vcardArray"] : json();
  if (!vcard.is_array() || vcard.size() < 2 || !vcard[1].is_array()) return {};
  for (const json& property : vcard[1])
    if (property.is_array() && property.size() >= 4 && property[0] == "fn")
      return VCardText(property[3]);
  return {};
}

void RenderEvents(const json& object, std::vector<std::string>& lines) {
  for (const json& event : Array(object, "events")) {
    const std::string action = Str(event, "eventAction"), date = Str(event, "eventDate");
    if (action.empty() || date.empty()) continue;
    std::string label;
    if (action == "registration")
      label = "Creation Date";
    else if (action == "expiration")
      label = "Registry Expiry Date";
    else if (action == "last changed")
      label = "Updated Date";
    else if (action == "last update of RDAP database")
      label = "Last update of RDAP database";
    else
      label = Capitalised(action) + " Date";
    lines.push_back(label + ": " + date);
  }
}

void RenderEntity(const json& entity, std::vector<std::string>& lines, int depth) {
  if (!entity.is_object() || depth > 4) return;
  std::string roles;
  bool registrar = false;
  for (const json& role : Array(entity, "roles")) {
    if (!role.is_string()) continue;
    if (role == "registrar") registrar = true;
    if (!roles.empty()) roles += ", ";
    roles += Capitalised(role.get<std::string>());
  }
  lines.push_back("");
  if (registrar) {
    lines.push_back("Registrar: " + VCardName(entity));
    for (const json& id : Array(entity, "publicIds"))
      if (Str(id, "type") == "IANA Registrar ID")
        lines.push_back("Registrar IANA ID: " + Str(id, "identifier"));
  }
  std::string heading = "Entity: " + (roles.empty() ? std::string("Contact") : roles);
  if (const std::string handle = Str(entity, "handle"); !handle.empty())
    heading += " (" + handle + ")";
  lines.push_back(heading);
  if (entity.contains("vcardArray")) RenderVCard(entity["vcardArray"], lines);
  RenderEvents(entity, lines);
  for (const json& inner : Array(entity, "entities")) RenderEntity(inner, lines, depth + 1);
}

void RenderNotices(const json& object, const char* key, const char* label,
                   std::vector<std::string>& lines) {
  for (const json& notice : Array(object, key)) {
    lines.push_back("");
    lines.push_back(std::string(label) + ": " + Str(notice, "title"));
    for (const json& line : Array(notice, "description"))
      if (line.is_string()) lines.push_back(line.get<std::string>());
    for (const json& link : Array(notice, "links"))
      if (const std::string href = Str(link, "href"); !href.empty()) lines.push_back(href);
  }
}

// Every line of the report is one line: texts from the server cannot break
// it.
void FlattenLineBreaks(std::vector<std::string>& lines) {
  for (std::string& line : lines)
    for (char& c : line)
      if (c == '\r' || c == '\n' || c == '\0') c = ' ';
}

json DomainObject(std::string_view text) {
  json answer = ParseJson(text);
  if (!answer.is_object() || Str(answer, "objectClassName") != "domain")
    throw ERdapError("The RDAP answer is no domain object.");
  return answer;
}

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct TTransfer {
  TRdapAnswer* answer;
  size_t limit;
  bool tooLong = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<TTransfer*>(user);
  const size_t n = size * count;
  if (t.answer->body.size() + n > t.limit) {
    t.tooLong = true;
    return 0;
  }
  t.answer->body.append(data, n);
  return n;
}

size_t ReadHeader(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<TTransfer*>(user);
  const std::string_view line(data, size * count);
  // A new answer (after a redirect) starts with its status line.
  if (StartsWith(line, "HTTP/")) t.answer->retryAfter.clear();
  if (line.size() > 12 && SameText(line.substr(0, 12), "retry-after:"))
    t.answer->retryAfter = Trim(line.substr(12)).substr(0, 64);
  return size * count;
}

}  // namespace

void TRdapBootstrap::Load(std::string_view text) {
  json file;
  try {
    file = json::parse(text.begin(), text.end());
  } catch (const json::exception& e) {
    throw ERdapError(std::string("The RDAP bootstrap file is no JSON: ") + e.what());
  }
  if (!file.is_object() || !file.contains("services") || !file["services"].is_array())
    throw ERdapError("The RDAP bootstrap file has no services.");
  services_.clear();
  for (const json& service : file["services"]) {
    if (!service.is_array() || service.size() < 2 || !service[0].is_array() ||
        !service[1].is_array())
      continue;
    TService s;
    for (const json& ending : service[0])
      if (ending.is_string()) s.endings.push_back(LowerCaseAZ(ending.get<std::string>()));
    for (const json& url : service[1]) {
      if (!url.is_string()) continue;
      std::string u = url.get<std::string>();
      if (!u.empty() && u.back() != '/') u += '/';
      // HTTPS where the service offers it.
      if (s.url.empty() || (StartsWith(u, "https://") && !StartsWith(s.url, "https://"))) s.url = u;
    }
    if (!s.endings.empty() && !s.url.empty()) services_.push_back(std::move(s));
  }
}

void TRdapBootstrap::LoadFromFolder(const std::string& programFolder) {
  const std::string file = programFolder + "rdap-dns.json";
  services_.clear();
  if (FileExists(file)) Load(ReadFileBytes(file, kMaxRdapBootstrapSize));
}

std::string TRdapBootstrap::ServiceFor(std::string_view domain) const {
  std::string name = LowerCaseAZ(domain);
  while (!name.empty() && name.back() == '.') name.pop_back();
  std::string best;
  size_t bestLength = 0;
  for (const TService& s : services_)
    for (const std::string& ending : s.endings) {
      const bool matches =
          name == ending || (name.size() > ending.size() && EndsWith(name, ending) &&
                             name[name.size() - ending.size() - 1] == '.');
      if (matches && ending.size() > bestLength) {
        best = s.url;
        bestLength = ending.size();
      }
    }
  return best;
}

TRdapClient::~TRdapClient() {
  if (curl_) curl_easy_cleanup(static_cast<CURL*>(curl_));
  if (multi_) curl_multi_cleanup(static_cast<CURLM*>(multi_));
}

TRdapAnswer TRdapClient::Get(const std::string& url) {
  GlobalInit();
  TRdapAnswer answer;
  TTransfer transfer{&answer, MaxAnswerSize};
  if (!curl_) curl_ = curl_easy_init();
  if (!multi_) multi_ = curl_multi_init();
  if (!curl_ || !multi_) throw ERdapError("The RDAP request cannot be made.");
  CURL* curl = static_cast<CURL*>(curl_);
  CURLM* multi = static_cast<CURLM*>(multi_);
  // The handles stay for the next request, and with them its connection.
  curl_easy_reset(curl);
  struct TCleanup {
    CURL* curl;
    CURLM* multi;
    curl_slist* headers = nullptr;
    ~TCleanup() {
      curl_multi_remove_handle(multi, curl);
      curl_slist_free_all(headers);
    }
  } cleanup{curl, multi};
  cleanup.headers = curl_slist_append(nullptr, "Accept: application/rdap+json, application/json");
  char error[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, cleanup.headers);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "Corvina RDAP");
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, MaxRedirects);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!CaFile.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, CaFile.c_str());
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, ConnectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, TotalTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, ReadHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
  curl_multi_add_handle(multi, curl);

  // The transfer runs while the window has its turn every slice.
  for (int running = 1; running;) {
    if (curl_multi_perform(multi, &running) != CURLM_OK) break;
    if (!running) break;
    curl_multi_poll(multi, nullptr, 0, kAntiFreezeIdleTimeOut, nullptr);
    ProcessPendingMessages();
  }
  CURLcode result = CURLE_OK;
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi, &left))
    if (message->msg == CURLMSG_DONE) result = message->data.result;
  if (transfer.tooLong)
    throw ERdapError("RDAP answer too long: the server sent more than " +
                     std::to_string(MaxAnswerSize) + " bytes.");
  if (result != CURLE_OK)
    throw ERdapError(std::string("RDAP request failed: ") +
                     (error[0] ? error : curl_easy_strerror(result)));
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
  return answer;
}

std::vector<std::string> RenderRdapDomain(std::string_view text) {
  const json domain = DomainObject(text);
  std::vector<std::string> lines;
  if (const std::string name = Str(domain, "ldhName"); !name.empty())
    lines.push_back("Domain Name: " + name);
  if (const std::string name = Str(domain, "unicodeName"); !name.empty())
    lines.push_back("Unicode Name: " + name);
  if (const std::string handle = Str(domain, "handle"); !handle.empty())
    lines.push_back("Registry Domain ID: " + handle);
  for (const json& status : Array(domain, "status"))
    if (status.is_string()) lines.push_back("Domain Status: " + status.get<std::string>());
  RenderEvents(domain, lines);
  // The registrar first, then every other entity.
  for (const bool registrars : {true, false})
    for (const json& entity : Array(domain, "entities")) {
      const json& roles = Array(entity, "roles");
      const bool isRegistrar = std::find(roles.begin(), roles.end(), "registrar") != roles.end();
      if (isRegistrar == registrars) RenderEntity(entity, lines, 0);
    }
  lines.push_back("");
  for (const json& server : Array(domain, "nameservers"))
    if (const std::string name = Str(server, "ldhName"); !name.empty())
      lines.push_back("Name Server: " + name);
  if (domain.contains("secureDNS") && domain["secureDNS"].is_object()) {
    const json& dns = domain["secureDNS"];
    const auto signedIt = dns.find("delegationSigned");
    if (signedIt != dns.end() && signedIt->is_boolean())
      lines.push_back(std::string("DNSSEC: ") +
                      (signedIt->get<bool>() ? "signedDelegation" : "unsigned"));
  }
  if (const std::string port43 = Str(domain, "port43"); !port43.empty())
    lines.push_back("Port 43 Server: " + port43);
  RenderNotices(domain, "remarks", "Remark", lines);
  RenderNotices(domain, "notices", "Notice", lines);
  FlattenLineBreaks(lines);
  return lines;
}

std::vector<std::string> RdapRelatedLinks(std::string_view text) {
  const json domain = DomainObject(text);
  std::vector<std::string> links;
  for (const json& link : Array(domain, "links")) {
    const std::string href = Str(link, "href");
    if (Str(link, "rel") != "related" || href.empty()) continue;
    const std::string type = Str(link, "type");
    if (!type.empty() && type.find("rdap+json") == std::string::npos &&
        type.find("application/json") == std::string::npos)
      continue;
    if (std::find(links.begin(), links.end(), href) == links.end()) links.push_back(href);
  }
  return links;
}

std::string RdapStatusMessage(const TRdapAnswer& answer) {
  switch (answer.status) {
    case 404:
      return "RDAP: the domain is not registered there (404 Not Found).";
    case 429:
      return "RDAP: too many requests (429); the server asks to wait " +
             (answer.retryAfter.empty() ? std::string("a while") : answer.retryAfter + " seconds") +
             ".";
    default:
      return "RDAP answer " + std::to_string(answer.status) + ": the server gave no domain data.";
  }
}
