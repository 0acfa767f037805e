// RDAP, the registries' JSON service beside port-43 whois (RFC 9082,
// 9083): the bootstrap file that names each top-level domain's service
// (RFC 9224), the HTTPS client, and the answer written as whois-style lines,
// so that reports, the cache, the History page and the filter take it as
// they take a port-43 answer.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The largest RDAP answer read, and the deepest nesting of its JSON.
inline constexpr size_t kMaxRdapAnswerSize = 4u << 20;
inline constexpr int kMaxRdapDepth = 64;
// The largest bootstrap file read.
inline constexpr size_t kMaxRdapBootstrapSize = 4u << 20;

class ERdapError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The RDAP bootstrap file for domains: services, each a list of domain
// endings and a list of base URLs.
class TRdapBootstrap {
 public:
  // Reads the bootstrap file's text; raises ERdapError when it is no
  // bootstrap file.
  void Load(std::string_view json);
  // Reads "rdap-dns.json" from the program folder when it is there (a
  // missing file leaves no services).
  void LoadFromFolder(const std::string& programFolder);
  bool Empty() const { return services_.empty(); }
  // The base URL (ending in "/") of the service for a domain in ASCII form:
  // the longest ending of whole labels that a service lists, letter case
  // not counting; the first HTTPS URL of that service. Empty when none.
  std::string ServiceFor(std::string_view domain) const;

 private:
  struct TService {
    std::vector<std::string> endings;  // lower case
    std::string url;
  };
  std::vector<TService> services_;
};

struct TRdapAnswer {
  long status = 0;
  std::string body;
  // The Retry-After header of a 429 answer.
  std::string retryAfter;
};

// One RDAP request over HTTPS (or HTTP where a service names it) with
// libcurl: certificate checks on, the system's CA store (and CaFile when
// set), bounded in size, time and redirects. While it waits, the window's
// messages are processed every 250 ms.
class TRdapClient {
 public:
  TRdapClient() = default;
  ~TRdapClient();
  TRdapClient(const TRdapClient&) = delete;
  TRdapClient& operator=(const TRdapClient&) = delete;

  // A CA bundle trusted besides the system's (tests use one of their own).
  std::string CaFile;
  size_t MaxAnswerSize = kMaxRdapAnswerSize;
  long ConnectTimeoutMs = 10000;
  long TotalTimeoutMs = 30000;
  long MaxRedirects = 5;

  // Raises ERdapError for a request that gets no answer. Connections are
  // kept for the next request (a registrar's record on the same server).
  TRdapAnswer Get(const std::string& url);

 private:
  void* curl_ = nullptr;   // CURL*
  void* multi_ = nullptr;  // CURLM*
};

// The lines of an RDAP domain answer, whois style: "Domain Name: ...",
// "Registry Domain ID: ...", "Domain Status: ...", the registrar, the
// entities with their vCard names, e-mail addresses, phones and addresses,
// the events as dates ("Creation Date: ...", "Updated Date: ..."), "Name
// Server: ..." lines, DNSSEC, then notices and remarks. Raises ERdapError
// for text that is no JSON, JSON nested deeper than kMaxRdapDepth, or
// JSON that is no RDAP domain object.
std::vector<std::string> RenderRdapDomain(std::string_view json);
// The RDAP records an answer points to with its "related" links: the
// registrar's record of the domain.
std::vector<std::string> RdapRelatedLinks(std::string_view json);
// An answer other than 200 as the message of a failed block.
std::string RdapStatusMessage(const TRdapAnswer& answer);
