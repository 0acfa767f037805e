#include <gtest/gtest.h>

#include <clocale>
#include <memory>

#include "LoopbackServer.h"
#include "TempFolder.h"
#include "WhoisQuery.h"
#include "WhoisServerList.h"
#include "utFiles.h"
#include "utStrings.h"

namespace {

// Servers on 127.0.0.1, 127.0.0.2, ... that share one port, so that a
// referral naming only a host reaches the right one.
class TServerFarm {
 public:
  void Add(TLoopbackServer::THandler handler) {
    const std::string address = "127.0.0." + std::to_string(servers_.size() + 1);
    servers_.push_back(std::make_unique<TLoopbackServer>(std::move(handler), address, port_));
    port_ = servers_.front()->Port();
  }
  int Port() const { return port_; }
  TLoopbackServer& operator[](size_t i) { return *servers_.at(i); }

 private:
  int port_ = 0;
  std::vector<std::unique_ptr<TLoopbackServer>> servers_;
};

// The lines of a report text.
TStringList Lines(const std::string& report) { return TStringList(SplitLines(report)); }

TStringList Lookup(TServerFarm& farm, const std::string& domain, int readTimeout = 10000) {
  TIdWhois client;
  client.Host = "127.0.0.1";
  client.Port = farm.Port();
  client.ReadTimeout = readTimeout;
  return Lines(TWhoisLookup(client).Run(domain, "HEADER"));
}

std::vector<std::string> L(std::initializer_list<std::string> lines) { return lines; }

}  // namespace

TEST(WhoisQueryShaping, PrefixesForDeDomainsAndRegistryServers) {
  struct Case {
    std::string domain, host, query;
  } cases[] = {
      {"example.de", "whois.denic.de", "-T dn example.de"},
      {"EXAMPLE.DE", "whois.denic.de", "EXAMPLE.DE"},
      {"example.com", kDefaultWhoisServer, "domain example.com"},
      {"example.de", kDefaultWhoisServer, "domain -T dn example.de"},
      {"example.com", kSecondRegistryHost, "domain example.com"},
      {"example.com", "WHOIS.VERISIGN-GRS.COM", "example.com"},
      {"de", "x", "de"},
      {"", kDefaultWhoisServer, "domain "},
  };
  for (const auto& c : cases) EXPECT_EQ(ShapeWhoisQuery(c.domain, c.host), c.query) << c.domain;
}

TEST(WhoisLineBreaks, EntriesWithLineBreaksBecomeLines) {
  TStringList list({"header", "a\r\nb\r\n", "", "\r\n- Failed: x\r\ny", "c\rd"});
  CleanStringListCRLFs(list);
  EXPECT_EQ(list.Lines(), L({"header", "a", "b", "", "", "- Failed: x", "y", "c", "d"}));
}

TEST(WhoisReferral, LinesThatNameAServer) {
  std::string server;
  EXPECT_TRUE(WhoisReferralServer("   Whois Server: whois.example.net \t", server));
  EXPECT_EQ(server, "whois.example.net");
  EXPECT_TRUE(WhoisReferralServer("Registrar Whois Server:  r.example", server));
  EXPECT_EQ(server, "r.example");
  EXPECT_TRUE(WhoisReferralServer("Note: Whois Server: x", server));
  EXPECT_EQ(server, "Whois Server: x");  // everything after the first ":"
  EXPECT_TRUE(WhoisReferralServer("Whois Server:", server));
  EXPECT_EQ(server, "");
  // The .com registry writes "Registrar WHOIS Server:"; letter case does not
  // matter.
  EXPECT_TRUE(WhoisReferralServer("Registrar WHOIS Server: whois.registrar.example", server));
  EXPECT_EQ(server, "whois.registrar.example");
  EXPECT_TRUE(WhoisReferralServer("whois server:x", server));
  EXPECT_EQ(server, "x");
  EXPECT_FALSE(WhoisReferralServer("Whois Server x", server));
  EXPECT_FALSE(WhoisReferralServer("WhoisServer: x", server));
}

TEST(WhoisLookup, LineEndsOfEveryKindGiveTheSameReport) {
  for (const std::string answer : {"Domain: x\r\n\r\nStatus: ok\r\n", "Domain: x\n\nStatus: ok\n",
                                   "Domain: x\r\rStatus: ok\r", "Domain: x\r\n\r\nStatus: ok"}) {
    TServerFarm farm;
    farm.Add(TLoopbackServer::Answer(answer));
    EXPECT_EQ(Lookup(farm, "x").Lines(),
              L({"HEADER", "", "[127.0.0.1]", "Domain: x", "", "Status: ok"}));
  }
}

