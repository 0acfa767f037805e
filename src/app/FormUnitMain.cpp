#include "FormUnitMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "AntiFreeze.h"
#include "CrashReporter.h"
#include "DialogService.h"
#include "MainDataFolder.h"
#include "WhoisServerList.h"
#include "utFiles.h"
#include "utStrings.h"

namespace {

constexpr int kClientWidth = 629;
constexpr int kClientHeight = 556;
constexpr int kToolButtonWidth = 141;
constexpr int kToolButtonHeight = 30;
constexpr int kHTTPLogHeight = 56;
constexpr int kHTTPToolButtonWidth = 133;

QStringList ImagePaths(const QString& folder, int count) {
  QStringList paths;
  for (int i = 0; i < count; ++i) paths << QString(":/%1/%2.png").arg(folder).arg(i);
  return paths;
}

// A read-only list in report view. Columns keep their widths; the column
// fill (when >= 0) takes the rest of the list's width.
QTreeWidget* CreateReportList(const QString& name, const QStringList& columns,
                              const QList<int>& widths, QWidget* parent, int fill = -1) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(name);
  list->setRootIsDecorated(false);
  list->setHeaderLabels(columns);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setUniformRowHeights(true);
  list->header()->setStretchLastSection(false);
  for (int i = 0; i < widths.size(); ++i)
    if (widths[i] > 0) list->setColumnWidth(i, widths[i]);
  if (fill >= 0) list->header()->setSectionResizeMode(fill, QHeaderView::Stretch);
  return list;
}

QWidget* CreatePage(const QString& name, QWidget* parent) {
  auto* page = new QWidget(parent);
  page->setObjectName(name);
  return page;
}

QVBoxLayout* PageLayout(QWidget* page) {
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  return layout;
}

}  // namespace

static void InitImageResources() { Q_INIT_RESOURCE(images); }

TformMain::TformMain(const std::string& programFolder, QWidget* parent)
    : QMainWindow(parent),
      img24((InitImageResources(), TImageList("img24", 24, 24, ImagePaths("img24", 10)))),
      ilLists("ilLists", 16, 16, ImagePaths("ilLists", 1)) {
  setObjectName("formMain");
  setWindowTitle("Corvina");
  setFont(QFont("MS Sans Serif", 8));
  appPathFixed = IncludeTrailingPathDelimiter(programFolder);

  idAntiFreeze = new TIdAntiFreeze(this);
  idWhoIs.Host = kDefaultWhoisServer;
  sdQuery.defaultExtension = "txt";
  sdQuery.filter = "Text files|*.txt;*.log";

  CreateActions();
  CreateMenus();

  pcOptions = new QTabWidget(this);
  pcOptions->setObjectName("pcOptions");
  pcOptions->setIconSize(QSize(img24.Width(), img24.Height()));
  struct TPageInfo {
    QWidget* page;
    const char* caption;
    int image;
  };
  const TPageInfo pages[] = {{CreateAdaptersPage(), "Adapters", 8},
                             {CreateUsersPage(), "&Users", 9},
                             {CreateTraceroutePage(), "Trace route", 4},
                             {CreateWhoisPage(), "WhoIs", 0},
                             {CreateHTTPPage(), "HTTP query", 6}};
  for (const TPageInfo& p : pages) pcOptions->addTab(p.page, img24[p.image], p.caption);
  setCentralWidget(pcOptions);
  ConnectHandlers();

  resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
  CenterOnScreen(this);

  FormCreate();
}

TformMain::~TformMain() { FormDestroy(); }

QAction* TformMain::CreateAction(const QString& name, const QString& category,
                                 const QString& caption, int image) {
  auto* action = new QAction(caption, alMain);
  action->setObjectName(name);
  action->setProperty("category", category);
  if (image >= 0) action->setIcon(img24[image]);
  return action;
}

