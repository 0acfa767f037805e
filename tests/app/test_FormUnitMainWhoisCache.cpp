#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeWidget>
#include <clocale>

#include "WhoisWindow.h"
#include "utFiles.h"

TEST(HistoryPage, EnterSearchesAndADoubleClickShowsTheStoredReport) {
  std::setlocale(LC_ALL, "C");
  TWhoisWindow w;
  w.Lookup("First.test");
  w.Lookup("second.test");
  ASSERT_TRUE(FileExists(w.program.Path() + "lookups.sqlite"));

  w.form->editWhoIsHistorySearch->setText("first");
  emit w.form->editWhoIsHistorySearch->returnPressed();
  ASSERT_EQ(w.form->lvWhoIsHistory->topLevelItemCount(), 1);
  QTreeWidgetItem* row = w.form->lvWhoIsHistory->topLevelItem(0);
  EXPECT_EQ(row->text(0), "First.test");
  EXPECT_EQ(row->text(2), "1");

  // An empty search lists every lookup.
  w.form->editWhoIsHistorySearch->setText("");
  emit w.form->editWhoIsHistorySearch->returnPressed();
  EXPECT_EQ(w.form->lvWhoIsHistory->topLevelItemCount(), 2);

  w.form->memoWhois->clear();
  w.form->pcWhoIs->setCurrentWidget(w.form->tabWhoIsHistory);
  w.form->lvWhoIsHistory->setCurrentItem(w.form->lvWhoIsHistory->topLevelItem(0));
  QTreeWidgetItem* first = w.form->lvWhoIsHistory->currentItem();
  emit w.form->lvWhoIsHistory->itemDoubleClicked(first, 0);
  EXPECT_EQ(w.form->pcWhoIs->tabText(0), QString("%1 (%2)").arg(first->text(0), first->text(1)));
  EXPECT_EQ(w.form->pcWhoIs->currentWidget(), w.form->tabWhoIsCurrent);
  const QStringList shown = w.form->memoWhois->toPlainText().split('\n');
  ASSERT_EQ(shown.size(), 5);
  EXPECT_TRUE(shown[0].startsWith("Corvina WhoIs query for FIRST.TEST on "));
  EXPECT_EQ(shown[4], QString::fromUtf8("Registrant: M\xc3\xbcller"));
}

TEST(HistoryPage, ADoubleClickWithoutARowChangesNothing) {
  TWhoisWindow w;
  w.form->memoWhois->setPlainText("kept");
  w.form->lvWhoIsHistoryDblClick();
  EXPECT_EQ(w.form->memoWhois->toPlainText(), "kept");
  EXPECT_EQ(w.form->pcWhoIs->tabText(0), "Current lookup");
}

TEST(HistoryPage, ADatabaseThatCannotBeOpenedIsReportedOnceAndLookupsGoOn) {
  const std::string junk(2048, 'j');
  TWhoisWindow w([&](TTempFolder& program) { program.Write("lookups.sqlite", junk); });
  ASSERT_EQ(w.dialogs.messages.size(), 1);
  EXPECT_TRUE(w.dialogs.messages[0].contains("file is not a database"));
  EXPECT_FALSE(w.form->editWhoIsHistorySearch->isEnabled());
  ASSERT_EQ(w.form->lvWhoIsHistory->topLevelItemCount(), 1);
  EXPECT_TRUE(w.form->lvWhoIsHistory->topLevelItem(0)->text(0).contains("cannot be used"));

  w.Lookup("still.test");
  EXPECT_TRUE(w.dialogs.reports.isEmpty());
  EXPECT_TRUE(FileExists(w.program.Path() + "Query/Whois/still.test.txt"));
  EXPECT_EQ(w.dialogs.messages.size(), 1);
  EXPECT_EQ(ReadFileBytes(w.program.Path() + "lookups.sqlite"), junk);
}

TEST(HistoryPage, ACacheThatFailsDuringALookupStillLeavesTheReportFile) {
  TWhoisWindow w;
  w.form->FWhoIsCache->Database().ExecSQL("DROP TABLE whois");
  w.Lookup("kept.test");
  EXPECT_TRUE(FileExists(w.program.Path() + "Query/Whois/kept.test.txt"));
  ASSERT_EQ(w.dialogs.reports.size(), 1);
  EXPECT_TRUE(w.dialogs.reports[0].contains("no such table: whois"));
}
