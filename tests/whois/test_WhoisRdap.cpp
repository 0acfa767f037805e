#include <gtest/gtest.h>

#include <algorithm>

#include "ErrorOf.h"
#include "LoopbackServer.h"
#include "NginxServer.h"
#include "TempFolder.h"
#include "WhoisCache.h"
#include "WhoisIdn.h"
#include "WhoisQuery.h"
#include "WhoisRdap.h"
#include "WhoisServerList.h"
#include "utStrings.h"

namespace {

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A registry's answer for example.test, pointing at its registrar's.
std::string RegistryAnswer(const std::string& registrarURL) {
  return R"({"objectClassName":"domain","ldhName":"EXAMPLE.TEST","handle":"D1-TEST",
    "status":["client transfer prohibited","active"],
    "events":[{"eventAction":"registration","eventDate":"2001-02-03T04:05:06Z"},
              {"eventAction":"expiration","eventDate":"2031-02-03T04:05:06Z"},
              {"eventAction":"last changed","eventDate":"2025-01-01T00:00:00Z"}],
    "entities":[{"objectClassName":"entity","roles":["registrar"],"handle":"42",
      "publicIds":[{"type":"IANA Registrar ID","identifier":"42"}],
      "vcardArray":["vcard",[["version",{},"text","4.0"],["fn",{},"text","Example Registrar, Inc."]]],
      "entities":[{"roles":["abuse"],"vcardArray":["vcard",[["fn",{},"text","Abuse Desk"],
        ["email",{},"text","abuse@registrar.test"],["tel",{"type":"voice"},"uri","tel:+1.5555551234"]]]}]}],
    "nameservers":[{"objectClassName":"nameserver","ldhName":"NS1.REGISTRAR.TEST"},
                   {"objectClassName":"nameserver","ldhName":"NS2.REGISTRAR.TEST"}],
    "secureDNS":{"delegationSigned":false},
    "links":[{"rel":"self","href":"https://registry.test/domain/example.test","type":"application/rdap+json"},
             {"rel":"related","href":")" +
         registrarURL + R"(","type":"application/rdap+json"}],
    "notices":[{"title":"Terms of Use","description":["Line one\r\nbroken","Line two"]}]})";
}

const char* kRegistrarAnswer = R"({"objectClassName":"domain","ldhName":"example.test",
  "entities":[{"roles":["registrant"],"vcardArray":["vcard",[["fn",{},"text","Jane Owner"],
    ["org",{},"text","Owner Ltd"],["email",{},"text","owner@example.test"],
    ["adr",{},"text",["","","1 Main St","Springfield","","12345","US"]]]]},
    {"roles":["technical","administrative"],"vcardArray":["vcard",[["email",{},"text","tech@example.test"]]]}],
  "links":[{"rel":"related","href":"https://ignored.example/","type":"text/html"}]})";

}  // namespace