void TformMain::CreateActions() {
  alMain = new QObject(this);
  alMain->setObjectName("alMain");
  aWhoisQuerySingle = CreateAction("aWhoisQuerySingle", "Whois", "Query domain...", 0);
  aWhoisQueryFromFile = CreateAction("aWhoisQueryFromFile", "Whois", "Query list of domains...", 1);
  aWhoisQueryLoadOld = CreateAction("aWhoisQueryLoadOld", "Whois", "Load old query...", 2);
  aWhoisFilterEmails = CreateAction("aWhoisFilterEmails", "Whois", "Filter emails", 3);
  aWhoisFilterNameServer =
      CreateAction("aWhoisFilterNameServer", "Whois", "Filter name servers", 4);
  aGotoWhois = CreateAction("aGotoWhois", "Actions", "WhoIs", 0);
  aGotoTraceroute = CreateAction("aGotoTraceroute", "Actions", "Trace route", 4);
  aTracerouteQuerySingle =
      CreateAction("aTracerouteQuerySingle", "Traceroute", "Trace route to target...", 4);
  aWhoisFilter = CreateAction("aWhoisFilter", "Whois", "Filter...", 1);
  aWhoisFilterSave = CreateAction("aWhoisFilterSave", "Whois", "Save filter results...", 5);
  aHTTPCatchIEUrl = CreateAction("aHTTPCatchIEUrl", "HTTP", "Catch IE Url", 6);
  aHTTPPasteClipboardUrl = CreateAction("aHTTPPasteClipboardUrl", "HTTP", "Paste clipboard URL", 7);
  aGotoHTTP = CreateAction("aGotoHTTP", "Actions", "HTTP query", 6);
  aWhoisQuerySave = CreateAction("aWhoisQuerySave", "Whois", "Save report", 5);
  aGotoAdapters = CreateAction("aGotoAdapters", "Actions", "&Adapters", 8);
  aGotoUsers = CreateAction("aGotoUsers", "Actions", "&Users", 9);
  aHelpAbout = CreateAction("aHelpAbout", "", "&About...", -1);

  connect(aGotoAdapters, &QAction::triggered, this,
          Guarded("aGotoAdaptersExecute", [this] { aGotoAdaptersExecute(); }));
  connect(aGotoUsers, &QAction::triggered, this,
          Guarded("aGotoUsersExecute", [this] { aGotoUsersExecute(); }));
  connect(aGotoTraceroute, &QAction::triggered, this,
          Guarded("aGotoTracerouteExecute", [this] { aGotoTracerouteExecute(); }));
  connect(aGotoWhois, &QAction::triggered, this,
          Guarded("aGotoWhoisExecute", [this] { aGotoWhoisExecute(); }));
  connect(aGotoHTTP, &QAction::triggered, this,
          Guarded("aGotoHTTPExecute", [this] { aGotoHTTPExecute(); }));
  connect(aHelpAbout, &QAction::triggered, this,
          Guarded("aHelpAboutExecute", [this] { aHelpAboutExecute(); }));
  connect(aWhoisQuerySingle, &QAction::triggered, this,
          Guarded("aWhoisQuerySingleExecute", [this] { aWhoisQuerySingleExecute(); }));
}

void TformMain::ConnectHandlers() {
  connect(
      editWhoIsHistorySearch, &QLineEdit::returnPressed, this,
      Guarded("editWhoIsHistorySearchKeyPress", [this] { editWhoIsHistorySearchKeyPress('\r'); }));
  connect(cbHTTPQueryMethod, &QComboBox::currentIndexChanged, this,
          Guarded("cbHTTPQueryMethodChange", [this] { cbHTTPQueryMethodChange(); }));
  connect(lvWhoIsHistory, &QTreeWidget::itemDoubleClicked, this,
          Guarded("lvWhoIsHistoryDblClick", [this] { lvWhoIsHistoryDblClick(); }));
}

void TformMain::CreateMenus() {
  menuMain = menuBar();
  menuMain->setObjectName("menuMain");

  miFile = menuMain->addMenu("&File");
  miFile->setObjectName("miFile");
  miExit = miFile->addAction("E&xit");
  miExit->setObjectName("miExit");
  connect(miExit, &QAction::triggered, this, Guarded("miExitClick", [this] { miExitClick(); }));

  miActions = menuMain->addMenu("&Actions");
  miActions->setObjectName("miActions");
  miGotoAdapters = AddActionItem(miActions, "miGotoAdapters", aGotoAdapters);
  miGotoUsers = AddActionItem(miActions, "miGotoUsers", aGotoUsers);
  miGotoTraceroute = AddActionItem(miActions, "miGotoTraceroute", aGotoTraceroute);
  miGotoWhois = AddActionItem(miActions, "miGotoWhois", aGotoWhois);
  miGotoHTTP = AddActionItem(miActions, "miGotoHTTP", aGotoHTTP);

  miLanguages = menuMain->addMenu("&Languages");
  miLanguages->setObjectName("miLanguages");

  miHelp = menuMain->addMenu("&Help");
  miHelp->setObjectName("miHelp");
  miHelpAbout = AddActionItem(miHelp, "miHelpAbout", aHelpAbout);

  popupWhoisQueryLoadOld = new QMenu(this);
  popupWhoisQueryLoadOld->setObjectName("popupWhoisQueryLoadOld");
  popupWhoisFilter = new QMenu(this);
  popupWhoisFilter->setObjectName("popupWhoisFilter");
  pmiWhoisFilterEmails =
      AddActionItem(popupWhoisFilter, "pmiWhoisFilterEmails", aWhoisFilterEmails);
  pmiWhoisFilterNameServer =
      AddActionItem(popupWhoisFilter, "pmiWhoisFilterNameServer", aWhoisFilterNameServer);
  popupWhoisFilterList = new QMenu(this);
  popupWhoisFilterList->setObjectName("popupWhoisFilterList");
  pmiWhoisFilterSave = AddActionItem(popupWhoisFilterList, "pmiWhoisFilterSave", aWhoisFilterSave);
}

