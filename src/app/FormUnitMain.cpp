#include "FormUnitMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include "AntiFreeze.h"
#include "CrashReporter.h"
#include "DialogService.h"
#include "FormUnitMainPages.h"
#include "MainDataFolder.h"
#include "NetAntiFreeze.h"
#include "WhoisServerList.h"
#include "brmUIDlgAbout.h"
#include "utFiles.h"
#include "utPathSolve.h"
#include "utStrings.h"
#include "utTranslator.h"

namespace {

QStringList ImagePaths(const QString& folder, int count) {
  QStringList paths;
  for (int i = 0; i < count; ++i) paths << QString(":/%1/%2.png").arg(folder).arg(i);
  return paths;
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
  alMain->setProperty("actionList", true);
  aWhoisQuerySingle = CreateAction("aWhoisQuerySingle", "Whois", "Query domain...", 0);
  aWhoisQueryRdap = CreateAction("aWhoisQueryRdap", "Whois", "Query domain over RDAP...", 0);
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
  connect(aWhoisQueryRdap, &QAction::triggered, this,
          Guarded("aWhoisQueryRdapExecute", [this] { aWhoisQueryRdapExecute(); }));
  connect(aTracerouteQuerySingle, &QAction::triggered, this,
          Guarded("aTracerouteQuerySingleExecute", [this] { aTracerouteQuerySingleExecute(); }));
  connect(aWhoisQuerySave, &QAction::triggered, this,
          Guarded("aWhoisQuerySaveExecute", [this] { aWhoisQuerySaveExecute(); }));
  connect(aWhoisQueryLoadOld, &QAction::triggered, this,
          Guarded("aWhoisQueryLoadOldExecute", [this] { aWhoisQueryLoadOldExecute(); }));
  connect(aWhoisQueryFromFile, &QAction::triggered, this,
          Guarded("aWhoisQueryFromFileExecute", [this] { aWhoisQueryFromFileExecute(); }));
  connect(aWhoisFilter, &QAction::triggered, this,
          Guarded("aWhoisFilterExecute", [this] { aWhoisFilterExecute(); }));
  connect(aWhoisFilterEmails, &QAction::triggered, this,
          Guarded("aWhoisFilterEmailsExecute", [this] { aWhoisFilterEmailsExecute(); }));
  connect(aWhoisFilterNameServer, &QAction::triggered, this,
          Guarded("aWhoisFilterNameServerExecute", [this] { aWhoisFilterNameServerExecute(); }));
  connect(aHTTPCatchIEUrl, &QAction::triggered, this,
          Guarded("aHTTPCatchIEUrlExecute", [this] { aHTTPCatchIEUrlExecute(); }));
  connect(aHTTPPasteClipboardUrl, &QAction::triggered, this,
          Guarded("aHTTPPasteClipboardUrlExecute", [this] { aHTTPPasteClipboardUrlExecute(); }));
  connect(aWhoisFilterSave, &QAction::triggered, this,
          Guarded("aWhoisFilterSaveExecute", [this] { aWhoisFilterSaveExecute(); }));
}

void TformMain::ConnectHandlers() {
  connect(
      editWhoIsHistorySearch, &QLineEdit::returnPressed, this,
      Guarded("editWhoIsHistorySearchKeyPress", [this] { editWhoIsHistorySearchKeyPress('\r'); }));
  OnKeyPress(cbHTTPBaseUrl->lineEdit(), [this](char key) {
    Guarded("cbHTTPBaseUrlKeyPress", [this, key] { cbHTTPBaseUrlKeyPress(key); })();
    // Enter is the URL box's own: the combo box does not see it again.
    return key == '\r';
  });
  connect(cbHTTPQueryMethod, &QComboBox::currentIndexChanged, this,
          Guarded("cbHTTPQueryMethodChange", [this] { cbHTTPQueryMethodChange(); }));
  connect(cbAdapterInfos, &QComboBox::activated, this,
          Guarded("cbAdapterInfosSelect", [this] { cbAdapterInfosSelect(); }));
  connect(lvWhoIsHistory, &QTreeWidget::itemDoubleClicked, this,
          Guarded("lvWhoIsHistoryDblClick", [this] { lvWhoIsHistoryDblClick(); }));
  connect(popupWhoisQueryLoadOld, &QMenu::aboutToShow, this,
          Guarded("popupWhoisQueryLoadOldPopup", [this] { popupWhoisQueryLoadOldPopup(); }));
  connect(tvWhoisFiltered, &QTreeWidget::itemDoubleClicked, this,
          Guarded("tvWhoisFilteredDblClick", [this] { tvWhoisFilteredDblClick(); }));
  connect(tvWhoisFiltered, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    popupWhoisFilterList->popup(tvWhoisFiltered->viewport()->mapToGlobal(at));
  });
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
  languageMenu = std::make_unique<TLanguageMenuItems>(miLanguages);