TEST(Rdap, AnswersAsWhoisLines) {
  const std::vector<std::string> lines = RenderRdapDomain(RegistryAnswer("https://r.test/x"));
  for (const char* line :
       {"Domain Name: EXAMPLE.TEST", "Registry Domain ID: D1-TEST",
        "Domain Status: client transfer prohibited", "Creation Date: 2001-02-03T04:05:06Z",
        "Registry Expiry Date: 2031-02-03T04:05:06Z", "Updated Date: 2025-01-01T00:00:00Z",
        "Registrar: Example Registrar, Inc.", "Registrar IANA ID: 42", "Entity: Registrar (42)",
        "Entity: Abuse", "Email: abuse@registrar.test", "Phone: +1.5555551234",
        "Name Server: NS1.REGISTRAR.TEST", "Name Server: NS2.REGISTRAR.TEST", "DNSSEC: unsigned",
        "Notice: Terms of Use", "Line one  broken", "Line two"})
    EXPECT_TRUE(Has(lines, line)) << line;
  EXPECT_EQ(lines.front(), "Domain Name: EXAMPLE.TEST");
  const std::vector<std::string> registrar = RenderRdapDomain(kRegistrarAnswer);
  for (const char* line :
       {"Entity: Registrant", "Name: Jane Owner", "Organization: Owner Ltd",
        "Email: owner@example.test", "Address: 1 Main St, Springfield, 12345, US",
        "Entity: Technical, Administrative", "Email: tech@example.test"})
    EXPECT_TRUE(Has(registrar, line)) << line;

  EXPECT_EQ(RdapRelatedLinks(RegistryAnswer("https://r.test/x")),
            std::vector<std::string>{"https://r.test/x"});
  EXPECT_TRUE(RdapRelatedLinks(kRegistrarAnswer).empty());

  const struct {
    const char* json;
    const char* error;
  } bad[] = {
      {"not json", "The RDAP answer is no JSON"},
      {"[1,2]", "The RDAP answer is no domain object."},
      {R"({"objectClassName":"entity"})", "The RDAP answer is no domain object."},
      {"", "The RDAP answer is no JSON"},
  };
  for (const auto& b : bad)
    EXPECT_EQ(ErrorOf([&] { RenderRdapDomain(b.json); }).find(b.error), 0u) << b.json;
  const std::string deep = std::string(100, '[') + std::string(100, ']');
  EXPECT_EQ(ErrorOf([&] { RenderRdapDomain(deep); }),
            "The RDAP answer is nested deeper than 64 levels.");
}

TEST(Rdap, TheBootstrapNamesEachEndingsService) {
  TRdapBootstrap bootstrap;
  bootstrap.Load(R"({"version":"1.0","services":[
    [["info","mobi"],["http://rdap.example/","https://rdap.example/info"]],
    [["co.uk"],["https://uk.example/rdap"]],
    [["uk"],["https://nominet.example/"]],
    ["broken"], [[1],[2]]]})");
  const struct {
    const char* domain;
    const char* service;
  } cases[] = {{"example.info", "https://rdap.example/info/"},
               {"EXAMPLE.MOBI.", "https://rdap.example/info/"},
               {"a.co.uk", "https://uk.example/rdap/"},
               {"a.org.uk", "https://nominet.example/"},
               {"examplemobi", ""},
               {"example.com", ""}};
  for (const auto& c : cases) EXPECT_EQ(bootstrap.ServiceFor(c.domain), c.service) << c.domain;
  EXPECT_EQ(ErrorOf([&] { bootstrap.Load("{}"); }), "The RDAP bootstrap file has no services.");

  // The file the program ships covers the generic endings that left port 43.
  TRdapBootstrap shipped;
  shipped.LoadFromFolder(std::string(CORVINA_DATA_DIR) + "/");
  for (const char* domain : {"example.info", "example.mobi", "example.pro", "example.jobs",
                             "example.travel", "example.com"})
    EXPECT_TRUE(StartsWith(shipped.ServiceFor(domain), "https://")) << domain;
}

TEST(Rdap, InternationalNamesInTheirASCIIForm) {
  const struct {
    const char* typed;
    const char* ascii;  // nullptr: cannot be written in ASCII
  } cases[] = {{"b\xc3\xbc"
                "cher.de",
                "xn--bcher-kva.de"},
               {"B\xc3\x9c"
                "CHER.DE",
                "xn--bcher-kva.de"},
               {"example.com", "example.com"},
               {"Example.COM", "Example.COM"},
               {"xn--bcher-kva.de", "xn--bcher-kva.de"},
               {"\xe2\x98\x83.com", nullptr},  // a snowman is no letter
               {"M\xfcller.de", nullptr}};     // not UTF-8
  for (const auto& c : cases) {
    std::string ascii, error;
    EXPECT_EQ(WhoisDomainToAscii(c.typed, ascii, error), c.ascii != nullptr) << c.typed;
    if (c.ascii) {
      EXPECT_EQ(ascii, c.ascii);
    } else {
      EXPECT_NE(error.find("cannot be written in ASCII"), std::string::npos) << error;
    }
  }
}