QToolBar* TformMain::CreatePageToolBar(const QString& name, int buttonWidth) {
  auto* bar = new QToolBar(this);
  bar->setObjectName(name);
  bar->setMovable(false);
  bar->setIconSize(QSize(img24.Width(), img24.Height()));
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  bar->setStyleSheet(
      "QToolBar { border: none; border-bottom: 1px solid palette(mid);"
      " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 palette(light),"
      " stop:1 palette(button)); }");
  return bar;
}

QToolButton* TformMain::AddToolButton(QToolBar* bar, const QString& name, QAction* action,
                                      int width, bool visible) {
  auto* button = new QToolButton(bar);
  button->setObjectName(name);
  button->setDefaultAction(action);
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  // The layout's width, or more where the caption needs it in the font
  // this machine has: a caption is never cut.
  button->setMinimumWidth(width);
  button->setFixedHeight(kToolButtonHeight);
  bar->addWidget(button)->setVisible(visible);
  return button;
}

QWidget* TformMain::CreateAdaptersPage() {
  tsAdapterInfo = CreatePage("tsAdapterInfo", this);
  auto* layout = PageLayout(tsAdapterInfo);

  panelAdapterInfo = new QFrame(tsAdapterInfo);
  panelAdapterInfo->setObjectName("panelAdapterInfo");
  panelAdapterInfo->setFixedHeight(37);
  panelAdapterInfo->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* row = new QHBoxLayout(panelAdapterInfo);
  labelAdapterChoice = new QLabel("Adapter:", panelAdapterInfo);
  labelAdapterChoice->setObjectName("labelAdapterChoice");
  cbAdapterInfos = new QComboBox(panelAdapterInfo);
  cbAdapterInfos->setObjectName("cbAdapterInfos");
  cbAdapterInfos->setMaxVisibleItems(16);
  row->addWidget(labelAdapterChoice);
  row->addWidget(cbAdapterInfos, 1);
  layout->addWidget(panelAdapterInfo);

  vleAdapterInfo = new QTableWidget(0, 2, tsAdapterInfo);
  vleAdapterInfo->setObjectName("vleAdapterInfo");
  vleAdapterInfo->setHorizontalHeaderLabels({"Key", "Value"});
  vleAdapterInfo->verticalHeader()->hide();
  vleAdapterInfo->setEditTriggers(QAbstractItemView::NoEditTriggers);
  vleAdapterInfo->setColumnWidth(0, 150);
  vleAdapterInfo->setColumnWidth(1, 465);
  layout->addWidget(vleAdapterInfo, 1);
  return tsAdapterInfo;
}

QWidget* TformMain::CreateUsersPage() {
  tabUsers = CreatePage("tabUsers", this);
  auto* layout = PageLayout(tabUsers);
  lvUsers = CreateReportList("lvUsers", {"Username", "Full Name", "Level", "SID", "Comments"},
                             {96, 128, 72, 300, 128}, tabUsers);
  lvUsers->headerItem()->setTextAlignment(2, Qt::AlignCenter);
  lvUsers->setIconSize(QSize(ilLists.Width(), ilLists.Height()));
  layout->addWidget(lvUsers, 1);
  return tabUsers;
}

QWidget* TformMain::CreateTraceroutePage() {
  tabTraceroute = CreatePage("tabTraceroute", this);
  auto* layout = PageLayout(tabTraceroute);
  toolbarTraceroute = CreatePageToolBar("toolbarTraceroute", kToolButtonWidth);
  bnTracerouteQuerySingle = AddToolButton(toolbarTraceroute, "bnTracerouteQuerySingle",
                                          aTracerouteQuerySingle, kToolButtonWidth);
  layout->addWidget(toolbarTraceroute);
  lvTraceroute = CreateReportList("lvTraceroute", {"#", "Time", "IP", "Domain"}, {32, 64, 128, 0},
                                  tabTraceroute, 3);
  lvTraceroute->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvTraceroute->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  lvTraceroute->headerItem()->setTextAlignment(2, Qt::AlignCenter);
  layout->addWidget(lvTraceroute, 1);
  sbarTraceroute = new TStatusBar("sbarTraceroute", {300}, tabTraceroute);
  layout->addWidget(sbarTraceroute);
  return tabTraceroute;
}

