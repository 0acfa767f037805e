#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>
#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "FormUnitMain.h"
#include "LoopbackServer.h"
#include "WhoisWindow.h"
#include "utFiles.h"

TEST(WhoisPage, QueryDomainLooksUpShowsAndSavesTheReport) {
  std::setlocale(LC_ALL, "C");
  TWhoisWindow w;
  w.form->pcWhoIs->setCurrentWidget(w.form->tabWhoIsHistory);
  w.dialogs.inputs.push_back(QString("Example.test"));
  w.form->aWhoisQuerySingle->trigger();

  EXPECT_EQ(w.dialogs.asked, QStringList{"Whois|Please enter domain name|"});
  EXPECT_EQ(w.form->queryStringWhois, "Example.test");
  EXPECT_EQ(w.server.Requests(), std::vector<std::string>{"Example.test"});
  EXPECT_EQ(w.Status(), "Query (whois) for Example.test finished.");
  EXPECT_EQ(w.form->pcWhoIs->currentWidget(), w.form->tabWhoIsCurrent);
  EXPECT_EQ(w.form->pcWhoIs->tabText(0), "Example.test");
  EXPECT_EQ(w.form->idWhoIs.Host, "127.0.0.1");

  const std::string file = w.program.Path() + "Query/Whois/Example.test.txt";
  const std::string bytes = ReadFileBytes(file);
  const std::string header = "Corvina WhoIs query for EXAMPLE.TEST on ";
  ASSERT_EQ(bytes.substr(0, header.size()), header);
  const std::string rest = bytes.substr(bytes.find("\r\n"));
  EXPECT_EQ(rest, "\r\n\r\n[127.0.0.1]\r\nDomain Name: EXAMPLE.TEST\r\nRegistrant: M\xfcller\r\n");

  // The page shows the same lines, the 8-bit name read as Windows-1252.
  const QStringList shown = w.form->memoWhois->toPlainText().split('\n');
  ASSERT_EQ(shown.size(), 5);
  EXPECT_TRUE(shown[0].startsWith(QString::fromStdString(header)));
  EXPECT_EQ(shown.mid(1), (QStringList{"", "[127.0.0.1]", "Domain Name: EXAMPLE.TEST",
                                       QString::fromUtf8("Registrant: M\xc3\xbcller")}));

  // The next lookup starts from the last text and replaces the page.
  w.dialogs.inputs.push_back(QString("*?.test"));
  w.form->aWhoisQuerySingle->trigger();
  EXPECT_EQ(w.dialogs.asked.last(), "Whois|Please enter domain name|Example.test");
  EXPECT_TRUE(FileExists(w.program.Path() + "Query/Whois/__.test.txt"));
  EXPECT_EQ(w.form->memoWhois->toPlainText().count("[127.0.0.1]"), 1);
}

TEST(WhoisPage, CancelKeepsTheTextAndStillReportsAndShowsTheCurrentPage) {
  TWhoisWindow w;
  w.form->queryStringWhois = "previous.test";
  w.form->memoWhois->setPlainText("old report");
  w.form->pcWhoIs->setCurrentWidget(w.form->tabWhoIsHistory);
  w.dialogs.inputs.push_back(std::nullopt);
  w.form->aWhoisQuerySingle->trigger();
  EXPECT_EQ(w.form->queryStringWhois, "previous.test");
  EXPECT_EQ(w.Status(), "Query (whois) for previous.test finished.");
  EXPECT_EQ(w.form->pcWhoIs->currentWidget(), w.form->tabWhoIsCurrent);
  EXPECT_EQ(w.form->memoWhois->toPlainText(), "old report");
  EXPECT_TRUE(w.server.Requests().empty());
  EXPECT_EQ(w.form->pcWhoIs->tabText(0), "Current lookup");
}

TEST(WhoisPage, TheStatusBarNamesTheServerWhileItIsAsked) {
  TWhoisWindow w;
  QStringList seen;
  TLoopbackServer watcher([&](int fd, const std::string&, int) {
    seen << w.Status();
    SendAll(fd, "ok\n");
  });
  w.form->idWhoIs.Port = watcher.Port();
  w.form->idWhoIs.Host = "127.0.0.1";
  w.form->WhoisProcessQuery("a.test");
  EXPECT_EQ(seen, QStringList{"Trying to get info about a.test from 127.0.0.1..."});
}

TEST(WhoisPage, AReportThatCannotBeWrittenReachesTheErrorReport) {
  TWhoisWindow w;
  // The report folder is a file now, so the report cannot be written.
  std::filesystem::remove_all(w.program.Path() + "Query/Whois");
  w.program.Write("Query/Whois", "not a folder");
  w.dialogs.inputs.push_back(QString("x.test"));
  w.form->aWhoisQuerySingle->trigger();
  ASSERT_EQ(w.dialogs.reports.size(), 1);
  EXPECT_TRUE(w.dialogs.reports[0].contains("aWhoisQuerySingleExecute"));
  EXPECT_TRUE(w.dialogs.reports[0].contains("Cannot create"));
  // The page shows the report all the same.
  EXPECT_TRUE(w.form->memoWhois->toPlainText().contains("Domain Name: EXAMPLE.TEST"));
}

TEST(WhoisPage, ALookupStartedDuringAnotherOnesWaitFailsAndLeavesTheFirstWhole) {
  TWhoisWindow w;
  // The server answers the first query after a while; meanwhile the user
  // starts a second lookup.
  TLoopbackServer slow([](int fd, const std::string& request, int stopFd) {
    WaitReadableFor(stopFd, 800);
    SendAll(fd, "Answer for " + request + "\nWhois Server: 127.0.0.1\n");
  });
  w.form->idWhoIs.Port = slow.Port();
  w.dialogs.inputs.push_back(QString("first.test"));
  w.dialogs.inputs.push_back(QString("second.test"));
  QTimer::singleShot(200, [&] { w.form->aWhoisQuerySingle->trigger(); });
  w.form->aWhoisQuerySingle->trigger();

  const std::string folder = w.program.Path() + "Query/Whois/";
  const std::string first = ReadFileBytes(folder + "first.test.txt");
  EXPECT_NE(first.find("Corvina WhoIs query for FIRST.TEST on "), std::string::npos);
  EXPECT_NE(first.find("[127.0.0.1]\r\nAnswer for first.test\r\n"), std::string::npos);
  const std::string second = ReadFileBytes(folder + "second.test.txt");
  EXPECT_NE(second.find("[127.0.0.1]\r\n\r\n- Failed: Already connected.\r\n"), std::string::npos);
  EXPECT_EQ(slow.Requests(), std::vector<std::string>{"first.test"});
  // The first lookup ends with its own domain in the status bar and the cache.
  EXPECT_EQ(w.Status(), "Query (whois) for first.test finished.");
  TSQLiteTable rows =
      w.form->FWhoIsCache->Database().GetTable("SELECT domain FROM whois ORDER BY id");
  std::vector<std::string> domains;
  for (; !rows.Eof(); rows.Next()) domains.push_back(rows.FieldAsString(0));
  EXPECT_EQ(domains, (std::vector<std::string>{"second.test", "first.test"}));
}
