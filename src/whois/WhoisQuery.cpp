#include "WhoisQuery.h"

#include <cstring>
#include <stdexcept>

#include "NetErrors.h"
#include "WhoisIdn.h"
#include "WhoisServerList.h"
#include "utFiles.h"
#include "utFormat.h"
#include "utStrings.h"

namespace {

// What makes a line a referral, compared without regard to letter case.
constexpr std::string_view kReferralMark = "whois server:";

// An answer that would take the report past its bound.
class EWhoisReportFull : public std::runtime_error {
 public:
  EWhoisReportFull()
      : std::runtime_error(Format("Report too long: a lookup keeps no more than %d bytes.",
                                  {static_cast<int>(kMaxWhoisReportSize)})) {}
};

void AppendLines(std::string& report, std::string_view text) {
  TCrLfLineWriter writer(report);
  writer.Write(text);
  // An empty text is one empty line.
  if (!writer.Finish()) report += "\r\n";
}

void AppendFailure(std::string& report, std::string_view message) {
  AppendLines(report, "\r\n- Failed: " + std::string(message));
}

// The position of the referral mark in a line, or npos.
size_t FindReferralMark(std::string_view line) {
  const size_t m = kReferralMark.size();
  for (size_t colon = line.find(':'); colon != std::string_view::npos;
       colon = line.find(':', colon + 1))
    if (colon + 1 >= m && SameText(line.substr(colon + 1 - m, m), kReferralMark))
      return colon + 1 - m;
  return std::string_view::npos;
}

}  // namespace

std::string ShapeWhoisQuery(std::string_view domain, std::string_view host) {
  std::string query(domain);
  if (EndsWith(query, ".de")) query = "-T dn " + query;
  if (host == kDefaultWhoisServer) query = "domain " + query;
  if (host == kSecondRegistryHost) query = "domain " + query;
  return query;
}

void CleanStringListCRLFs(TStringList& list) {
  std::vector<std::string> lines;
  lines.reserve(list.Count());
  for (size_t i = 0; i < list.Count(); ++i) {
    std::string& entry = list[i];
    if (entry.find_first_of("\r\n") == std::string::npos) {
      lines.push_back(std::move(entry));
      continue;
    }
    std::vector<std::string> split = SplitLines(entry);
    lines.insert(lines.end(), std::make_move_iterator(split.begin()),
                 std::make_move_iterator(split.end()));
  }
  list = TStringList(std::move(lines));
}

bool WhoisReferralServer(std::string_view line, std::string& server) {
  if (FindReferralMark(line) == std::string_view::npos) return false;
  server = Trim(line.substr(line.find(':') + 1));
  return true;
}

std::string WhoisReportHeader(std::string_view headerFormat, std::string_view domain,
                              TDateTime when) {
  return Format(headerFormat, {UpperCaseAZ(domain), DateTimeToStr(when)});
}

std::string WhoisReportFileName(const std::string& appPathData, std::string_view domain) {
  return appPathData + "Query/Whois/" + MakeCleanFilename(domain) + ".txt";
}

void SaveWhoisReport(const std::string& fileName, const std::string& reportText) {
  WriteFileAtomic(fileName, reportText);
}

void SaveWhoisReport(const std::string& fileName, const TStringList& report) {
  SaveWhoisReport(fileName, report.Text());
}

void TWhoisLookup::QueueReferrals(std::string_view block, std::deque<std::string>& list) {
  // Lines in the report end with CR LF; only lines with a ":" can refer.
  size_t start = 0;
  while (start < block.size()) {
    const size_t end = block.find("\r\n", start);
    const std::string_view line = block.substr(start, end - start);
    start = end + 2;
    std::string server;
    if (!WhoisReferralServer(line, server)) continue;
    // Past the bound nothing more is asked, so one name beyond it is all the
    // queue needs to hold.
    if (known_.size() > kMaxWhoisServersPerLookup) return;
    if (known_.insert(LowerCaseAZ(server)).second) list.push_back(std::move(server));
  }
}

void TWhoisLookup::WhoisAttachQuery(std::string_view domain, std::deque<std::string>& list,
                                    std::string& report) {
  const std::string host = client_.Host;
  if (onTrying_) {
    onTrying_(typed_.empty() ? domain : std::string_view(typed_), host);
    // A lookup that ran while the window had its turn set its own server.
    client_.Host = host;
  }
  AppendLines(report, "[" + host + "]");
  const size_t blockStart = report.size();
  unreachable_ = false;
  try {
    TCrLfLineWriter writer(report);
    client_.WhoIs(ShapeWhoisQuery(domain, host), [&](std::string_view piece) {
      writer.Write(piece);
      if (report.size() > kMaxWhoisReportSize) throw EWhoisReportFull();
    });
    if (!writer.Finish()) report += "\r\n";
    if (report.size() > kMaxWhoisReportSize) throw EWhoisReportFull();
  } catch (const std::exception& e) {
    // What a failed exchange received is dropped.
    report.resize(blockStart);
    if (dynamic_cast<const EWhoisReportFull*>(&e)) full_ = true;
    // A server that could not be reached at all (not one that broke off).
    const auto* socket = dynamic_cast<const EIdSocketError*>(&e);
    unreachable_ = dynamic_cast<const EIdConnectTimeout*>(&e) ||
                   (socket && socket->LastError() != kSocketErrorConnectionReset);
    AppendFailure(report, e.what());
    return;
  }
  QueueReferrals(std::string_view(report).substr(blockStart), list);
}

