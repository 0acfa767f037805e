// The main window's report filter: every match of a pattern in the saved
// reports as a tree of matches and the domains that hold them, the
// double-click that shows a domain's report, and the tree saved as text.
#include <QSplitter>
#include <QTreeWidget>
#include <chrono>

#include "DialogService.h"
#include "FormUnitMain.h"
#include "NetAntiFreeze.h"
#include "WhoisFilter.h"
#include "WhoisReports.h"
#include "utFiles.h"
#include "utFormat.h"
#include "utStrings.h"

namespace {

// The 8-bit text of a node, kept beside the text it shows.
constexpr int kTextRole = Qt::UserRole;

QTreeWidgetItem* NewNode(const std::string& text) {
  auto* node = new QTreeWidgetItem(QStringList{ToDisplayText(text)});
  node->setData(0, kTextRole, QByteArray::fromStdString(text));
  return node;
}

std::string NodeText(const QTreeWidgetItem* node) {
  return node->data(0, kTextRole).toByteArray().toStdString();
}

}  // namespace

void TformMain::aWhoisFilterExecute() {
  QString text = ToDisplayText(filterStringWhois);
  if (!Dialogs().InputQuery(this, "WhoIs", ToDisplayText(GetMessageStr(sWhoIsDialogRequest)), text))
    return;
  filterStringWhois = FromDisplayText(text);
  // The run's own copy: the field may change while it processes messages.
  WhoisFilterGrep(std::string(filterStringWhois));
}

void TformMain::aWhoisFilterEmailsExecute() {
  WhoisFilterGrep(GrepExtractEmailPattern);
  filterStringWhois = GrepExtractEmailPattern;
}

void TformMain::aWhoisFilterNameServerExecute() {
  WhoisFilterGrep(GrepExtractNameServerPattern);
  filterStringWhois = GrepExtractNameServerPattern;
}

void TformMain::WhoisFilterGrep(const std::string& grepPattern) {
  tvWhoisFiltered->clear();
  // The status bar names the file being searched; it is redrawn ten times a
  // second at most, which a person can follow, instead of for each of
  // thousands of files. Window messages are processed after every file.
  using clock = std::chrono::steady_clock;
  auto shown = clock::time_point();
  const TWhoisFilterResult result = WhoisFilterFiles(
      ListWhoisReports(appPathData), grepPattern,
      [&](const std::string& name, size_t done, size_t total) {
        if (clock::now() - shown >= std::chrono::milliseconds(100)) {
          sbarWhois->SetPanelText(0, ToDisplayText(Format(GetMessageStr(sWhoIsFiltering), {name})));
          sbarWhois->SetPanelText(1, ToDisplayText(Format(GetMessageStr(sWhoIsProgress),
                                                          {static_cast<long long>(done + 1),
                                                           static_cast<long long>(total)})));
          sbarWhois->repaint();
          shown = clock::now();
        }
        ProcessPendingMessages();
      });

  QList<QTreeWidgetItem*> top;
  for (const TWhoisFilterNode& node : result.nodes) {
    QTreeWidgetItem* match = NewNode(WhoisFilterNodeText(node));
    for (const std::string& domain : node.domains) match->addChild(NewNode(domain));
    top << match;
  }
  tvWhoisFiltered->setUpdatesEnabled(false);
  tvWhoisFiltered->addTopLevelItems(top);
  tvWhoisFiltered->setUpdatesEnabled(true);

  sbarWhois->SetPanelText(0, ToDisplayText(GetMessageStr(sWhoIsFilterFinished)));
  // The count of files searched, and of those that could not be.
  std::string files =
      Format(GetMessageStr(sWhoIsFilterFiles), {static_cast<long long>(result.files)});
  if (result.skipped)
    files +=
        ", " + Format(GetMessageStr(sWhoIsFilterNotRead), {static_cast<long long>(result.skipped)});
  if (result.full) files += ", " + GetMessageStr(sWhoIsFilterFull);
  sbarWhois->SetPanelText(1, ToDisplayText(files));
  tvWhoisFiltered->show();
  splitWhois->show();
}

void TformMain::tvWhoisFilteredDblClick() {
  QTreeWidgetItem* node = tvWhoisFiltered->currentItem();
  if (!node || !node->parent()) return;
  const std::string domain = NodeText(node);
  const std::string file = appPathData + "Query/Whois/" + domain + ".txt";
  WhoisShowText("", false);
  if (FileExists(file)) {
    WhoisShowText(ReadWhoisReportText(file), false);
    return;
  }
  idWhoIs.Host = WhoisGetServer(LowerCaseAZ(domain));
  WhoisProcessQuery(domain);
}

void TformMain::aWhoisFilterSaveExecute() {
  TFileDialogOptions options = TextFileOptions(sFilterLogFiles, appPathData + "Filter/Whois");
  options.fileName =
      ToDisplayText(appPathData + "Filter/Whois/" + MakeCleanFilename(filterStringWhois) + ".txt");
  QString path;
  if (!Dialogs().SaveFile(this, options, path)) return;
  SaveTreeToFile(FromDisplayText(path));
}

void TformMain::SaveTreeToFile(const std::string& filename) {
  TTextTree tree;
  for (int i = 0; i < tvWhoisFiltered->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* top = tvWhoisFiltered->topLevelItem(i);
    std::vector<std::string> children;
    for (int c = 0; c < top->childCount(); ++c) children.push_back(NodeText(top->child(c)));
    tree.emplace_back(NodeText(top), std::move(children));
  }
  // A result the user asked to save and that could not be saved is said so,
  // not passed over in silence.
  try {
    WriteFileAtomic(filename, WhoisFilterTreeText(tree));
  } catch (const std::exception& e) {
    Dialogs().ShowError(this, "WhoIs", ToDisplayText(e.what()));
  }
}
