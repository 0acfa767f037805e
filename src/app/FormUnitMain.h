// The main window: five pages (adapters, users, trace route, whois, HTTP
// query), the action list, menus and the network components.
#pragma once

#include <QMainWindow>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "DialogService.h"
#include "FormPositions.h"
#include "IdCookieManager.h"
#include "IdHTTP.h"
#include "IdIcmpClient.h"
#include "MainMessages.h"
#include "NetWhoisClient.h"
#include "WhoisCache.h"
#include "WhoisQuery.h"
#include "Widgets.h"
#include "plPaths.h"
#include "utStringList.h"
#include "utTranslatorForms.h"

class QAction;
class QComboBox;
class QFrame;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;
class QTableWidget;
class QTextBrowser;
class QToolBar;
class QToolButton;
class QTreeWidget;
class TIdAntiFreeze;
class TSynHTMLSyn;
class THTMLViewer;
class TformWhoisQueryList;

// Presets of a save-file dialog.
struct TSaveDialogPresets {
  QString defaultExtension;
  QString filter;
  bool hideReadOnly = true;
  bool pathMustExist = true;
  bool resizable = true;
};

class TformMain : public QMainWindow {
 public:
  // programFolder is the folder the program file lies in, with a trailing "/".
  explicit TformMain(const std::string& programFolder = GetProgramFolder(),
                     QWidget* parent = nullptr);
  ~TformMain() override;

  // --- fields -------------------------------------------------------------
  std::string queryStringWhois;
  std::string filterStringWhois;
  std::unique_ptr<TStringList> FWhoIsServerList;
  // The RDAP services of the domain endings ("rdap-dns.json").
  TRdapBootstrap FRdapBootstrap;
  std::string appPathFixed;
  std::string appPathData;
  std::unique_ptr<TWhoIsCache> FWhoIsCache;
  // Why there is no usable cache (empty while there is one that stores).
  std::string FWhoIsCacheProblem;
  // The bytes of what the "Current lookup" page shows.
  std::string whoisShownText;

  // --- operations ---------------------------------------------------------
  void FormCreate();
  void FormShow();
  void FormClose();
  void FormDestroy();
  std::string GetMessageStr(TMyStrings ms) const;
  std::string GetMessageStr(TMyAddedStrings ms) const;

  void aGotoAdaptersExecute();
  void aGotoUsersExecute();
  void aGotoTracerouteExecute();
  void aGotoWhoisExecute();
  void aGotoHTTPExecute();
  void miExitClick();
  void aHelpAboutExecute();

  // Whois lookup (FormUnitMainWhois.cpp).
  void LoadWhoisServerTable();
  std::string WhoisGetServer(std::string_view domain) const;
  void WhoisAttachQuery(std::string_view domain, std::deque<std::string>& list,
                        std::string& report);
  // rdapOnly: the lookup asks RDAP only.
  void WhoisProcessQuery(std::string domain, bool rdapOnly = false);
  void aWhoisQuerySingleExecute();
  // "Query domain over RDAP...", on the drop-down of "Query domain...".
  void aWhoisQueryRdapExecute();
  // What the "Current lookup" page shows: replaced by text, or text added
  // after what it shows. text is report text (lines each with CR LF); the
  // page keeps it byte for byte in whoisShownText, which "Save report"
  // writes.
  void WhoisShowText(const std::string& text, bool append);

  // Reports and batch lookups (FormUnitMainWhoisReports.cpp).
  void aWhoisQuerySaveExecute();
  void aWhoisQueryLoadOldExecute();
  void popupWhoisQueryLoadOldPopup();
  void WhoisFillQueryList();
  void WhoisLoadOldClick(QObject* Sender);
  void aWhoisQueryFromFileExecute();
  // A file dialog for text files: the filter named by a message with
  // "|*.txt", the extension "txt" and a folder to start in.
  TFileDialogOptions TextFileOptions(TMyStrings filterName, const std::string& folder) const;
  // The whois list dialog of batch lookups (made when the program has none).
  TformWhoisQueryList& WhoisQueryList();

  // Report filter (FormUnitMainWhoisFilter.cpp).
  void aWhoisFilterExecute();
  void aWhoisFilterEmailsExecute();
  void aWhoisFilterNameServerExecute();
  void WhoisFilterGrep(const std::string& grepPattern);
  void tvWhoisFilteredDblClick();
  void aWhoisFilterSaveExecute();
  void SaveTreeToFile(const std::string& filename);
  static std::string MakeCleanFilename(std::string_view filename);

