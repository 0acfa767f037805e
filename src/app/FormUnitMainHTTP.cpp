// The main window's HTTP page: one URL fetched with GET, POST or HEAD, the
// log of the exchange, the headers and cookies of the answers, the body as
// highlighted source and as a rendered page.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStringDecoder>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>

#include "BrowserWindows.h"
#include "DialogService.h"
#include "FormUnitMain.h"
#include "FormUnitMainPages.h"
#include "HTMLDisplay.h"
#include "NetAntiFreeze.h"
#include "brmConfig.h"
#include "utCodePage.h"
#include "utFormat.h"
#include "utStrings.h"

namespace {

// The log is 56 pixels high at start, lower than a text box's usual least
// height.
constexpr int kHTTPLogHeight = 56;
// A server that stops sending holds a query for at most this long.
constexpr int kHTTPReadTimeout = 60000;

// While a query runs, nothing starts another or changes what it sends: the
// URL box, the method, the POST data and the page's actions are disabled,
// and come back however the query ends.
class THTTPQueryLock {
 public:
  explicit THTTPQueryLock(TformMain& form) : form_(form) {
    form_.HTTPQueryRunning = true;
    SetEnabled(false);
  }
  ~THTTPQueryLock() {
    SetEnabled(true);
    form_.HTTPQueryRunning = false;
  }

