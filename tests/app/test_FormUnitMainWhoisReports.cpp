#include <gtest/gtest.h>

#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>
#include <clocale>

#include "FormUnitWhoisList.h"
#include "WhoisWindow.h"
#include "utFiles.h"

namespace {

// A server that answers each query with its text after a while, so that
// the window runs meanwhile.
TLoopbackServer::THandler SlowEcho(int ms) {
  return [ms](int fd, const std::string& request, int stopFd) {
    WaitReadableFor(stopFd, ms);
    SendAll(fd, "Answer for " + request + "\n");
  };
}

// The rows of the list dialog: text and tick.
QStringList Rows(const TformWhoisQueryList& list) {
  QStringList rows;
  for (int i = 0; i < list.lvDomains->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* row = list.lvDomains->topLevelItem(i);
    rows << row->text(0) + (row->checkState(0) == Qt::Checked ? " [x]" : " [ ]");
  }
  return rows;
}

}  // namespace

TEST(WhoisReportsPage, SaveReportProposesTheDomainAndTimeAndWritesThePageByteForByte) {
  TWhoisWindow w;
  w.Lookup("Example.TEST");
  const std::string saved = w.program.Path() + "saved.txt";
  w.dialogs.files.push_back(QString::fromStdString(saved));
  w.form->aWhoisQuerySave->trigger();
  ASSERT_EQ(w.dialogs.fileDialogs.size(), 1u);
  const TFileDialogOptions& asked = w.dialogs.fileDialogs[0];
  EXPECT_TRUE(asked.fileName.startsWith("example.test.20")) << asked.fileName.toStdString();
  EXPECT_TRUE(asked.fileName.endsWith(".txt"));
  EXPECT_EQ(asked.fileName.size(), QString("example.test.yyyy-mm-dd.hh-nn-ss.txt").size());
  EXPECT_EQ(asked.filter, "Text files|*.txt;*.log");
  EXPECT_EQ(asked.defaultExtension, "txt");
  EXPECT_FALSE(asked.confirmOverwrite);
  // The 8-bit bytes of the answer come back as the server sent them.
  EXPECT_EQ(ReadFileBytes(saved), ReadFileBytes(w.program.Path() + "Query/Whois/Example.TEST.txt"));
}

TEST(WhoisReportsPage, LoadOldQueryAndTheMenuOfSavedReports) {
  std::setlocale(LC_ALL, "C");
  TWhoisWindow w;
  const std::string folder = w.program.Path() + "Query/Whois/";
  for (const char* name : {"bravo.test", "alpha.test", "Able.test", "7seas.test"})
    w.program.Write(std::string("Query/Whois/") + name + ".txt", std::string("Report of ") + name + "\n");
  w.program.Write("Query/Whois/.txt", "nameless");

  w.dialogs.files.push_back(QString::fromStdString(folder + "alpha.test.txt"));
  w.form->aWhoisQueryLoadOld->trigger();
  EXPECT_EQ(w.dialogs.fileDialogs.at(0).filter, "Log files|*.txt");
  EXPECT_EQ(w.dialogs.fileDialogs.at(0).initialFolder, QString::fromStdString(folder).chopped(1));
  EXPECT_EQ(w.form->memoWhois->toPlainText(), "Report of alpha.test");
  EXPECT_EQ(w.Status(), "alpha.test.txt loaded.");

  w.form->WhoisFillQueryList();
  QStringList menu;
  for (QAction* letter : w.form->popupWhoisQueryLoadOld->actions()) {
    menu << letter->text();
    for (QAction* report : letter->menu()->actions())
      menu << "  " + report->text() + " " + report->statusTip();
  }
  const QString f = QString::fromStdString(folder);
  EXPECT_EQ(menu, (QStringList{"7...", "  7seas.test " + f + "7seas.test.txt", "A...",
                               "  Able.test " + f + "Able.test.txt",
                               "  alpha.test " + f + "alpha.test.txt", "B...",
                               "  bravo.test " + f + "bravo.test.txt"}));
  // A click loads the report; one removed after the menu was made is passed over.
  QAction* bravo = w.form->popupWhoisQueryLoadOld->actions()[2]->menu()->actions()[0];
  bravo->trigger();
  EXPECT_EQ(w.form->memoWhois->toPlainText(), "Report of bravo.test");
  QAction* able = w.form->popupWhoisQueryLoadOld->actions()[1]->menu()->actions()[0];
  std::remove((folder + "Able.test.txt").c_str());
  able->trigger();
  EXPECT_EQ(w.form->memoWhois->toPlainText(), "Report of bravo.test");
  EXPECT_TRUE(w.dialogs.reports.isEmpty());
}

