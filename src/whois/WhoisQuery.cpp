#include "WhoisQuery.h"

#include <set>

#include "WhoisServerList.h"
#include "utFiles.h"
#include "utFormat.h"
#include "utStrings.h"

namespace {

void AppendFailure(TStringList& report, std::string_view message) {
  report.Add("\r\n- Failed: " + std::string(message));
}

}  // namespace

std::string ShapeWhoisQuery(std::string_view domain, std::string_view host) {
  std::string query(domain);
  if (EndsWith(query, ".de")) query = "-T dn " + query;
  if (host == kDefaultWhoisServer) query = "domain " + query;
  if (host == kSecondRegistryHost) query = "domain " + query;
  return query;
}

std::string NormaliseLineBreaks(std::string answer) {
  if (answer.find("\r\n") != std::string::npos) return answer;
  if (answer.find('\n') != std::string::npos) return ReplaceAll(answer, "\n", "\r\n");
  if (answer.find('\r') != std::string::npos) return ReplaceAll(answer, "\r", "\r\n");
  return answer;
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
  if (line.find("Whois Server:") == std::string_view::npos) return false;
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

void SaveWhoisReport(const std::string& fileName, const TStringList& report) {
  WriteFileAtomic(fileName, report.Text());
}

void TWhoisLookup::WhoisAttachQuery(std::string_view domain, TStringList& list,
                                    TStringList& report) {
  const std::string host = client_.Host;
  if (onTrying_) onTrying_(domain, host);
  report.Add("[" + host + "]");
  try {
    std::string answer = NormaliseLineBreaks(client_.WhoIs(ShapeWhoisQuery(domain, host)));
    std::vector<std::string> lines = SplitLines(answer);
    report.Add(std::move(answer));
    for (auto& line : lines) list.Add(std::move(line));
  } catch (const std::exception& e) {
    AppendFailure(report, e.what());
  }
}

TStringList TWhoisLookup::Run(std::string_view domain, const std::string& header) {
  TStringList report;
  report.Add(header);
  report.Add("");

  // Host names are compared as DNS compares them, without regard to case.
  std::set<std::string> asked{LowerCaseAZ(client_.Host)};
  TStringList queue;
  WhoisAttachQuery(domain, queue, report);

  // The queue is read front to back; lines already examined are emptied
  // instead of removed, so that a long answer costs no repeated copying.
  for (size_t next = 0; next < queue.Count(); ++next) {
    std::string server;
    const bool referral = WhoisReferralServer(queue[next], server);
    queue[next].clear();
    if (!referral || !asked.insert(LowerCaseAZ(server)).second) continue;
    if (asked.size() > kMaxWhoisServersPerLookup) {
      report.Add("[" + server + "]");
      AppendFailure(report, Format("Referral not followed: a lookup asks no more than %d servers.",
                                   {static_cast<int>(kMaxWhoisServersPerLookup)}));
      break;
    }
    client_.Host = server;
    WhoisAttachQuery(domain, queue, report);
  }

  CleanStringListCRLFs(report);
  return report;
}
