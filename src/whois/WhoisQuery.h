// One whois lookup without a window: the exchange with each server, the
// referrals, and the report they make.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "NetWhoisClient.h"
#include "utDateTime.h"
#include "utStringList.h"

// The most servers one lookup asks, the first one included.
inline constexpr size_t kMaxWhoisServersPerLookup = 16;

// The query text for a server: "-T dn " before a domain ending in ".de", then
// "domain " before it all for the default registry server and for the
// registry's second host name.
std::string ShapeWhoisQuery(std::string_view domain, std::string_view host);

// An answer without any CR LF gets CR LF for every LF, or, when it has no LF
// either, for every CR; an answer with a CR LF is left alone.
std::string NormaliseLineBreaks(std::string answer);

// Splits every entry that holds line breaks into its lines, in place.
void CleanStringListCRLFs(TStringList& list);

// The server named by a referral line: the text after the first ":" of a
// line that holds "Whois Server:", trimmed; false for any other line.
bool WhoisReferralServer(std::string_view line, std::string& server);

// The first report line: the header format (with "%s" for the domain in
// capitals and "%s" for the date and time in the "c" format).
std::string WhoisReportHeader(std::string_view headerFormat, std::string_view domain,
                              TDateTime when);

// appPathData + "Query/Whois/" + the cleaned domain + ".txt".
std::string WhoisReportFileName(const std::string& appPathData, std::string_view domain);

// Writes the report's lines, each with CR LF, replacing the file atomically.
void SaveWhoisReport(const std::string& fileName, const TStringList& report);

class TWhoisLookup {
 public:
  // Called before each exchange with the domain and the server about to be
  // asked, so that a window can show it.
  using TTryingHandler = std::function<void(std::string_view domain, std::string_view host)>;

  TWhoisLookup(TIdWhois& client, TTryingHandler onTrying = {})
      : client_(client), onTrying_(std::move(onTrying)) {}

  // One exchange with client.Host: appends "[" + host + "]" and the answer
  // (or CR LF + "- Failed: " + message) to the report, and the answer's lines
  // to the queue. A failure is never passed on.
  void WhoisAttachQuery(std::string_view domain, TStringList& list, TStringList& report);

  // A whole lookup starting at client.Host: the header line, an empty line,
  // then a block for every server asked, referrals followed in the order
  // they arrive; one line per entry. No server is asked twice, and a referral
  // past kMaxWhoisServersPerLookup servers becomes a failed block and ends
  // the lookup.
  TStringList Run(std::string_view domain, const std::string& header);

 private:
  TIdWhois& client_;
  TTryingHandler onTrying_;
};