TEST(WhoisReportsPage, ABatchLooksUpTheSortedListAndTicksEachRowAfterItsLookup) {
  std::setlocale(LC_ALL, "C");
  TWhoisWindow w;
  TLoopbackServer slow(SlowEcho(150));
  w.form->idWhoIs.Port = slow.Port();
  const std::string list = w.program.Write("Query/list.txt", "b.test\nA.test\na.test\n");
  w.dialogs.files.push_back(QString::fromStdString(list));
  TformWhoisQueryList& dialog = w.form->WhoisQueryList();

  // What the dialog shows while the batch runs, seen every 50 ms.
  QStringList seen;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    seen << w.form->sbarWhois->PanelText(1) + ": " + Rows(dialog).join(", ");
  });
  watch.start(50);
  w.form->aWhoisQueryFromFile->trigger();
  watch.stop();

  EXPECT_EQ(w.dialogs.fileDialogs.at(0).filter, "Text files|*.txt");
  EXPECT_EQ(slow.Requests(), (std::vector<std::string>{"A.test", "a.test", "b.test"}));
  EXPECT_FALSE(dialog.isVisible());
  // "a.test" equals "A.test" without regard to case: its lookup ticks the
  // first row again.
  EXPECT_EQ(Rows(dialog), (QStringList{"A.test [x]", "a.test [ ]", "b.test [x]"}));
  EXPECT_TRUE(seen.contains("1 of 3: A.test [ ], a.test [ ], b.test [ ]")) << seen.join("\n").toStdString();
  EXPECT_TRUE(seen.contains("3 of 3: A.test [x], a.test [ ], b.test [ ]")) << seen.join("\n").toStdString();
  const QString shown = w.form->memoWhois->toPlainText();
  EXPECT_EQ(shown.count("Answer for "), 3);
  EXPECT_EQ(w.form->pcWhoIs->tabText(0), "b.test");
  for (const char* name : {"A.test", "a.test", "b.test"})
    EXPECT_TRUE(FileExists(w.program.Path() + "Query/Whois/" + name + ".txt")) << name;
}

TEST(WhoisReportsPage, StopEndsTheBatchAfterTheRunningLookup) {
  TWhoisWindow w;
  TLoopbackServer slow(SlowEcho(200));
  w.form->idWhoIs.Port = slow.Port();
  const std::string list = w.program.Write("Query/list.txt", "a.test\nb.test\nc.test\nd.test\n");
  w.dialogs.files.push_back(QString::fromStdString(list));
  TformWhoisQueryList& dialog = w.form->WhoisQueryList();
  QTimer::singleShot(300, [&] { dialog.bnStop->click(); });
  w.form->aWhoisQueryFromFile->trigger();
  EXPECT_EQ(slow.Requests().size(), 2u);
  EXPECT_EQ(Rows(dialog), (QStringList{"a.test [x]", "b.test [x]", "c.test [ ]", "d.test [ ]"}));
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(w.form->sbarWhois->PanelText(1), "2 of 4 (stopped)");
}

TEST(WhoisReportsPage, ClosingTheWindowDuringABatchEndsItAtTheNextWait) {
  TWhoisWindow w;
  TLoopbackServer slow(SlowEcho(5000));
  w.form->idWhoIs.Port = slow.Port();
  const std::string list = w.program.Write("Query/list.txt", "a.test\nb.test\nc.test\n");
  w.dialogs.files.push_back(QString::fromStdString(list));
  w.form->show();
  QTimer::singleShot(300, [&] { w.form->close(); });
  const auto start = std::chrono::steady_clock::now();
  w.form->aWhoisQueryFromFile->trigger();
  const auto spent = std::chrono::steady_clock::now() - start;
  // The first server takes 5 s to answer; the batch ends when the window
  // closes instead, writes nothing half-done, and reports no error.
  EXPECT_LT(spent, std::chrono::milliseconds(1500));
  EXPECT_EQ(slow.Requests().size(), 1u);
  EXPECT_FALSE(FileExists(w.program.Path() + "Query/Whois/a.test.txt"));
  EXPECT_FALSE(w.form->WhoisQueryList().isVisible());
  EXPECT_TRUE(w.dialogs.reports.isEmpty());
}
