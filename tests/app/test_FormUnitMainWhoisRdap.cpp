#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolButton>

#include "NginxServer.h"
#include "WhoisWindow.h"
#include "utFiles.h"

namespace {

const char* kAnswer = R"({"objectClassName":"domain","ldhName":"%s",
  "entities":[{"roles":["registrar"],"vcardArray":["vcard",[["fn",{},"text","Test Registrar"],
    ["email",{},"text","help@registrar.test"]]]}],
  "nameservers":[{"ldhName":"NS1.REGISTRAR.TEST"}]})";

std::string Answer(const std::string& name) {
  std::string text = kAnswer;
  return text.replace(text.find("%s"), 2, name);
}

}  // namespace

TEST(WhoisPage, DomainsWithoutPortFortyThreeAndTheRdapActionAskRdap) {
  std::string why;
  if (!TNginxServer::Available(why) || !TTestCertificates::Available(why)) GTEST_SKIP() << why;
  TTestCertificates certificates;
  TNginxServer nginx("default_type application/rdap+json;", certificates.ServerCertificate(),
                     certificates.ServerKey());
  nginx.WriteDocument("rdap/domain/only.rdaptest", Answer("ONLY.RDAPTEST"));
  nginx.WriteDocument("rdap/domain/example.test", Answer("EXAMPLE.TEST"));
  nginx.WriteDocument("rdap/domain/xn--bcher-kva.test", Answer("xn--bcher-kva.test"));
  TWhoisWindow w([&](TTempFolder& program) {
    program.Write("whois-servers.lst", ".test | 127.0.0.1\n.rdaptest | -\n");
    program.Write("rdap-dns.json",
                  R"({"services":[[["test","rdaptest"],[")" + nginx.Url("/rdap/") + R"("]]]})");
  });
  TformMain& f = *w.form;
  f.idRdap.CaFile = certificates.CaFile();

  // The drop-down of "Query domain..." offers both lookups.
  ASSERT_NE(f.bnWhoisQuerySingle->menu(), nullptr);
  QStringList items;
  for (QAction* a : f.bnWhoisQuerySingle->menu()->actions()) items << a->text();
  EXPECT_EQ(items, (QStringList{"Query domain...", "Query domain over RDAP..."}));

  // An ending without a port-43 server is asked over RDAP.
  w.Lookup("only.rdaptest");
  EXPECT_TRUE(f.memoWhois->toPlainText().contains("Domain Name: ONLY.RDAPTEST"));
  EXPECT_TRUE(f.memoWhois->toPlainText().contains(
      QString::fromStdString("[" + nginx.Url("/rdap/domain/only.rdaptest") + "]")));
  EXPECT_EQ(w.Status(), "Query (whois) for only.rdaptest finished.");
  EXPECT_NE(ReadFileBytes(w.program.Path() + "Query/Whois/only.rdaptest.txt")
                .find("\r\nRegistrar: Test Registrar\r\n"),
            std::string::npos);

  // The RDAP action for a domain that has a port-43 server.
  w.dialogs.inputs.push_back(QString("example.test"));
  f.aWhoisQueryRdap->trigger();
  const std::string report = ReadFileBytes(w.program.Path() + "Query/Whois/example.test.txt");
  EXPECT_NE(report.find("Email: help@registrar.test"), std::string::npos);
  EXPECT_EQ(report.find("[127.0.0.1]"), std::string::npos);
  EXPECT_TRUE(w.server.Requests().empty());

  // An international name is asked in its ASCII form; the report keeps the
  // name as typed.
  w.dialogs.inputs.push_back(
      QString::fromUtf8("b\xc3\xbc"
                        "cher.test"));
  f.aWhoisQueryRdap->trigger();
  const std::string idn = ReadFileBytes(w.program.Path() +
                                        "Query/Whois/b\xc3\xbc"
                                        "cher.test.txt");
  EXPECT_NE(idn.find("Domain Name: xn--bcher-kva.test"), std::string::npos);
  EXPECT_NE(idn.find("for B\xc3\xbc"
                     "CHER.TEST on"),
            std::string::npos);
  // Over port 43 too.
  w.Lookup(
      QString::fromUtf8("b\xc3\xbc"
                        "cher.test"));
  ASSERT_FALSE(w.server.Requests().empty());
  EXPECT_EQ(w.server.Requests().back(), "xn--bcher-kva.test");
}
