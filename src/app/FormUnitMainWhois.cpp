// The main window's whois page: the page itself, the "Query domain..."
// action and the lookup that shows, stores and saves its report.
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStringList>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>

#include "DialogService.h"
#include "FormUnitMain.h"
#include "FormUnitMainPages.h"
#include "NetAntiFreeze.h"
#include "WhoisIdn.h"
#include "WhoisQuery.h"
#include "WhoisServerList.h"
#include "utFiles.h"
#include "utFormat.h"
#include "utStrings.h"

void TformMain::LoadWhoisServerTable() {
  try {
    LoadWhoisServerList(appPathFixed, *FWhoIsServerList);
  } catch (const EFileError& e) {
    // An unreadable table is reported once; every domain then goes to the
    // default registry server.
    FWhoIsServerList->Clear();
    Dialogs().ShowError(this, "Whois", QString::fromStdString(e.what()));
  }
  // The RDAP services beside it; an unreadable file is reported once, and
  // lookups then ask port 43 only.
  try {
    FRdapBootstrap.LoadFromFolder(appPathFixed);
  } catch (const std::exception& e) {
    FRdapBootstrap = TRdapBootstrap();
    Dialogs().ShowError(this, "Whois", ToDisplayText(e.what()));
  }
}

std::string TformMain::WhoisGetServer(std::string_view domain) const {
  // A domain of international letters is chosen by its ASCII form.
  std::string ascii, error;
  if (!WhoisDomainToAscii(domain, ascii, error)) ascii = std::string(domain);
  return ::WhoisGetServer(*FWhoIsServerList, LowerCaseAZ(ascii));
}

std::string TformMain::MakeCleanFilename(std::string_view filename) {
  return ::MakeCleanFilename(filename);
}

TWhoisLookup TformMain::WhoisLookup() {
  TWhoisLookup lookup(idWhoIs, [this](std::string_view domain, std::string_view host) {
    sbarWhois->SetPanelText(0, ToDisplayText(Format(GetMessageStr(sWhoIsTrying), {domain, host})));
    sbarWhois->repaint();
    ProcessPendingMessages();
  });
  lookup.SetRdap(&FRdapBootstrap, &idRdap);
  return lookup;
}

void TformMain::WhoisShowText(const std::string& text, bool append) {
  if (!append) {
    memoWhois->setPlainText(CrLfTextToDisplayText(text));
    whoisShownText = text;
    return;
  }
  memoWhois->appendPlainText(CrLfTextToDisplayText(text));
  whoisShownText += text;
}

void TformMain::WhoisAttachQuery(std::string_view domain, std::deque<std::string>& list,
                                 std::string& report) {
  WhoisLookup().WhoisAttachQuery(domain, list, report);
}

// The domain is the lookup's own copy: the dialog of a lookup started while
// this one waits replaces queryStringWhois.
void TformMain::WhoisProcessQuery(const std::string domain, bool rdapOnly) {
  pcWhoIs->setTabText(pcWhoIs->indexOf(tabWhoIsCurrent), ToDisplayText(domain));
  const std::string header = WhoisReportHeader(GetMessageStr(sWhoIsHeader), domain, Now());
  const std::string report =
      rdapOnly ? WhoisLookup().RunRdap(domain, header) : WhoisLookup().Run(domain, header);

  WhoisShowText(report, true);

  // The cache stores the lookup before the file is written; a cache that
  // fails must not cost the report file, so its error is passed on after it.
  std::exception_ptr cacheError;
  if (FWhoIsCache && FWhoIsCacheProblem.empty()) {
    try {
      FWhoIsCache->AddDomainInfo(domain, std::string_view(report), Now());
    } catch (const std::exception&) {
      cacheError = std::current_exception();
    }
  }
  SaveWhoisReport(WhoisReportFileName(appPathData, domain), report);
  if (cacheError) std::rethrow_exception(cacheError);
}

void TformMain::aWhoisQuerySingleExecute() { WhoisQuerySingle(false); }

void TformMain::aWhoisQueryRdapExecute() { WhoisQuerySingle(true); }

void TformMain::WhoisQuerySingle(bool rdapOnly) {
  QString text = ToDisplayText(queryStringWhois);
  // This lookup's own copy: a lookup started while this one waits replaces
  // queryStringWhois.
  std::string domain = queryStringWhois;
  if (Dialogs().InputQuery(this, "Whois", ToDisplayText(GetMessageStr(sWhoIsDialogDomainTitle)),
                           text)) {
    queryStringWhois = domain = FromDisplayText(text);
    idWhoIs.Host = WhoisGetServer(LowerCaseAZ(domain));
    WhoisShowText("", false);
    memoWhois->repaint();
    ProcessPendingMessages();
    WhoisProcessQuery(domain, rdapOnly);
  }
  sbarWhois->SetPanelText(0, ToDisplayText(Format(GetMessageStr(sWhoIsFinished), {domain})));
  pcWhoIs->setCurrentWidget(tabWhoIsCurrent);
}