void TWhoisLookup::SetRdap(const TRdapBootstrap* bootstrap, TRdapClient* client) {
  rdapBootstrap_ = bootstrap;
  rdapClient_ = client;
}

bool TWhoisLookup::StartReport(std::string_view domain, const std::string& header,
                               std::string& report, std::string& ascii) {
  typed_ = std::string(domain);
  AppendLines(report, header);
  AppendLines(report, "");
  known_ = {LowerCaseAZ(client_.Host)};
  full_ = false;
  asked_ = 0;
  std::string error;
  if (WhoisDomainToAscii(typed_, ascii, error)) return true;
  AppendLines(report, "[" + client_.Host + "]");
  AppendFailure(report, error);
  return false;
}

std::string TWhoisLookup::RdapServiceFor(const std::string& ascii) const {
  return rdapBootstrap_ && rdapClient_ ? rdapBootstrap_->ServiceFor(ascii) : std::string();
}

bool TWhoisLookup::MayAsk(const std::string& server, std::string& report) {
  if (++asked_ <= kMaxWhoisServersPerLookup) return true;
  AppendLines(report, "[" + server + "]");
  AppendFailure(report, Format("Referral not followed: a lookup asks no more than %d servers.",
                               {static_cast<int>(kMaxWhoisServersPerLookup)}));
  return false;
}

std::string TWhoisLookup::Run(std::string_view domainText, const std::string& header) {
  // The lookup's own copy: the caller's text may change while it waits.
  std::string report, ascii;
  if (!StartReport(domainText, header, report, ascii)) return report;
  const std::string service = RdapServiceFor(ascii);
  if (client_.Host == kNoWhoisServer) {
    if (!service.empty()) {
      RdapLookup(ascii, service, report);
    } else {
      AppendLines(report, "[" + client_.Host + "]");
      AppendFailure(report,
                    "No port-43 whois server and no RDAP service is known for \"" + ascii + "\".");
    }
    return report;
  }
  std::deque<std::string> queue;
  ++asked_;
  WhoisAttachQuery(ascii, queue, report);
  // A registry that no longer runs port 43: its RDAP service instead.
  if (unreachable_ && !service.empty()) {
    RdapLookup(ascii, service, report);
    return report;
  }
  while (!queue.empty() && !full_) {
    std::string server = std::move(queue.front());
    queue.pop_front();
    if (!MayAsk(server, report)) break;
    client_.Host = server;
    WhoisAttachQuery(ascii, queue, report);
  }
  return report;
}

std::string TWhoisLookup::RunRdap(std::string_view domainText, const std::string& header) {
  std::string report, ascii;
  if (!StartReport(domainText, header, report, ascii)) return report;
  const std::string service = RdapServiceFor(ascii);
  if (service.empty()) {
    AppendLines(report, "[RDAP]");
    AppendFailure(report, "No RDAP service is known for \"" + ascii + "\".");
    return report;
  }
  RdapLookup(ascii, service, report);
  return report;
}

void TWhoisLookup::RdapLookup(const std::string& ascii, const std::string& service,
                              std::string& report) {
  std::deque<std::string> queue{service + "domain/" + ascii};
  known_.insert(LowerCaseAZ(queue.front()));
  while (!queue.empty() && !full_) {
    const std::string url = std::move(queue.front());
    queue.pop_front();
    if (!MayAsk(url, report)) break;
    RdapAttachQuery(url, queue, report);
  }
}

void TWhoisLookup::RdapAttachQuery(const std::string& url, std::deque<std::string>& list,
                                   std::string& report) {
  if (onTrying_) onTrying_(typed_, url);
  AppendLines(report, "[" + url + "]");
  const size_t blockStart = report.size();
  try {
    const TRdapAnswer answer = rdapClient_->Get(url);
    if (answer.status != 200) throw ERdapError(RdapStatusMessage(answer));
    for (const std::string& line : RenderRdapDomain(answer.body)) {
      AppendLines(report, line);
      if (report.size() > kMaxWhoisReportSize) throw EWhoisReportFull();
    }
    // The registrar's record, followed as a referral is.
    for (const std::string& link : RdapRelatedLinks(answer.body)) {
      if (known_.size() > kMaxWhoisServersPerLookup) break;
      if (known_.insert(LowerCaseAZ(link)).second) list.push_back(link);
    }
  } catch (const std::exception& e) {
    report.resize(blockStart);
    if (dynamic_cast<const EWhoisReportFull*>(&e)) full_ = true;
    AppendFailure(report, e.what());
  }
}
