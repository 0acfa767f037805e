// The main window's HTTP page: the page itself and the handlers that exist
// before the HTTP client does.
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "FormUnitMain.h"
#include "FormUnitMainPages.h"
#include "brmConfig.h"

namespace {

// The log is 56 pixels high at start, lower than a text box's usual least
// height.
constexpr int kHTTPLogHeight = 56;

}  // namespace

void TformMain::cbHTTPQueryMethodChange() {
  const int method = cbHTTPQueryMethod->currentIndex();
  pcHTTP->setTabVisible(pcHTTP->indexOf(tabHTTPPost), method == 1);
  pcHTTP->setTabVisible(pcHTTP->indexOf(tabHTTPSource), method != 2);
  pcHTTP->setTabVisible(pcHTTP->indexOf(tabHTTPPreview), method != 2);
}

void TformMain::HTTPStoreLastQuery(const std::string& url) {
  // Called by the HTTP query right after a request returned without error.
  if (!GConfigManager) return;
  GConfigManager->WriteString("LastQuery", url, false);
  GConfigManager->WriteInteger("LastQueryType", cbHTTPQueryMethod->currentIndex(), false);
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
  memoHTTP->setMinimumHeight(kHTTPLogHeight);
  splitHTTP->addWidget(pcHTTP);
  splitHTTP->addWidget(memoHTTP);
  splitHTTP->setSizes({400, kHTTPLogHeight});
  splitHTTP->setStretchFactor(0, 1);
  layout->addWidget(splitHTTP, 1);
  return tabHTTP;
}