 private:
  void SetEnabled(bool enabled) {
    form_.cbHTTPBaseUrl->setEnabled(enabled);
    form_.cbHTTPQueryMethod->setEnabled(enabled);
    form_.memoHTTPPostData->setReadOnly(!enabled);
    form_.aHTTPCatchIEUrl->setEnabled(enabled);
    form_.aHTTPPasteClipboardUrl->setEnabled(enabled);
  }
  TformMain& form_;
};

// The body as text for the source view: shown as the program shows every
// 8-bit text, lines ending at CR, LF or CR LF.
QString BodyToSourceText(std::string_view body) {
  QString text = ToDisplayText(body);
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

// The body as a document for the preview: in the character set the
// document names (a byte order mark or a meta tag), else as the source
// view shows it.
QString BodyToDocument(std::string_view body) {
  const QByteArrayView bytes(body.data(), static_cast<qsizetype>(body.size()));
  QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
  if (!decoder.isValid() || (qstrcmp(decoder.name(), "UTF-8") == 0 && !IsValidUtf8(body)))
    return ToDisplayText(body);
  return decoder.decode(bytes);
}

}  // namespace

void TformMain::HTTPLog(const std::string& line) { memoHTTP->appendPlainText(ToDisplayText(line)); }

void TformMain::HTTPLoadUrl(const std::string& url) {
  // One query at a time: the client waits with the window running, so a
  // second start (a key, a button, the capture) would enter it again.
  if (HTTPQueryRunning) return;
  THTTPQueryLock lock(*this);

  cbHTTPBaseUrl->setEditText(ToDisplayText(url));
  HTTPLog("Looking at: " + url);
  lvHTTPHeaders->clear();
  TMemoryStream body;
  switch (cbHTTPQueryMethod->currentIndex()) {
    case 0:
      idHTTP.Get(url, body);
      break;
    case 1: {
      // The client encodes the values in the page's own lines: the page
      // shows the encoded lines afterwards, also when the request fails.
      TStringList fields;
      fields.SetText(FromDisplayText(memoHTTPPostData->toPlainText()));
      struct TShowEncoded {
        QPlainTextEdit* memo;
        TStringList& fields;
        ~TShowEncoded() {
          QStringList lines;
          for (const std::string& line : fields.Lines()) lines << ToDisplayText(line);
          memo->setPlainText(lines.join('\n'));
        }
      } showEncoded{memoHTTPPostData, fields};
      idHTTP.Post(url, fields, body);
      break;
    }
    case 2:
      idHTTP.Head(url);
      break;
    default:
      return;
  }
  HTTPStoreLastQuery(url);

  memoHTTPSource->setPlainText(BodyToSourceText(body.View()));
  ProcessPendingMessages();
  htmlViewer->ShowDocument(BodyToDocument(body.View()));
  body = TMemoryStream();

  if (idHTTP.Response.ResponseVersion == pv1_0)
    HTTPLog("* Response (HTTP 1.0):");
  else if (idHTTP.Response.ResponseVersion == pv1_1)
    HTTPLog("* Response (HTTP 1.1):");
  QList<QTreeWidgetItem*> rows;
  for (const THeaderRow& row : HeaderRows(idHTTP.Response.RawHeaders))
    rows << new QTreeWidgetItem(QStringList{ToDisplayText(row.Field), ToDisplayText(row.Value)});
  lvHTTPHeaders->addTopLevelItems(rows);
  HTTPLog(GetMessageStr(sActionFinished));
}

void TformMain::aHTTPCatchIEUrlExecute() {
  if (HTTPQueryRunning) return;
  // One capture at a time: the action comes back however it ends.
  aHTTPCatchIEUrl->setEnabled(false);
  struct TEnable {
    QAction* action;
    ~TEnable() { action->setEnabled(true); }
  } enable{aHTTPCatchIEUrl};
  BrowserWindowManager->Refresh();

  // The drop-down entries are replaced; the text in the box stays until a
  // capture loads its first entry.
  const QString typed = cbHTTPBaseUrl->currentText();
  cbHTTPBaseUrl->clear();
  for (size_t i = 0; i < BrowserWindowManager->Count(); ++i)
    cbHTTPBaseUrl->addItem(ToDisplayText(BrowserWindowManager->Items(i).URLFieldTitle()));
  cbHTTPBaseUrl->setEditText(typed);
  std::string status;
  switch (BrowserWindowManager->Outcome()) {
    case TCaptureOutcome::coFound:
      status = Format(GetMessageStr(sHTTPCaptureFound),
                      {static_cast<long long>(BrowserWindowManager->Count())});
      break;
    case TCaptureOutcome::coNoBrowser:
      status = GetMessageStr(sHTTPCaptureNoBrowser);
      break;
    case TCaptureOutcome::coNotExposed:
      status = GetMessageStr(sHTTPCaptureNotExposed);
      break;
    case TCaptureOutcome::coNoBus:
      status = GetMessageStr(sHTTPCaptureNoBus);
      break;
  }
  sbarHTTP->SetPanelText(0, ToDisplayText(status));
  if (BrowserWindowManager->Count() > 0)
    HTTPLoadUrl(BrowserWindowManager->Items(0).URLFieldTitle());
}

void TformMain::cbHTTPBaseUrlKeyPress(char Key) {
  if (Key == '\r') HTTPLoadUrl(FromDisplayText(cbHTTPBaseUrl->currentText()));
}

void TformMain::aHTTPPasteClipboardUrlExecute() {
  const QString text = QGuiApplication::clipboard()->text();
  if (text.startsWith(QLatin1String("http://"))) {
    HTTPLoadUrl(FromDisplayText(text));
    return;
  }
  Dialogs().ShowError(this, "",
                      ToDisplayText(GetMessageStr(sHTTPNoValidClipboardURL)) + "\n" + text);
}

void TformMain::cbHTTPQueryMethodChange() {
  const int method = cbHTTPQueryMethod->currentIndex();
  pcHTTP->setTabVisible(pcHTTP->indexOf(tabHTTPPost), method == 1);
  pcHTTP->setTabVisible(pcHTTP->indexOf(tabHTTPSource), method != 2);
  pcHTTP->setTabVisible(pcHTTP->indexOf(tabHTTPPreview), method != 2);
}

void TformMain::idHTTPRedirect(TIdHTTP& Sender, std::string& dest, int& NumRedirect, bool& Handled,
                               TIdHTTPMethod& VMethod) {
  // A translated text with the wrong placeholders costs its line, never
  // the query.
  try {
    HTTPLog(Format(GetMessageStr(sHTTPRedirected), {NumRedirect, dest}));
  } catch (const std::exception&) {
  }
}

void TformMain::idHTTPStatus(TIdHTTP& ASender, TIdStatus AStatus, const std::string& AStatusText) {}

void TformMain::idCookieManagerNewCookie(TIdCookieManager& ASender, TIdNetscapeCookie& ACookie,
                                         bool& VAccept) {
  lvHTTPCookies->addTopLevelItem(new QTreeWidgetItem(
      QStringList{ToDisplayText(ACookie.Domain + ACookie.Path), ToDisplayText(ACookie.CookieName),
                  ToDisplayText(ACookie.Value), ToDisplayText(ACookie.Expires)}));
}

void TformMain::HTTPStoreLastQuery(const std::string& url) {
  // Called by the HTTP query right after a request returned without error.
  if (!GConfigManager) return;
  GConfigManager->WriteString("LastQuery", url, false);
  GConfigManager->WriteInteger("LastQueryType", cbHTTPQueryMethod->currentIndex(), false);
}

void TformMain::CreateHTTPClient() {
  idHTTP.CookieManager = &idCookieManager;
  idHTTP.ReadTimeout = kHTTPReadTimeout;
  idHTTP.OnRedirect = [this](TIdHTTP& sender, std::string& dest, int& n, bool& handled,
                             TIdHTTPMethod& method) {
    idHTTPRedirect(sender, dest, n, handled, method);
  };
  idHTTP.OnStatus = [this](TIdHTTP& sender, TIdStatus status, const std::string& text) {
    idHTTPStatus(sender, status, text);
  };
  idCookieManager.OnNewCookie = [this](TIdCookieManager& sender, TIdNetscapeCookie& cookie,
                                       bool& accept) {
    idCookieManagerNewCookie(sender, cookie, accept);
  };
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
  // Enter loads the URL; only the browser capture fills the drop-down list.
  cbHTTPBaseUrl->setInsertPolicy(QComboBox::NoInsert);
  // Its items are browser addresses, not texts of a language.
  cbHTTPBaseUrl->setProperty("tag", 1);
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
  lvHTTPHeaders->setSelectionBehavior(QAbstractItemView::SelectRows);
  PageLayout(tabHTTPHeaders)->addWidget(lvHTTPHeaders);

  tabHTTPCookies = CreatePage("tabHTTPCookies", pcHTTP);
  lvHTTPCookies = CreateReportList("lvHTTPCookies", {"Location", "Name", "Value", "Expires"},
                                   {128, 80, 200, 160}, tabHTTPCookies, 2);
  lvHTTPCookies->setSelectionBehavior(QAbstractItemView::SelectRows);
  PageLayout(tabHTTPCookies)->addWidget(lvHTTPCookies);

  tabHTTPSource = CreatePage("tabHTTPSource", pcHTTP);
  memoHTTPSource = new QPlainTextEdit(tabHTTPSource);
  memoHTTPSource->setObjectName("memoHTTPSource");
  memoHTTPSource->setReadOnly(true);
  memoHTTPSource->setLineWrapMode(QPlainTextEdit::NoWrap);
  memoHTTPSource->setFont(QFont("Courier New", 10));
  synHTMLSyn = new TSynHTMLSyn(memoHTTPSource->document());
  synHTMLSyn->setObjectName("synHTMLSyn");
  PageLayout(tabHTTPSource)->addWidget(memoHTTPSource);

  tabHTTPPreview = CreatePage("tabHTTPPreview", pcHTTP);
  htmlViewer = new THTMLViewer(tabHTTPPreview);
  htmlViewer->setObjectName("htmlViewer");
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
  memoHTTP->setMinimumHeight(kHTTPLogHeight);
  splitHTTP->addWidget(pcHTTP);
  splitHTTP->addWidget(memoHTTP);
  splitHTTP->setSizes({400, kHTTPLogHeight});
  splitHTTP->setStretchFactor(0, 1);
  layout->addWidget(splitHTTP, 1);
  sbarHTTP = new TStatusBar("sbarHTTP", {600}, tabHTTP);
  layout->addWidget(sbarHTTP);
  CreateHTTPClient();
  return tabHTTP;
}
