// The main window's lookup cache: its creation at start and the History
// page, which searches stored lookups and shows one again.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "DialogService.h"
#include "FormUnitMain.h"
#include "HistoryListView.h"
#include "WhoisCache.h"
#include "utFormat.h"

void TformMain::CreateWhoisCache() {
  const std::string fileName = WhoisCacheFileName(appPathFixed, GetAppDataFolder());
  try {
    FWhoIsCache = std::make_unique<TWhoIsCache>(fileName);
    if (FWhoIsCache->ReadOnly())
      FWhoIsCacheProblem = Format(GetMessageStr(sWhoIsHistoryReadOnly), {fileName});
  } catch (const std::exception& e) {
    // Lookups go on without the history; the file is left as it is.
    FWhoIsCache.reset();
    FWhoIsCacheProblem = Format(GetMessageStr(sWhoIsHistoryUnusable), {e.what()});
  }
  if (FWhoIsCacheProblem.empty()) return;
  Dialogs().ShowError(this, "Whois", ToDisplayText(FWhoIsCacheProblem));
  if (!FWhoIsCache) {
    editWhoIsHistorySearch->setEnabled(false);
    editWhoIsHistorySearch->setPlaceholderText(
        ToDisplayText(GetMessageStr(sWhoIsHistoryUnavailable)));
    auto* reason = new QTreeWidgetItem(QStringList{ToDisplayText(FWhoIsCacheProblem)});
    reason->setFlags(Qt::NoItemFlags);
    lvWhoIsHistory->addTopLevelItem(reason);
  }
}

void TformMain::editWhoIsHistorySearchKeyPress(char key) {
  if (key != '\r' || !FWhoIsCache) return;
  TTreeHistoryList list(lvWhoIsHistory);
  FWhoIsCache->SearchToListView(FromDisplayText(editWhoIsHistorySearch->text()), list);
}

void TformMain::lvWhoIsHistoryDblClick() {
  // Nothing here is reported: a row that cannot be shown is simply not shown.
  try {
    QTreeWidgetItem* row = lvWhoIsHistory->currentItem();
    if (!row || !FWhoIsCache) return;
    bool ok = false;
    const qlonglong id = row->text(2).toLongLong(&ok);
    if (!ok) return;
    pcWhoIs->setTabText(pcWhoIs->indexOf(tabWhoIsCurrent),
                        QString("%1 (%2)").arg(row->text(0), row->text(1)));
    TStringList info;
    FWhoIsCache->GetDomainInfo(id, info);
    WhoisShowText(info.Text(), false);
    pcWhoIs->setCurrentWidget(tabWhoIsCurrent);
  } catch (const std::exception&) {
  }
}