QWidget* TformMain::CreateWhoisPage() {
  tabWhois = CreatePage("tabWhois", this);
  auto* layout = PageLayout(tabWhois);

  toolbarWhois = CreatePageToolBar("toolbarWhois", kToolButtonWidth);
  bnWhoisQuerySingle =
      AddToolButton(toolbarWhois, "bnWhoisQuerySingle", aWhoisQuerySingle, kToolButtonWidth);
  bnWhoisQueryFromFile =
      AddToolButton(toolbarWhois, "bnWhoisQueryFromFile", aWhoisQueryFromFile, kToolButtonWidth);
  bnWhoisQueryLoadOld = AddToolButton(toolbarWhois, "bnWhoisQueryLoadOld", aWhoisQueryLoadOld,
                                      kToolButtonWidth, false);
  bnWhoisQueryLoadOld->setMenu(popupWhoisQueryLoadOld);
  bnWhoisQueryLoadOld->setPopupMode(QToolButton::MenuButtonPopup);
  bnWhoisFilterEmails =
      AddToolButton(toolbarWhois, "bnWhoisFilterEmails", aWhoisFilter, kToolButtonWidth, false);
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
  tvWhoisFiltered->setSortingEnabled(true);
  tvWhoisFiltered->sortByColumn(0, Qt::AscendingOrder);
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

  sbarWhois = new TStatusBar("sbarWhois", {300}, tabWhois);
  layout->addWidget(sbarWhois);
  return tabWhois;
}