TEST(WhoisLookup, NulAndEightBitBytesAreKept) {
  TServerFarm farm;
  static const char kLine[] = "Owner: M\xfcller \0 end";
  const std::string line(kLine, sizeof kLine - 1);
  farm.Add(TLoopbackServer::Answer(line + "\n"));
  EXPECT_EQ(Lookup(farm, "x").Lines(), L({"HEADER", "", "[127.0.0.1]", line}));
}

TEST(WhoisLookup, AnEmptyAnswerGivesOneEmptyLine) {
  TServerFarm farm;
  farm.Add(TLoopbackServer::CloseAtOnce());
  EXPECT_EQ(Lookup(farm, "x").Lines(), L({"HEADER", "", "[127.0.0.1]", ""}));
}

TEST(WhoisLookup, ReferralsAreFollowedInTheOrderTheyArrive) {
  TServerFarm farm;
  farm.Add(TLoopbackServer::Answer("first\n   Whois Server: 127.0.0.2\nWhois Server: 127.0.0.3\n"));
  farm.Add(TLoopbackServer::Answer("second\nWhois Server: 127.0.0.4\n"));
  farm.Add(TLoopbackServer::Answer("third\n"));
  farm.Add(TLoopbackServer::Answer("fourth\n"));
  EXPECT_EQ(Lookup(farm, "example.de").Lines(),
            L({"HEADER", "", "[127.0.0.1]", "first", "   Whois Server: 127.0.0.2",
               "Whois Server: 127.0.0.3", "[127.0.0.2]", "second", "Whois Server: 127.0.0.4",
               "[127.0.0.3]", "third", "[127.0.0.4]", "fourth"}));
  // Every server got the query shaped for it.
  EXPECT_EQ(farm[1].Requests(), std::vector<std::string>{"-T dn example.de"});
}

TEST(WhoisLookup, NoServerIsAskedTwice) {
  TServerFarm farm;
  // The first server names itself (in other letters too) and the second,
  // which names the first again.
  farm.Add(TLoopbackServer::Answer("a\nWhois Server: 127.0.0.1\nWhois Server: 127.0.0.2\n"));
  farm.Add(TLoopbackServer::Answer("b\nWhois Server: 127.0.0.1\nWhois Server: 127.0.0.2\n"));
  const TStringList report = Lookup(farm, "x");
  EXPECT_EQ(report.Lines(), L({"HEADER", "", "[127.0.0.1]", "a", "Whois Server: 127.0.0.1",
                               "Whois Server: 127.0.0.2", "[127.0.0.2]", "b",
                               "Whois Server: 127.0.0.1", "Whois Server: 127.0.0.2"}));
  EXPECT_EQ(farm[0].Requests().size(), 1u);
  EXPECT_EQ(farm[1].Requests().size(), 1u);
}

TEST(WhoisLookup, AChainLongerThanTheLimitEndsInAFailedBlock) {
  TServerFarm farm;
  for (int i = 1; i <= 20; ++i)
    farm.Add(TLoopbackServer::Answer("Whois Server: 127.0.0." + std::to_string(i + 1) + "\n"));
  const TStringList report = Lookup(farm, "x");
  std::vector<std::string> blocks;
  for (const auto& line : report.Lines())
    if (!line.empty() && line[0] == '[') blocks.push_back(line);
  ASSERT_EQ(blocks.size(), kMaxWhoisServersPerLookup + 1);
  EXPECT_EQ(blocks.back(), "[127.0.0.17]");
  const size_t n = report.Count();
  EXPECT_EQ(report[n - 2], "");
  EXPECT_EQ(report[n - 1],
            "- Failed: Referral not followed: a lookup asks no more than 16 servers.");
  EXPECT_TRUE(farm[16].Requests().empty());
}

TEST(WhoisLookup, AFirstServerThatCannotBeReachedGivesOnlyItsFailedBlock) {
  TIdWhois client;
  client.Host = "127.0.0.1";
  client.Port = UnusedLoopbackPort();
  EXPECT_EQ(Lines(TWhoisLookup(client).Run("x", "HEADER")).Lines(),
            L({"HEADER", "", "[127.0.0.1]", "", "- Failed: Socket Error # 10061",
               "Connection refused."}));
}

