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

  // A whole lookup starting at client.Host, returning the report text: the
  // header line, an empty line, then a block for every server asked,
  // referrals followed in the order they arrive. No server is asked twice; a
  // referral past kMaxWhoisServersPerLookup servers, or an answer that takes
  // the report past kMaxWhoisReportSize, becomes a failed block and ends the
  // lookup.
  std::string Run(std::string_view domain, const std::string& header);

 private:
  // Queues the servers named by the referral lines of a finished block.
  void QueueReferrals(std::string_view block, std::deque<std::string>& list);

  TIdWhois& client_;
  TTryingHandler onTrying_;
  // Every server asked or queued in this lookup, in lower case.
  std::set<std::string> known_;
  // Set when the report reached its bound: nothing more is asked.
  bool full_ = false;
};