  // Adapters page (FormUnitMainAdapters.cpp).
  void RefreshAdapterList();
  void cbAdapterInfosSelect();
  // The properties of every entry of cbAdapterInfos (the entry's data is
  // its index here).
  std::vector<std::unique_ptr<TStringList>> FAdapterDetails;

  // Users page (FormUnitMainUsers.cpp).
  void RefreshUserList();

  // Trace route page (FormUnitMainTrace.cpp).
  void aTracerouteQuerySingleExecute();

  // HTTP page (FormUnitMainHTTP.cpp).
  // Fetches url with the chosen method and shows what came back; does
  // nothing while another query runs.
  void HTTPLoadUrl(const std::string& url);
  void cbHTTPBaseUrlKeyPress(char Key);
  void aHTTPPasteClipboardUrlExecute();
  // Takes the addresses of the open browser windows into the URL box's
  // drop-down list and loads the first.
  void aHTTPCatchIEUrlExecute();
  void cbHTTPQueryMethodChange();
  void idHTTPRedirect(TIdHTTP& Sender, std::string& dest, int& NumRedirect, bool& Handled,
                      TIdHTTPMethod& VMethod);
  void idHTTPStatus(TIdHTTP& ASender, TIdStatus AStatus, const std::string& AStatusText);
  void idCookieManagerNewCookie(TIdCookieManager& ASender, TIdNetscapeCookie& ACookie,
                                bool& VAccept);
  // Stores the URL and method of a request that returned without error.
  void HTTPStoreLastQuery(const std::string& url);
  // Adds a line to the log of the page.
  void HTTPLog(const std::string& line);
  // True while HTTPLoadUrl runs.
  bool HTTPQueryRunning = false;

  // Lookup cache and History page (FormUnitMainWhoisCache.cpp).
  void CreateWhoisCache();
  void editWhoIsHistorySearchKeyPress(char key);
  void lvWhoIsHistoryDblClick();

  // --- pages and controls -------------------------------------------------
  QTabWidget* pcOptions = nullptr;
  QWidget* tsAdapterInfo = nullptr;
  QWidget* tabUsers = nullptr;
  QWidget* tabTraceroute = nullptr;
  QWidget* tabWhois = nullptr;
  QWidget* tabHTTP = nullptr;

  QFrame* panelAdapterInfo = nullptr;
  QLabel* labelAdapterChoice = nullptr;
  QComboBox* cbAdapterInfos = nullptr;
  QTableWidget* vleAdapterInfo = nullptr;

  QTreeWidget* lvUsers = nullptr;

  QToolBar* toolbarTraceroute = nullptr;
  QToolButton* bnTracerouteQuerySingle = nullptr;
  QTreeWidget* lvTraceroute = nullptr;
  TStatusBar* sbarTraceroute = nullptr;

  QToolBar* toolbarWhois = nullptr;
  QToolButton* bnWhoisQuerySingle = nullptr;
  QToolButton* bnWhoisQueryFromFile = nullptr;
  QToolButton* bnWhoisQueryLoadOld = nullptr;
  QToolButton* bnWhoisFilterEmails = nullptr;
  QToolButton* bnWhoisQuerySave = nullptr;
  QTreeWidget* tvWhoisFiltered = nullptr;
  QSplitter* splitWhois = nullptr;
  QTabWidget* pcWhoIs = nullptr;
  QWidget* tabWhoIsCurrent = nullptr;
  QWidget* tabWhoIsHistory = nullptr;
  QPlainTextEdit* memoWhois = nullptr;
  QLabel* labelWhoIsHistorySearch = nullptr;
  QLineEdit* editWhoIsHistorySearch = nullptr;
  QTreeWidget* lvWhoIsHistory = nullptr;
  TStatusBar* sbarWhois = nullptr;

  QToolBar* toolbarHTTP = nullptr;
  QToolButton* bnHTTPCatchIEUrl = nullptr;
  QToolButton* bnHTTPPasteClipboardUrl = nullptr;
  QFrame* panelHTTP = nullptr;
  QLabel* labelHTTPUrl = nullptr;
  QComboBox* cbHTTPBaseUrl = nullptr;
  QComboBox* cbHTTPQueryMethod = nullptr;
  QTabWidget* pcHTTP = nullptr;
  QWidget* tabHTTPPost = nullptr;
  QWidget* tabHTTPHeaders = nullptr;
  QWidget* tabHTTPCookies = nullptr;
  QWidget* tabHTTPSource = nullptr;
  QWidget* tabHTTPPreview = nullptr;
  QPlainTextEdit* memoHTTPPostData = nullptr;
  QTreeWidget* lvHTTPHeaders = nullptr;
  QTreeWidget* lvHTTPCookies = nullptr;
  QPlainTextEdit* memoHTTPSource = nullptr;
  TSynHTMLSyn* synHTMLSyn = nullptr;
  THTMLViewer* htmlViewer = nullptr;
  QSplitter* splitHTTP = nullptr;
  QPlainTextEdit* memoHTTP = nullptr;
  TStatusBar* sbarHTTP = nullptr;