TEST(WhoisLookup, FailedReferralsDoNotEndTheLookup) {
  TServerFarm farm;
  farm.Add(TLoopbackServer::Answer(
      "Whois Server: no-such-host.invalid\nWhois Server:\nWhois Server: 127.0.0.2\n"
      "Whois Server: 127.0.0.3\n"));
  farm.Add(TLoopbackServer::Stall(5000));
  farm.Add(TLoopbackServer::Answer("ok\n"));
  EXPECT_EQ(Lookup(farm, "x", 300).Lines(), L({"HEADER",
                                               "",
                                               "[127.0.0.1]",
                                               "Whois Server: no-such-host.invalid",
                                               "Whois Server:",
                                               "Whois Server: 127.0.0.2",
                                               "Whois Server: 127.0.0.3",
                                               "[no-such-host.invalid]",
                                               "",
                                               "- Failed: Socket Error # 11001",
                                               "Host not found.",
                                               "[]",
                                               "",
                                               "- Failed: Socket Error # 11001",
                                               "Host not found.",
                                               "[127.0.0.2]",
                                               "",
                                               "- Failed: Read Timeout",
                                               "[127.0.0.3]",
                                               "ok"}));
}

TEST(WhoisLookup, AnAnswerThatDoesNotEndIsAFailedBlock) {
  TServerFarm farm;
  farm.Add(TLoopbackServer::Stream());
  TIdWhois client;
  client.Host = "127.0.0.1";
  client.Port = farm.Port();
  client.MaxAnswerSize = 256 * 1024;
  EXPECT_EQ(Lines(TWhoisLookup(client).Run("x", "H")).Lines(),
            L({"H", "", "[127.0.0.1]", "",
               "- Failed: Answer too long: the server sent more than 262144 bytes."}));
}

TEST(WhoisLookup, TheTryingHandlerSeesEveryServer) {
  TServerFarm farm;
  farm.Add(TLoopbackServer::Answer("Whois Server: 127.0.0.2\n"));
  farm.Add(TLoopbackServer::Answer("done\n"));
  TIdWhois client;
  client.Host = "127.0.0.1";
  client.Port = farm.Port();
  std::vector<std::string> seen;
  TWhoisLookup(client, [&](std::string_view d, std::string_view h) {
    seen.push_back(std::string(d) + "@" + std::string(h));
  }).Run("example.net", "H");
  EXPECT_EQ(seen, (std::vector<std::string>{"example.net@127.0.0.1", "example.net@127.0.0.2"}));
  EXPECT_EQ(client.Host, "127.0.0.2");
}

TEST(WhoisReport, HeaderAndFileNameAndFileBytes) {
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(WhoisReportHeader("Corvina WhoIs query for %s on %s", "Example.de",
                              EncodeDateTime({2026, 12, 10, 14, 3, 9})),
            "Corvina WhoIs query for EXAMPLE.DE on 12/10/26 14:03:09");
  EXPECT_EQ(WhoisReportFileName("/data/", "a*b?.de/../x"), "/data/Query/Whois/a_b_.de_.._x.txt");
  TTempFolder dir;
  ForceDirectories(dir.Path() + "Query/Whois");
  const std::string file = WhoisReportFileName(dir.Path(), "x.de");
  SaveWhoisReport(file, TStringList({"H", "", "[s]", std::string("\xe4\0z", 3)}));
  EXPECT_EQ(ReadFileBytes(file), std::string("H\r\n\r\n[s]\r\n\xe4\0z\r\n", 15));
}

TEST(WhoisLookup, AReportStopsAtItsBoundWithAFailedBlock) {
  // Servers that each send 16 MiB of empty lines and refer on: every line
  // doubles in the report (LF becomes CR LF), so the third answer takes the
  // report past its bound, and the fourth server is never asked.
  TServerFarm farm;
  for (int i = 1; i <= 4; ++i) {
    const std::string refer = "Whois Server: 127.0.0." + std::to_string(i + 1) + "\n";
    farm.Add(TLoopbackServer::Answer(refer + std::string(kMaxWhoisAnswerSize - refer.size(), '\n')));
  }
  TIdWhois client;
  client.Host = "127.0.0.1";
  client.Port = farm.Port();
  const std::string report = TWhoisLookup(client).Run("x", "H");
  EXPECT_LE(report.size(), kMaxWhoisReportSize + 100);
  const std::string tail = "[127.0.0.3]\r\n\r\n- Failed: Report too long: a lookup keeps no more "
                           "than 67108864 bytes.\r\n";
  ASSERT_GE(report.size(), tail.size());
  EXPECT_EQ(report.substr(report.size() - tail.size()), tail);
  EXPECT_TRUE(farm[3].Requests().empty());
}