QWidget* TformMain::CreateHTTPPage() {
  tabHTTP = CreatePage("tabHTTP", this);
  auto* layout = PageLayout(tabHTTP);

  toolbarHTTP = CreatePageToolBar("toolbarHTTP", kHTTPToolButtonWidth);
  bnHTTPCatchIEUrl =
      AddToolButton(toolbarHTTP, "bnHTTPCatchIEUrl", aHTTPCatchIEUrl, kHTTPToolButtonWidth);
  bnHTTPPasteClipboardUrl = AddToolButton(toolbarHTTP, "bnHTTPPasteClipboardUrl",
                                          aHTTPPasteClipboardUrl, kHTTPToolButtonWidth);
  layout->addWidget(toolbarHTTP);

  panelHTTP = new QFrame(tabHTTP);
  panelHTTP->setObjectName("panelHTTP");
  panelHTTP->setFixedHeight(33);
  auto* row = new QHBoxLayout(panelHTTP);
  row->setContentsMargins(4, 2, 4, 2);
  labelHTTPUrl = new QLabel("URL base:", panelHTTP);
  labelHTTPUrl->setObjectName("labelHTTPUrl");
  cbHTTPBaseUrl = new QComboBox(panelHTTP);
  cbHTTPBaseUrl->setObjectName("cbHTTPBaseUrl");
  cbHTTPBaseUrl->setEditable(true);
  cbHTTPBaseUrl->setEditText("http://please.enter.a.full.url/");
  cbHTTPQueryMethod = new QComboBox(panelHTTP);
  cbHTTPQueryMethod->setObjectName("cbHTTPQueryMethod");
  cbHTTPQueryMethod->addItems({"GET", "POST", "HEAD"});
  cbHTTPQueryMethod->setCurrentIndex(0);
  row->addWidget(labelHTTPUrl);
  row->addWidget(cbHTTPBaseUrl, 1);
  row->addWidget(cbHTTPQueryMethod);
  layout->addWidget(panelHTTP);

  splitHTTP = new QSplitter(Qt::Vertical, tabHTTP);
  splitHTTP->setObjectName("splitHTTP");
  pcHTTP = new QTabWidget(splitHTTP);
  pcHTTP->setObjectName("pcHTTP");

  tabHTTPPost = CreatePage("tabHTTPPost", pcHTTP);
  memoHTTPPostData = new QPlainTextEdit(tabHTTPPost);
  memoHTTPPostData->setObjectName("memoHTTPPostData");
  PageLayout(tabHTTPPost)->addWidget(memoHTTPPostData);

  tabHTTPHeaders = CreatePage("tabHTTPHeaders", pcHTTP);
  lvHTTPHeaders =
      CreateReportList("lvHTTPHeaders", {"Field", "Value"}, {128, 0}, tabHTTPHeaders, 1);
  PageLayout(tabHTTPHeaders)->addWidget(lvHTTPHeaders);

  tabHTTPCookies = CreatePage("tabHTTPCookies", pcHTTP);
  lvHTTPCookies = CreateReportList("lvHTTPCookies", {"Location", "Name", "Value", "Expires"},
                                   {128, 80, 200, 160}, tabHTTPCookies, 2);
  PageLayout(tabHTTPCookies)->addWidget(lvHTTPCookies);

  tabHTTPSource = CreatePage("tabHTTPSource", pcHTTP);
  memoHTTPSource = new QPlainTextEdit(tabHTTPSource);
  memoHTTPSource->setObjectName("memoHTTPSource");
  memoHTTPSource->setReadOnly(true);
  memoHTTPSource->setFont(QFont("Courier New", 10));
  PageLayout(tabHTTPSource)->addWidget(memoHTTPSource);

  tabHTTPPreview = CreatePage("tabHTTPPreview", pcHTTP);
  htmlViewer = new QTextBrowser(tabHTTPPreview);
  htmlViewer->setObjectName("htmlViewer");
  htmlViewer->setFrameShape(QFrame::NoFrame);
  htmlViewer->setOpenLinks(false);
  htmlViewer->document()->setDefaultFont(QFont("Times New Roman"));
  PageLayout(tabHTTPPreview)->addWidget(htmlViewer);

  pcHTTP->addTab(tabHTTPPost, "POST Data");
  pcHTTP->addTab(tabHTTPHeaders, "Headers");
  pcHTTP->addTab(tabHTTPCookies, "Cookies");
  pcHTTP->addTab(tabHTTPSource, "Source");
  pcHTTP->addTab(tabHTTPPreview, "Preview");
  pcHTTP->setTabVisible(0, false);
  pcHTTP->setCurrentWidget(tabHTTPHeaders);

  memoHTTP = new QPlainTextEdit(splitHTTP);
  memoHTTP->setObjectName("memoHTTP");
  memoHTTP->setReadOnly(true);
  // The log is 56 pixels high at start, lower than a text box's usual least
  // height.
  memoHTTP->setMinimumHeight(kHTTPLogHeight);
  splitHTTP->addWidget(pcHTTP);
  splitHTTP->addWidget(memoHTTP);
  splitHTTP->setSizes({400, kHTTPLogHeight});
  splitHTTP->setStretchFactor(0, 1);
  layout->addWidget(splitHTTP, 1);
  return tabHTTP;
}

void TformMain::FormCreate() {
  // appPathFixed is set by the constructor from the program file's folder.
  CreateWhoisCache();
  // The translator hooks in here once it exists.
  appPathData = ChooseDataFolder(appPathFixed, GetAppDataFolder());
  ForceDirectories(appPathData + "Filter/Whois/");
  ForceDirectories(appPathData + "Query/Whois/");
  FWhoIsServerList = std::make_unique<TStringList>();
  LoadWhoisServerTable();
}

void TformMain::FormDestroy() {
  FWhoIsServerList.reset();
  FWhoIsCache.reset();
}

void TformMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!event->spontaneous()) Guarded("FormShow", [this] { FormShow(); })();
}

void TformMain::closeEvent(QCloseEvent* event) {
  Guarded("FormClose", [this] { FormClose(); })();
  QMainWindow::closeEvent(event);
}

std::string TformMain::GetMessageStr(TMyStrings ms) const {
  // Until a language is loaded every message is its default text.
  return LineToString(MyTranslationStrings.at(ms)[1]);
}

void TformMain::ShowPage(QWidget* page) { pcOptions->setCurrentWidget(page); }

void TformMain::aGotoAdaptersExecute() { ShowPage(tsAdapterInfo); }
void TformMain::aGotoUsersExecute() { ShowPage(tabUsers); }
void TformMain::aGotoTracerouteExecute() { ShowPage(tabTraceroute); }
void TformMain::aGotoWhoisExecute() { ShowPage(tabWhois); }
void TformMain::aGotoHTTPExecute() { ShowPage(tabHTTP); }

void TformMain::miExitClick() { close(); }

void TformMain::aHelpAboutExecute() {
  // The full about dialog with its update check replaces this short notice.
  Dialogs().ShowMessage(this, "About Corvina",
                        "Corvina " + CorvinaVersion() + "\nNetwork analysis toolbox");
}
