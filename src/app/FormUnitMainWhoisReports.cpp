// The main window's whois reports as files: "Save report", "Load old
// query..." with its menu of saved reports, and the batch lookup of a list
// of domains with the list dialog that ticks each one off.
#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "CrashReporter.h"
#include "DialogService.h"
#include "FormUnitMain.h"
#include "FormUnitWhoisList.h"
#include "NetAntiFreeze.h"
#include "WhoisReports.h"
#include "utFiles.h"
#include "utFormat.h"
#include "utStrings.h"

namespace {

// The 8-bit domain of a row of the list dialog.
constexpr int kDomainRole = Qt::UserRole;

}  // namespace

void TformMain::aWhoisQuerySaveExecute() {
  TFileDialogOptions options;
  options.filter = sdQuery.filter;
  options.defaultExtension = sdQuery.defaultExtension;
  options.fileName = ToDisplayText(WhoisSaveFileName(queryStringWhois, Now()));
  // The report is saved as the page was when the user chose the action.
  const std::string shown = whoisShownText;
  options.confirmOverwrite = false;
  QString path;
  if (!Dialogs().SaveFile(this, options, path)) return;
  WriteFileAtomic(FromDisplayText(path), shown);
}

// Shows a report file on the "Current lookup" page and says so.
static void ShowReportFile(TformMain& form, const std::string& path) {
  form.WhoisShowText(ReadWhoisReportText(path), false);
  form.sbarWhois->SetPanelText(
      0, ToDisplayText(Format(form.GetMessageStr(sFilenameLoaded), {ExtractFileName(path)})));
}

TFileDialogOptions TformMain::TextFileOptions(TMyStrings filterName,
                                              const std::string& folder) const {
  TFileDialogOptions options;
  options.filter = ToDisplayText(GetMessageStr(filterName)) + "|*.txt";
  options.defaultExtension = "txt";
  options.initialFolder = ToDisplayText(folder);
  return options;
}

void TformMain::aWhoisQueryLoadOldExecute() {
  const TFileDialogOptions options = TextFileOptions(sFilterLogFiles, appPathData + "Query/Whois");
  QString path;
  if (!Dialogs().OpenFile(this, options, path)) return;
  ShowReportFile(*this, FromDisplayText(path));
}

void TformMain::popupWhoisQueryLoadOldPopup() { WhoisFillQueryList(); }

void TformMain::WhoisFillQueryList() {
  popupWhoisQueryLoadOld->clear();
  for (const TWhoisReportGroup& group : GroupWhoisReports(ListWhoisReports(appPathData))) {
    QMenu* letter = popupWhoisQueryLoadOld->addMenu(ToDisplayText(group.letter) + "...");
    for (const TWhoisReportItem& report : group.reports) {
      QAction* item = letter->addAction(ToDisplayText(report.caption));
      // The hint holds the full path, which the click loads.
      item->setStatusTip(ToDisplayText(report.path));
      item->setToolTip(item->statusTip());
      connect(item, &QAction::triggered, this,
              Guarded("WhoisLoadOldClick", [this, item] { WhoisLoadOldClick(item); }));
    }
    letter->setToolTipsVisible(true);
  }
}

void TformMain::WhoisLoadOldClick(QObject* Sender) {
  const auto* item = qobject_cast<QAction*>(Sender);
  if (!item) return;
  // A report removed after the menu was made is passed over.
  const std::string path = FromDisplayText(item->statusTip());
  if (!FileExists(path)) return;
  ShowReportFile(*this, path);
}

TformWhoisQueryList& TformMain::WhoisQueryList() {
  if (!formWhoisQueryList) formWhoisQueryList = new TformWhoisQueryList(this);
  return *formWhoisQueryList;
}

void TformMain::aWhoisQueryFromFileExecute() {
  const TFileDialogOptions options = TextFileOptions(sFilterTextFiles, appPathData + "Query");
  QString path;
  if (!Dialogs().OpenFile(this, options, path)) return;
  WhoisShowText("", false);
  memoWhois->repaint();
  ProcessPendingMessages();
  const TStringList domains = ReadWhoisDomainList(FromDisplayText(path));

  TformWhoisQueryList& list = WhoisQueryList();
  list.lvDomains->clear();
  QList<QTreeWidgetItem*> rows;
  for (const std::string& domain : domains.Lines()) {
    auto* row = new QTreeWidgetItem(QStringList{ToDisplayText(domain)});
    row->setData(0, kDomainRole, QByteArray::fromStdString(domain));
    row->setCheckState(0, Qt::Unchecked);
    rows << row;
  }
  list.lvDomains->addTopLevelItems(rows);
  list.StopRequested = false;
  list.bnStop->setEnabled(true);
  list.show();
  // The list goes away however the batch ends: done, stopped, failed, or the
  // window closed.
  struct THide {
    TformWhoisQueryList& list;
    ~THide() { list.hide(); }
  } hide{list};

  const size_t total = domains.Count();
  for (size_t i = 0; i < total && !list.StopRequested; ++i) {
    const std::string domain = domains[i];
    sbarWhois->SetPanelText(
        1, ToDisplayText(Format(GetMessageStr(sWhoIsProgress),
                                {static_cast<long long>(i + 1), static_cast<long long>(total)})));
    idWhoIs.Host = WhoisGetServer(LowerCaseAZ(domain));
    ProcessPendingMessages();
    WhoisProcessQuery(domain);
    ProcessPendingMessages();
    // The first row with this text, letter case not counting, is ticked.
    for (int r = 0; r < list.lvDomains->topLevelItemCount(); ++r) {
      QTreeWidgetItem* row = list.lvDomains->topLevelItem(r);
      if (!SameText(row->data(0, kDomainRole).toByteArray().toStdString(), domain)) continue;
      row->setCheckState(0, Qt::Checked);
      list.lvDomains->setCurrentItem(row);
      list.lvDomains->setFocus();
      list.lvDomains->scrollToItem(row);
      break;
    }
  }
  if (list.StopRequested)
    sbarWhois->SetPanelText(
        1, sbarWhois->PanelText(1) + " " + ToDisplayText(GetMessageStr(sWhoIsStopped)));
}