  miHelp = menuMain->addMenu("&Help");
  miHelp->setObjectName("miHelp");
  miHelpAbout = AddActionItem(miHelp, "miHelpAbout", aHelpAbout);

  popupWhoisQuerySingle = new QMenu(this);
  popupWhoisQuerySingle->setObjectName("popupWhoisQuerySingle");
  pmiWhoisQuerySingle =
      AddActionItem(popupWhoisQuerySingle, "pmiWhoisQuerySingle", aWhoisQuerySingle);
  pmiWhoisQueryRdap = AddActionItem(popupWhoisQuerySingle, "pmiWhoisQueryRdap", aWhoisQueryRdap);
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

void TformMain::FormCreate() {
  // appPathFixed is set by the constructor from the program file's folder.
  CreateWhoisCache();
  if (ApplicationTranslator) {
    ApplicationTranslator->SetRegistryParams(
        HKEY_CURRENT_USER, "\\Software\\Brenmoor\\Probeworks\\Corvina", "Language");
    ApplicationTranslator->SetFileParams(appPathFixed + "Languages/", "crv");
    // An installed program cannot write its own folder: the English file
    // then goes to the user's data folder, and both folders are searched.
    ApplicationTranslator->FUserFilePath = GetAppDataFolder() + "Corvina/Languages/";
    std::vector<TutTranslationString> messages(MyTranslationStrings.begin(),
                                               MyTranslationStrings.end());
    messages.insert(messages.end(), MyAddedTranslationStrings.begin(),
                    MyAddedTranslationStrings.end());
    ApplicationTranslator->SetDefaultMessagesFromArrays(messages);
    ApplicationTranslator->FApplication = &TranslatedApplication();
    ApplicationTranslator->SetDisplayMenuItem(languageMenu.get());
  }
  appPathData = ChooseDataFolder(
      appPathFixed, IncludeTrailingPathDelimiter(SolveVirtualStringAnsi("<$APPDATA>/")));
  ForceDirectories(appPathData + "Filter/Whois/");
  ForceDirectories(appPathData + "Query/Whois/");
  FWhoIsServerList = std::make_unique<TStringList>();
  LoadWhoisServerTable();
}

void TformMain::FormDestroy() {
  // The Languages menu goes with the window.
  if (ApplicationTranslator && ApplicationTranslator->FDisplayMenuItem == languageMenu.get())
    ApplicationTranslator->SetDisplayMenuItem(nullptr);
  FAdapterDetails.clear();
  FWhoIsServerList.reset();
  FWhoIsCache.reset();
}

void TformMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!event->spontaneous()) Guarded("FormShow", [this] { FormShow(); })();
}

void TformMain::closeEvent(QCloseEvent* event) {
  Guarded("FormClose", [this] { FormClose(); })();
  // A lookup, batch or filter run that waits ends at its next wait, so
  // the program ends with the window instead of going on unseen.
  AbandonWaits();
  QMainWindow::closeEvent(event);
}

namespace {

// The text of a message: the loaded language's, or the default the window
// gave the translator; the built-in text when there is no translator or it
// was not told this message.
std::string MessageText(const TutTranslationString& message) {
  if (ApplicationTranslator &&
      (ApplicationTranslator->FMessages.IndexOfName(message[0]) >= 0 ||
       ApplicationTranslator->FDefaultMessages.IndexOfName(message[0]) >= 0))
    return LineToString(ApplicationTranslator->GetMessage(message[0]));
  return LineToString(message[1]);
}

}  // namespace

std::string TformMain::GetMessageStr(TMyStrings ms) const {
  return MessageText(MyTranslationStrings.at(ms));
}

std::string TformMain::GetMessageStr(TMyAddedStrings ms) const {
  return MessageText(MyAddedTranslationStrings.at(ms));
}

void TformMain::ShowPage(QWidget* page) { pcOptions->setCurrentWidget(page); }

void TformMain::aGotoAdaptersExecute() { ShowPage(tsAdapterInfo); }
void TformMain::aGotoUsersExecute() { ShowPage(tabUsers); }
void TformMain::aGotoTracerouteExecute() { ShowPage(tabTraceroute); }
void TformMain::aGotoWhoisExecute() { ShowPage(tabWhois); }
void TformMain::aGotoHTTPExecute() { ShowPage(tabHTTP); }

void TformMain::miExitClick() { close(); }

void TformMain::aHelpAboutExecute() {
  BRMAboutUpdateIniName = "corvina.ini";
  ShowBRMAboutDialog("", false, this);
}