  // --- actions and menus --------------------------------------------------
  QObject* alMain = nullptr;
  QAction* aWhoisQuerySingle = nullptr;
  QAction* aWhoisQueryRdap = nullptr;
  QAction* aWhoisQueryFromFile = nullptr;
  QAction* aWhoisQueryLoadOld = nullptr;
  QAction* aWhoisFilterEmails = nullptr;
  QAction* aWhoisFilterNameServer = nullptr;
  QAction* aGotoWhois = nullptr;
  QAction* aGotoTraceroute = nullptr;
  QAction* aTracerouteQuerySingle = nullptr;
  QAction* aWhoisFilter = nullptr;
  QAction* aWhoisFilterSave = nullptr;
  QAction* aHTTPCatchIEUrl = nullptr;
  QAction* aHTTPPasteClipboardUrl = nullptr;
  QAction* aGotoHTTP = nullptr;
  QAction* aWhoisQuerySave = nullptr;
  QAction* aGotoAdapters = nullptr;
  QAction* aGotoUsers = nullptr;
  QAction* aHelpAbout = nullptr;

  QMenuBar* menuMain = nullptr;
  QMenu* miFile = nullptr;
  QAction* miExit = nullptr;
  QMenu* miActions = nullptr;
  QAction* miGotoAdapters = nullptr;
  QAction* miGotoUsers = nullptr;
  QAction* miGotoTraceroute = nullptr;
  QAction* miGotoWhois = nullptr;
  QAction* miGotoHTTP = nullptr;
  QMenu* miLanguages = nullptr;
  QMenu* miHelp = nullptr;
  QAction* miHelpAbout = nullptr;
  QMenu* popupWhoisQuerySingle = nullptr;
  QAction* pmiWhoisQuerySingle = nullptr;
  QAction* pmiWhoisQueryRdap = nullptr;
  QMenu* popupWhoisQueryLoadOld = nullptr;
  QMenu* popupWhoisFilter = nullptr;
  QAction* pmiWhoisFilterEmails = nullptr;
  QAction* pmiWhoisFilterNameServer = nullptr;
  QMenu* popupWhoisFilterList = nullptr;
  QAction* pmiWhoisFilterSave = nullptr;

  // --- non-visual components ----------------------------------------------
  TIdWhois idWhoIs;
  TRdapClient idRdap;
  TIdIcmpClient idIcmpClient;
  TIdCookieManager idCookieManager;
  TIdHTTP idHTTP;
  TIdAntiFreeze* idAntiFreeze = nullptr;
  TSaveDialogPresets sdQuery;
  TImageList img24;
  TImageList ilLists;
  // The window's entry in the configuration manager's list of forms.
  TFormRegistration positionEntry{this};
  // The window among those the translator applies languages to, and its
  // Languages menu as the translator fills it.
  TTranslatedForm translationEntry{this};
  std::unique_ptr<TLanguageMenuItems> languageMenu;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateActions();
  // Connects the handlers of controls (the actions connect in CreateActions).
  void ConnectHandlers();
  void CreateMenus();
  QWidget* CreateAdaptersPage();
  QWidget* CreateUsersPage();
  QWidget* CreateTraceroutePage();
  QWidget* CreateWhoisPage();
  QWidget* CreateHTTPPage();
  // Sets up idHTTP and idCookieManager and wires their events to the page.
  void CreateHTTPClient();
  QToolBar* CreatePageToolBar(const QString& name, int buttonWidth);
  QToolButton* AddToolButton(QToolBar* bar, const QString& name, QAction* action, int width,
                             bool visible = true);
  QAction* CreateAction(const QString& name, const QString& category, const QString& caption,
                        int image);
  // A lookup with idWhoIs (and idRdap) that shows each server it asks in
  // the status bar.
  TWhoisLookup WhoisLookup();
  // The dialog and lookup of "Query domain..." and its RDAP form.
  void WhoisQuerySingle(bool rdapOnly);
  // Makes a page of pcOptions the active one.
  void ShowPage(QWidget* page);
};
