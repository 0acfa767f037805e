// One whois lookup without a window: the exchange with each server, the
// referrals, and the report they make.
//
// The report is kept as the text of the report file: every line followed by
// CR LF. A lookup holds it once, and nothing per line, so its memory stays a
// small multiple of what the servers sent, however many lines that is.
#pragma once

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <string_view>

#include "NetWhoisClient.h"
#include "WhoisRdap.h"
#include "utDateTime.h"
#include "utStringList.h"

// The most servers one lookup asks, the first one included.
inline constexpr size_t kMaxWhoisServersPerLookup = 16;
// The largest report one lookup keeps, in bytes of report text.
inline constexpr size_t kMaxWhoisReportSize = 64u << 20;

// The query text for a server: "-T dn " before a domain ending in ".de", then
// "domain " before it all for the default registry server and for the
// registry's second host name.
std::string ShapeWhoisQuery(std::string_view domain, std::string_view host);

// Splits every entry that holds line breaks into its lines, in place.
void CleanStringListCRLFs(TStringList& list);

// The server named by a referral line: the text after the first ":" of a
// line that holds "Whois Server:" in any letter case, trimmed; false for any
// other line.
bool WhoisReferralServer(std::string_view line, std::string& server);

// The first report line: the header format (with "%s" for the domain in
// capitals and "%s" for the date and time in the "c" format).
std::string WhoisReportHeader(std::string_view headerFormat, std::string_view domain,
                              TDateTime when);

// appPathData + "Query/Whois/" + the cleaned domain + ".txt".
std::string WhoisReportFileName(const std::string& appPathData, std::string_view domain);

// Writes a report (its text, or its lines each with CR LF), replacing the
// file atomically.
void SaveWhoisReport(const std::string& fileName, const std::string& reportText);
void SaveWhoisReport(const std::string& fileName, const TStringList& report);

class TWhoisLookup {
 public:
  // Called before each exchange with the domain and the server about to be
  // asked, so that a window can show it.
  using TTryingHandler = std::function<void(std::string_view domain, std::string_view host)>;

  TWhoisLookup(TIdWhois& client, TTryingHandler onTrying = {})
      : client_(client), onTrying_(std::move(onTrying)) {}

  // One exchange with client.Host: appends "[" + host + "]" and the answer's
  // lines (or an empty line and "- Failed: " + message) to the report, and
  // the servers its referral lines name, each once per lookup, to the queue.
  // A failure is never passed on.
  void WhoisAttachQuery(std::string_view domain, std::deque<std::string>& list,
                        std::string& report);

  // The RDAP service table and client the lookup may use (none by default).
  void SetRdap(const TRdapBootstrap* bootstrap, TRdapClient* client);

  // A whole lookup starting at client.Host, returning the report text: the
  // header line, an empty line, then a block for every server asked,
  // referrals followed in the order they arrive. No server is asked twice; a
  // referral past kMaxWhoisServersPerLookup servers, or an answer that takes
  // the report past kMaxWhoisReportSize, becomes a failed block and ends the
  // lookup. The domain is asked in its ASCII form (WhoisDomainToAscii). When
  // client.Host is kNoWhoisServer, or the first server cannot be reached,
  // and the bootstrap names an RDAP service for the domain, the lookup asks
  // RDAP (RunRdap's blocks).
  std::string Run(std::string_view domain, const std::string& header);
  // A lookup over RDAP only: a block "[" + URL + "]" for the registry's
  // answer and one for each registrar record it links to, under the same
  // bounds; answers other than 200 become failed blocks.
  std::string RunRdap(std::string_view domain, const std::string& header);

 private:
  // The header and the domain's ASCII form; false (the report holding the
  // failed block) when it has none.
  bool StartReport(std::string_view domain, const std::string& header, std::string& report,
                   std::string& ascii);
  // The RDAP service for a domain in ASCII form; empty without RDAP.
  std::string RdapServiceFor(const std::string& ascii) const;
  // The RDAP blocks for a domain from a service's base URL.
  void RdapLookup(const std::string& ascii, const std::string& service, std::string& report);
  void RdapAttachQuery(const std::string& url, std::deque<std::string>& list, std::string& report);
  // Whether one more server may be asked; appends the failed block for the
  // one that may not.
  bool MayAsk(const std::string& server, std::string& report);
  // Queues the servers named by the referral lines of a finished block.
  void QueueReferrals(std::string_view block, std::deque<std::string>& list);

  TIdWhois& client_;
  TTryingHandler onTrying_;
  // Every server asked or queued in this lookup, in lower case.
  std::set<std::string> known_;
  // Set when the report reached its bound: nothing more is asked.
  bool full_ = false;
  // The servers asked so far in this lookup.
  size_t asked_ = 0;
  // The domain as the user typed it, for onTrying_.
  std::string typed_;
  // Set when the last port-43 exchange could not reach its server.
  bool unreachable_ = false;
  const TRdapBootstrap* rdapBootstrap_ = nullptr;
  TRdapClient* rdapClient_ = nullptr;
};