namespace {

// The RDAP server of the tests: nginx over HTTPS with a certificate of a
// test CA the client trusts, serving documents written for the tests.
class RdapServer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string why;
    if (!TNginxServer::Available(why) || !TTestCertificates::Available(why)) return;
    certificates = new TTestCertificates;
    nginx = new TNginxServer(R"(
      default_type application/rdap+json;
      location = /rdap/domain/limited.test { add_header Retry-After 30 always; return 429 '{}'; }
      location = /rdap/domain/loop.test { return 302 /rdap/domain/loop.test; }
    )",
                             certificates->ServerCertificate(), certificates->ServerKey());
    nginx->WriteDocument("rdap/domain/example.test",
                         RegistryAnswer(nginx->Url("/registrar/domain/example.test")));
    nginx->WriteDocument("registrar/domain/example.test", kRegistrarAnswer);
    // A registry whose "registrar" is the registry's own record: no URL twice.
    nginx->WriteDocument("rdap/domain/self.test",
                         RegistryAnswer(nginx->Url("/rdap/domain/self.test")));
    nginx->WriteDocument("rdap/domain/huge.test", std::string(5u << 20, ' '));
    nginx->WriteDocument("rdap/domain/broken.test", "{\"objectClassName\": ");
  }
  static void TearDownTestSuite() {
    delete nginx;
    delete certificates;
    nginx = nullptr;
    certificates = nullptr;
  }
  void SetUp() override {
    std::string why;
    if (!nginx && (!TNginxServer::Available(why) || !TTestCertificates::Available(why)))
      GTEST_SKIP() << why;
    client.CaFile = certificates->CaFile();
    bootstrap.Load(R"({"services":[[["test"],[")" + nginx->Url("/rdap/") + R"("]]]})");
  }
  // A lookup of the tests: port 43 at host, RDAP from the bootstrap.
  std::string Lookup(const std::string& domain, const std::string& host, bool rdapOnly = false,
                     int port = 43) {
    TIdWhois whois;
    whois.Host = host;
    whois.Port = port;
    TWhoisLookup lookup(whois);
    lookup.SetRdap(&bootstrap, &client);
    return rdapOnly ? lookup.RunRdap(domain, "header") : lookup.Run(domain, "header");
  }
  static TTestCertificates* certificates;
  static TNginxServer* nginx;
  TRdapClient client;
  TRdapBootstrap bootstrap;
};
TTestCertificates* RdapServer::certificates = nullptr;
TNginxServer* RdapServer::nginx = nullptr;

}  // namespace

TEST_F(RdapServer, ARegistryAndItsRegistrarInOneReport) {
  const std::string report = Lookup("example.test", kNoWhoisServer);
  const std::string registry = "[" + nginx->Url("/rdap/domain/example.test") + "]\r\n";
  const std::string registrar = "[" + nginx->Url("/registrar/domain/example.test") + "]\r\n";
  ASSERT_NE(report.find(registry), std::string::npos) << report;
  ASSERT_NE(report.find(registrar), std::string::npos) << report;
  EXPECT_LT(report.find(registry), report.find(registrar));
  EXPECT_NE(report.find("\r\nRegistrar: Example Registrar, Inc.\r\n"), std::string::npos);
  EXPECT_NE(report.find("\r\nEmail: owner@example.test\r\n"), std::string::npos);
  EXPECT_EQ(report.find("- Failed"), std::string::npos) << report;

  // The cache finds its e-mail addresses and name servers as in a port-43
  // report.
  TTempFolder folder;
  TWhoIsCache cache(folder.Path() + "lookups.sqlite");
  cache.AddDomainInfo("example.test", std::string_view(report), 46000.5);
  TSQLiteTable rows = cache.Database().GetTable("SELECT match FROM searches ORDER BY searchid");
  std::vector<std::string> matches;
  for (; !rows.Eof(); rows.Next()) matches.push_back(rows.FieldAsString(0));
  for (const char* match : {"abuse@registrar.test", "owner@example.test", "tech@example.test",
                            "NS1.REGISTRAR.TEST", "NS2.REGISTRAR.TEST"})
    EXPECT_TRUE(Has(matches, match)) << match;

  // The same record twice is asked once.
  const std::string self = Lookup("self.test", kNoWhoisServer, true);
  EXPECT_EQ(self.find("[" + nginx->Url("/rdap/domain/self.test") + "]"),
            self.rfind("[" + nginx->Url("/rdap/domain/self.test") + "]"));
}