QWidget* TformMain::CreateWhoisPage() {
  tabWhois = CreatePage("tabWhois", this);
  auto* layout = PageLayout(tabWhois);

  toolbarWhois = CreatePageToolBar("toolbarWhois", kToolButtonWidth);
  bnWhoisQuerySingle =
      AddToolButton(toolbarWhois, "bnWhoisQuerySingle", aWhoisQuerySingle, kToolButtonWidth);
  // The drop-down offers the lookup over RDAP for any domain.
  bnWhoisQuerySingle->setMenu(popupWhoisQuerySingle);
  bnWhoisQuerySingle->setPopupMode(QToolButton::MenuButtonPopup);
  bnWhoisQueryFromFile =
      AddToolButton(toolbarWhois, "bnWhoisQueryFromFile", aWhoisQueryFromFile, kToolButtonWidth);
  // Both buttons with drop-down menus are shown: they are the only way to
  // the old reports and to the filter.
  bnWhoisQueryLoadOld =
      AddToolButton(toolbarWhois, "bnWhoisQueryLoadOld", aWhoisQueryLoadOld, kToolButtonWidth);
  bnWhoisQueryLoadOld->setMenu(popupWhoisQueryLoadOld);
  bnWhoisQueryLoadOld->setPopupMode(QToolButton::MenuButtonPopup);
  bnWhoisFilterEmails =
      AddToolButton(toolbarWhois, "bnWhoisFilterEmails", aWhoisFilter, kToolButtonWidth);
  bnWhoisFilterEmails->setMenu(popupWhoisFilter);
  bnWhoisFilterEmails->setPopupMode(QToolButton::MenuButtonPopup);
  bnWhoisQuerySave =
      AddToolButton(toolbarWhois, "bnWhoisQuerySave", aWhoisQuerySave, kToolButtonWidth);
  layout->addWidget(toolbarWhois);

  splitWhois = new QSplitter(Qt::Horizontal, tabWhois);
  splitWhois->setObjectName("splitWhois");
  tvWhoisFiltered = new QTreeWidget(splitWhois);
  tvWhoisFiltered->setObjectName("tvWhoisFiltered");
  tvWhoisFiltered->setHeaderHidden(true);
  tvWhoisFiltered->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The filter adds its nodes sorted in the locale's order.
  tvWhoisFiltered->setContextMenuPolicy(Qt::CustomContextMenu);
  tvWhoisFiltered->hide();

  pcWhoIs = new QTabWidget(splitWhois);
  pcWhoIs->setObjectName("pcWhoIs");
  pcWhoIs->setIconSize(QSize(img24.Width(), img24.Height()));
  tabWhoIsCurrent = CreatePage("tabWhoIsCurrent", pcWhoIs);
  auto* currentLayout = PageLayout(tabWhoIsCurrent);
  memoWhois = new QPlainTextEdit(tabWhoIsCurrent);
  memoWhois->setObjectName("memoWhois");
  memoWhois->setReadOnly(true);
  memoWhois->setLineWrapMode(QPlainTextEdit::NoWrap);
  memoWhois->setFont(QFont("Courier New", 10));
  memoWhois->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memoWhois->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  currentLayout->addWidget(memoWhois);
  pcWhoIs->addTab(tabWhoIsCurrent, "Current lookup");

  tabWhoIsHistory = CreatePage("tabWhoIsHistory", pcWhoIs);
  auto* historyLayout = PageLayout(tabWhoIsHistory);
  auto* searchRow = new QHBoxLayout();
  searchRow->setContentsMargins(4, 4, 4, 4);
  labelWhoIsHistorySearch = new QLabel("Search for:", tabWhoIsHistory);
  labelWhoIsHistorySearch->setObjectName("labelWhoIsHistorySearch");
  editWhoIsHistorySearch = new QLineEdit(tabWhoIsHistory);
  editWhoIsHistorySearch->setObjectName("editWhoIsHistorySearch");
  editWhoIsHistorySearch->setToolTip("Press Enter inside this box to search.");
  searchRow->addWidget(labelWhoIsHistorySearch);
  searchRow->addWidget(editWhoIsHistorySearch, 1);
  historyLayout->addLayout(searchRow);
  lvWhoIsHistory =
      CreateReportList("lvWhoIsHistory", {"Domain", "Date/Time"}, {256, 150}, tabWhoIsHistory);
  lvWhoIsHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvWhoIsHistory->setToolTip("Double-click a domain to view its whois details.");
  historyLayout->addWidget(lvWhoIsHistory, 1);
  pcWhoIs->addTab(tabWhoIsHistory, img24[1], "History");

  splitWhois->addWidget(tvWhoisFiltered);
  splitWhois->addWidget(pcWhoIs);
  splitWhois->setSizes({182, kClientWidth - 182});
  splitWhois->setStretchFactor(1, 1);
  layout->addWidget(splitWhois, 1);

  // Panel 1 shows the progress of batch lookups and filter runs.
  sbarWhois = new TStatusBar("sbarWhois", {300, 160}, tabWhois);
  layout->addWidget(sbarWhois);
  return tabWhois;
}
