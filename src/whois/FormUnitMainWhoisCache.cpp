// The main window's lookup cache: its creation at start and the History
// page, which searches stored lookups and shows one again.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeWidget>

#include "DialogService.h"
#include "FormUnitMain.h"
#include "WhoisCache.h"

namespace {

// The history list as the cache fills it.
class TTreeHistoryList : public THistoryListView {
 public:
  explicit TTreeHistoryList(QTreeWidget* list) : list_(list) {}
  void BeginUpdate() override { list_->setUpdatesEnabled(false); }
  void EndUpdate() override {
    list_->addTopLevelItems(items_);
    items_.clear();
    list_->setUpdatesEnabled(true);
  }
  void Clear() override { list_->clear(); }
  void AddRow(const std::string& caption, const std::string& dateTime,
              const std::string& id) override {
    items_ << new QTreeWidgetItem(
        QStringList{ToDisplayText(caption), ToDisplayText(dateTime), QString::fromStdString(id)});
  }

 private:
  QTreeWidget* list_;
  QList<QTreeWidgetItem*> items_;
};

}  // namespace

void TformMain::CreateWhoisCache() {
  const std::string fileName = WhoisCacheFileName(appPathFixed, GetAppDataFolder());
  try {
    FWhoIsCache = std::make_unique<TWhoIsCache>(fileName);
    if (FWhoIsCache->ReadOnly())
      FWhoIsCacheProblem = "The lookup history \"" + fileName +
                           "\" can only be read: new lookups are not added to it.";
  } catch (const std::exception& e) {
    // Lookups go on without the history; the file is left as it is.
    FWhoIsCache.reset();
    FWhoIsCacheProblem = std::string("The lookup history cannot be used: ") + e.what();
  }
  if (FWhoIsCacheProblem.empty()) return;
  Dialogs().ShowError(this, "Whois", ToDisplayText(FWhoIsCacheProblem));
  if (!FWhoIsCache) {
    editWhoIsHistorySearch->setEnabled(false);
    editWhoIsHistorySearch->setPlaceholderText("History unavailable");
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
    memoWhois->setPlainText(LinesToDisplayText(info.Lines()));
    pcWhoIs->setCurrentWidget(tabWhoIsCurrent);
  } catch (const std::exception&) {
  }
}