TEST_F(RdapServer, AnswersThatAreNoDomainDataBecomeFailedBlocks) {
  const struct {
    const char* domain;
    const char* failure;
  } cases[] = {
      {"missing.test", "- Failed: RDAP: the domain is not registered there (404 Not Found)."},
      {"limited.test",
       "- Failed: RDAP: too many requests (429); the server asks to wait 30 seconds."},
      {"huge.test", "- Failed: RDAP answer too long: the server sent more than 4194304 bytes."},
      {"broken.test", "- Failed: The RDAP answer is no JSON"},
      {"loop.test", "- Failed: RDAP request failed: Maximum (5) redirects followed"},
  };
  for (const auto& c : cases) {
    const std::string report = Lookup(c.domain, kNoWhoisServer, true);
    EXPECT_NE(report.find(c.failure), std::string::npos) << c.domain << ":\n" << report;
  }
  // A client that does not trust the test CA refuses the server.
  client.CaFile.clear();
  EXPECT_NE(Lookup("example.test", kNoWhoisServer, true).find("- Failed: RDAP request failed: SSL"),
            std::string::npos);
}

TEST_F(RdapServer, PortFortyThreeWhereItRunsRdapWhereItDoesNot) {
  // A port-43 server that answers: no RDAP.
  TLoopbackServer whois(TLoopbackServer::Answer("Domain Name: EXAMPLE.TEST\n"));
  const std::string answered = Lookup("example.test", "127.0.0.1", false, whois.Port());
  EXPECT_NE(answered.find("[127.0.0.1]\r\nDomain Name: EXAMPLE.TEST\r\n"), std::string::npos);
  EXPECT_EQ(answered.find("[https://"), std::string::npos);
  // One that no longer runs: its RDAP service after the failed block.
  const std::string switchedOff = Lookup("example.test", "127.0.0.1", false, UnusedLoopbackPort());
  EXPECT_NE(switchedOff.find("[127.0.0.1]\r\n\r\n- Failed: Socket Error # 10061"),
            std::string::npos);
  EXPECT_NE(switchedOff.find("[" + nginx->Url("/rdap/domain/example.test") + "]"),
            std::string::npos);
  // An ending without either.
  const std::string none = Lookup("example.nowhere", kNoWhoisServer);
  EXPECT_NE(none.find("- Failed: No port-43 whois server and no RDAP service is known"),
            std::string::npos);
  // A name that cannot be written in ASCII is asked nowhere.
  const std::string snowman = Lookup("\xe2\x98\x83.test", kNoWhoisServer);
  EXPECT_NE(snowman.find("cannot be written in ASCII"), std::string::npos);
  EXPECT_EQ(snowman.find("[https://"), std::string::npos);
}

TEST(WhoisServerTable, TheShippedTableCoversEveryTopLevelDomain) {
  TStringList table;
  LoadWhoisServerList(std::string(CORVINA_DATA_DIR) + "/", table);
  EXPECT_GT(table.Count(), 1400u);
  EXPECT_EQ(WhoisGetServer(table, "example.com"), "whois.verisign-grs.com");
  EXPECT_EQ(WhoisGetServer(table, "example.de"), "whois.denic.de");
  EXPECT_EQ(WhoisGetServer(table, "example.co.za"), "whois.registry.net.za");
  EXPECT_EQ(WhoisGetServer(table, "xn--80aswg.xn--p1ai"), "whois.tcinet.ru");
  size_t none = 0;
  for (const std::string& line : table.Lines())
    none += TStringList::ValueOf(line) == kNoWhoisServer;
  EXPECT_GT(none, 100u);  // endings whose registry runs no port-43 server
}
