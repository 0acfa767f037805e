#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <clocale>

#include "WhoisFilter.h"
#include "WhoisWindow.h"
#include "utFiles.h"
#include "utStrings.h"

namespace {

// The tree as text: top nodes and, indented, their children.
QStringList Tree(const QTreeWidget* tree) {
  QStringList lines;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* top = tree->topLevelItem(i);
    lines << top->text(0);
    for (int c = 0; c < top->childCount(); ++c) lines << "  " + top->child(c)->text(0);
  }
  return lines;
}

// Selects the node with that text and double-clicks it.
void DoubleClick(TformMain& form, const QString& text) {
  const auto found = form.tvWhoisFiltered->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
  ASSERT_EQ(found.size(), 1);
  form.tvWhoisFiltered->setCurrentItem(found[0]);
  form.tvWhoisFilteredDblClick();
}

}  // namespace

TEST(WhoisFilterPage, EmailsAndNameServersAsATreeThatIsSavedByteForByte) {
  std::setlocale(LC_ALL, "C");
  TWhoisWindow w;
  w.program.Write("Query/Whois/one.test.txt",
                  "Admin: Owner@Example.COM\r\nName Server: NS1.ONE.TEST\r\n");
  w.program.Write("Query/Whois/two.test.txt", "owner@example.com owner@example.com\r\n");
  w.program.Write("Query/Whois/three.test.txt", "Name Server: ns1.one.test\r\n");
  EXPECT_TRUE(w.form->tvWhoisFiltered->isHidden());

  w.form->aWhoisFilterEmails->trigger();
  EXPECT_FALSE(w.form->tvWhoisFiltered->isHidden());
  EXPECT_EQ(Tree(w.form->tvWhoisFiltered),
            (QStringList{"owner@example.com (2)", "  one.test", "  two.test"}));
  EXPECT_EQ(w.Status(), "Filtering email addresses (whois) finished.");
  EXPECT_EQ(w.form->sbarWhois->PanelText(1), "3 files");
  EXPECT_EQ(w.form->filterStringWhois, GrepExtractEmailPattern);

  w.form->aWhoisFilterNameServer->trigger();
  EXPECT_EQ(Tree(w.form->tvWhoisFiltered),
            (QStringList{"ns1.one.test (2)", "  one.test", "  three.test"}));

  // The proposed name is the pattern, cleaned, in Filter/Whois.
  const std::string saved = w.program.Path() + "Filter/Whois/result.txt";
  w.dialogs.files.push_back(QString::fromStdString(saved));
  w.form->aWhoisFilterSave->trigger();
  const TFileDialogOptions& asked = w.dialogs.fileDialogs.at(0);
  EXPECT_EQ(asked.fileName.toStdString(), w.program.Path() + "Filter/Whois/" +
                                              MakeCleanFilename(GrepExtractNameServerPattern) +
                                              ".txt");
  EXPECT_EQ(asked.fileName.toStdString().find('\\'), std::string::npos);
  EXPECT_TRUE(asked.confirmOverwrite);
  EXPECT_EQ(ReadFileBytes(saved),
            "\r\n   ns1.one.test (2)\r\n      one.test\r\n      three.test\r\n");

  // A pattern of the user's own, and one that does not compile.
  w.dialogs.inputs.push_back(QString("ns\\d\\.[a-z.]+"));
  w.form->aWhoisFilter->trigger();
  EXPECT_EQ(w.dialogs.asked.last(), "WhoIs|Please enter filter term|" +
                                        QString::fromStdString(GrepExtractNameServerPattern));
  EXPECT_EQ(Tree(w.form->tvWhoisFiltered), (QStringList{"ns1.one.test (1)", "  three.test"}));
  w.dialogs.inputs.push_back(QString("(["));
  w.form->aWhoisFilter->trigger();
  EXPECT_TRUE(Tree(w.form->tvWhoisFiltered).isEmpty());
  EXPECT_EQ(w.Status(), "Filtering email addresses (whois) finished.");
  EXPECT_TRUE(w.dialogs.reports.isEmpty());
}

TEST(WhoisFilterPage, AnEmptyFolderGivesAVisibleEmptyTreeAndAnEmptyFile) {
  TWhoisWindow w;
  w.form->aWhoisFilterEmails->trigger();
  EXPECT_FALSE(w.form->tvWhoisFiltered->isHidden());
  EXPECT_EQ(w.form->tvWhoisFiltered->topLevelItemCount(), 0);
  const std::string saved = w.program.Path() + "empty.txt";
  w.form->SaveTreeToFile(saved);
  EXPECT_EQ(ReadFileBytes(saved), "");
  // A result that cannot be saved is said so.
  w.form->SaveTreeToFile(w.program.Path() + "no/such/folder/x.txt");
  EXPECT_EQ(w.dialogs.messages.size(), 1);
}

TEST(WhoisFilterPage, DoubleClickShowsTheReportOrLooksTheDomainUpWhenItIsGone) {
  TWhoisWindow w;
  w.program.Write("Query/Whois/kept.test.txt", "Email: a@kept.test\r\n");
  w.program.Write("Query/Whois/gone.test.txt", "Email: a@kept.test\r\n");
  w.form->aWhoisFilterEmails->trigger();
  const QString status = w.Status();
  const QString caption = w.form->pcWhoIs->tabText(0);

  DoubleClick(*w.form, "kept.test");
  EXPECT_EQ(w.form->memoWhois->toPlainText(), "Email: a@kept.test");
  EXPECT_TRUE(w.server.Requests().empty());
  EXPECT_EQ(w.Status(), status);
  EXPECT_EQ(w.form->pcWhoIs->tabText(0), caption);

  // A top node does nothing.
  DoubleClick(*w.form, "a@kept.test (2)");
  EXPECT_EQ(w.form->memoWhois->toPlainText(), "Email: a@kept.test");

  std::remove((w.program.Path() + "Query/Whois/gone.test.txt").c_str());
  DoubleClick(*w.form, "gone.test");
  EXPECT_EQ(w.server.Requests(), std::vector<std::string>{"gone.test"});
  EXPECT_TRUE(w.form->memoWhois->toPlainText().contains("Domain Name: EXAMPLE.TEST"));
  EXPECT_TRUE(FileExists(w.program.Path() + "Query/Whois/gone.test.txt"));
}
