#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>

#include "BrowserWindows.h"
#include "FakeAccessibility.h"
#include "HTMLDisplay.h"
#include "HttpScriptServer.h"
#include "NginxServer.h"
#include "RegistrySandbox.h"
#include "WhoisWindow.h"
#include "brmConfig.h"
#include "brmRegTools.h"

namespace {

const char* kNginxLocations = R"(
    absolute_redirect off;
    location = /r1 { return 302 /r2; }
    location = /r2 { return 302 /dir/final.html; }
    location = /cookies {
      add_header Set-Cookie "site=1; Path=/";
      add_header Set-Cookie "bare=2";
      return 200 "<p>cookies</p>";
    }
)";

// The main window with settings of its own, for the HTTP page.
struct THTTPWindow {
  TRegistrySandbox box;
  TBRMConfigManager config;
  std::unique_ptr<TWhoisWindow> w;
  THTTPWindow() {
    config.SetProductName("Corvina");
    GConfigManager = &config;
    w = std::make_unique<TWhoisWindow>();
  }
  ~THTTPWindow() {
    w.reset();
    GConfigManager = nullptr;
  }
  TformMain& form() { return *w->form; }
  QStringList Log() { return form().memoHTTP->toPlainText().split('\n'); }
  // Enter in the URL box, as the user presses it.
  void Enter(const QString& url) {
    form().cbHTTPBaseUrl->setEditText(url);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(form().cbHTTPBaseUrl->lineEdit(), &press);
  }
  std::vector<std::pair<QString, QString>> Rows(QTreeWidget* list, int a, int b) {
    std::vector<std::pair<QString, QString>> rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
      rows.emplace_back(list->topLevelItem(i)->text(a), list->topLevelItem(i)->text(b));
    return rows;
  }
  std::string Stored(const char* name) {
    std::string v = "(none)";
    config.ReadString(name, v);
    return v;
  }
};

std::unique_ptr<TNginxServer> StartNginx() {
  std::string why;
  if (!TNginxServer::Available(why)) return nullptr;
  auto nginx = std::make_unique<TNginxServer>(kNginxLocations);
  nginx->WriteDocument("dir/final.html", "<html><body><h1>Final</h1>\r\nline two</body></html>");
  return nginx;
}

#define REQUIRE_NGINX(nginx)      \
  if (!(nginx)) {                 \
    std::string why;              \
    TNginxServer::Available(why); \
    GTEST_SKIP() << why;          \
  }

}  // namespace

TEST(HTTPPage, ARedirectChainIsLoggedAndTheFinalAnswerShown) {
  auto nginx = StartNginx();
  REQUIRE_NGINX(nginx);
  THTTPWindow h;
  const QString url = QString::fromStdString(nginx->Url("/r1"));
  h.Enter(url);
  EXPECT_EQ(h.Log(), (QStringList{"Looking at: " + url, "Redirected (1) to: /r2",
                                  "Redirected (2) to: /dir/final.html",
                                  "* Response (HTTP 1.1):", "Finished."}));
  EXPECT_EQ(h.form().cbHTTPBaseUrl->currentText(), url);
  // The headers of the final answer only.
  const auto rows = h.Rows(h.form().lvHTTPHeaders, 0, 1);
  EXPECT_EQ(rows.front(), std::make_pair(QString("Server"), QString("nginx/1.22.1")));
  EXPECT_NE(std::find(rows.begin(), rows.end(),
                      std::make_pair(QString("Content-Type"), QString("text/html"))),
            rows.end());
  EXPECT_NE(
      std::find(rows.begin(), rows.end(), std::make_pair(QString("Content-Length"), QString("50"))),
      rows.end());
  EXPECT_EQ(h.form().memoHTTPSource->toPlainText(),
            "<html><body><h1>Final</h1>\nline two</body></html>");
  EXPECT_TRUE(h.form().htmlViewer->toPlainText().startsWith("Final"));
  EXPECT_EQ(h.Stored("LastQuery"), url.toStdString());
  EXPECT_TRUE(h.w->dialogs.reports.empty());
}

TEST(HTTPPage, EveryCookieIsListedAndTheListIsKept) {
  auto nginx = StartNginx();
  REQUIRE_NGINX(nginx);
  THTTPWindow h;
  h.Enter(QString::fromStdString(nginx->Url("/cookies")));
  h.Enter("/cookies");
  const auto rows = h.Rows(h.form().lvHTTPCookies, 0, 1);
  const std::pair<QString, QString> site{"127.0.0.1/", "site"}, bare{"127.0.0.1", "bare"};
  EXPECT_EQ(rows, (std::vector<std::pair<QString, QString>>{site, bare, site, bare}));
  EXPECT_EQ(h.form().lvHTTPCookies->topLevelItem(0)->text(2), "1");
  EXPECT_EQ(h.form().lvHTTPCookies->topLevelItem(0)->text(3), "");
  EXPECT_EQ(h.form().lvHTTPCookies->headerItem()->text(3), "Expires");
}

TEST(HTTPPage, HeadHidesSourceAndPreviewAndLeavesThemEmpty) {
  auto nginx = StartNginx();
  REQUIRE_NGINX(nginx);
  THTTPWindow h;
  TformMain& f = h.form();
  h.Enter(QString::fromStdString(nginx->Url("/dir/final.html")));
  EXPECT_FALSE(f.memoHTTPSource->toPlainText().isEmpty());
  f.cbHTTPQueryMethod->setCurrentIndex(2);
  EXPECT_FALSE(f.pcHTTP->isTabVisible(f.pcHTTP->indexOf(f.tabHTTPSource)));
  EXPECT_FALSE(f.pcHTTP->isTabVisible(f.pcHTTP->indexOf(f.tabHTTPPreview)));
  EXPECT_FALSE(f.pcHTTP->isTabVisible(f.pcHTTP->indexOf(f.tabHTTPPost)));
  h.Enter("/dir/final.html");
  EXPECT_EQ(f.memoHTTPSource->toPlainText(), "");
  EXPECT_EQ(f.htmlViewer->toPlainText(), "");
  EXPECT_EQ(h.Log().last(), "Finished.");
  EXPECT_EQ(h.Stored("LastQuery"), "/dir/final.html");
  int32_t method = -1;
  h.config.ReadInteger("LastQueryType", method);
  EXPECT_EQ(method, 2);
  f.cbHTTPQueryMethod->setCurrentIndex(1);
  EXPECT_TRUE(f.pcHTTP->isTabVisible(f.pcHTTP->indexOf(f.tabHTTPPost)));
  EXPECT_TRUE(f.pcHTTP->isTabVisible(f.pcHTTP->indexOf(f.tabHTTPSource)));
}

TEST(HTTPPage, APostShowsTheEncodedFieldsAfterwards) {
  THttpScriptServer server([](const THttpRequest& r, int) {
    return HttpAnswer("HTTP/1.0 200 OK", {}, "got " + r.body);
  });
  THTTPWindow h;
  TformMain& f = h.form();
  f.cbHTTPQueryMethod->setCurrentIndex(1);
  f.memoHTTPPostData->setPlainText("name=A B\ncity=K\xc3\xb6ln");
  h.Enter(QString::fromStdString(server.Url("/form")));
  EXPECT_EQ(f.memoHTTPPostData->toPlainText(), "name=A%20B\ncity=K%C3%B6ln");
  EXPECT_EQ(f.memoHTTPSource->toPlainText(), "got name=A%20B&city=K%C3%B6ln");
  EXPECT_EQ(h.Log().at(1), "* Response (HTTP 1.0):");
  h.Enter("/form");
  EXPECT_EQ(server.Requests().at(1).body, "name=A%2520B&city=K%25C3%25B6ln");
}

TEST(HTTPPage, PasteTakesOnlyAnHttpAddress) {
  THttpScriptServer server([](const THttpRequest&, int) {
    return HttpAnswer("HTTP/1.1 200 OK", {"Connection: close"}, "pasted");
  });
  THTTPWindow h;
  QClipboard* clipboard = QGuiApplication::clipboard();
  for (const QString& text : {QString("https://example.com/"), QString("HTTP://EXAMPLE.COM/"),
                              QString(" http://x/"), QString("")}) {
    clipboard->setText(text);
    h.form().aHTTPPasteClipboardUrl->trigger();
    ASSERT_FALSE(h.w->dialogs.messages.isEmpty()) << text.toStdString();
    EXPECT_EQ(h.w->dialogs.messages.last(),
              "Error: No valid URL could be found in your clipboard:\n" + text);
  }
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_EQ(h.form().memoHTTP->toPlainText(), "");

  const QString url = QString::fromStdString(server.Url("/from-clipboard"));
  clipboard->setText(url);
  h.form().aHTTPPasteClipboardUrl->trigger();
  EXPECT_EQ(h.Log().first(), "Looking at: " + url);
  EXPECT_EQ(h.form().memoHTTPSource->toPlainText(), "pasted");
  EXPECT_EQ(h.w->dialogs.messages.size(), 4);
}

TEST(HTTPPage, AFailingRequestIsReportedAndLeavesThePageAndSettingsAsTheyWere) {
  THttpScriptServer server([](const THttpRequest& r, int) {
    return r.RequestLine().find("/gone") != std::string::npos
               ? HttpAnswer("HTTP/1.1 404 Not Found", {"Set-Cookie: late=1; path=/"}, "no")
               : HttpAnswer("HTTP/1.1 200 OK", {}, "first body");
  });
  THTTPWindow h;
  TformMain& f = h.form();
  const QString good = QString::fromStdString(server.Url("/ok"));
  h.Enter(good);
  h.Enter("/gone");
  ASSERT_EQ(h.w->dialogs.reports.size(), 1);
  EXPECT_TRUE(h.w->dialogs.reports[0].contains("HTTP/1.1 404 Not Found"));
  EXPECT_TRUE(h.w->dialogs.reports[0].contains("cbHTTPBaseUrlKeyPress"));
  EXPECT_EQ(h.Log().last(), "Looking at: /gone");
  EXPECT_EQ(f.lvHTTPHeaders->topLevelItemCount(), 0);
  EXPECT_EQ(f.memoHTTPSource->toPlainText(), "first body");
  EXPECT_EQ(f.lvHTTPCookies->topLevelItemCount(), 1);
  EXPECT_EQ(h.Stored("LastQuery"), good.toStdString());
  // The page is ready for the next query.
  EXPECT_TRUE(f.cbHTTPBaseUrl->isEnabled());
  EXPECT_FALSE(f.HTTPQueryRunning);
  h.Enter("https://secure.example/");
  ASSERT_EQ(h.w->dialogs.reports.size(), 2);
  EXPECT_TRUE(h.w->dialogs.reports[1].contains("IOHandler value is not valid"));
}

TEST(HTTPPage, TheQueryControlsAreDisabledWhileAQueryWaits) {
  TLoopbackServer slow([](int fd, const std::string&, int stopFd) {
    SkipHttpHeaders(fd);
    WaitReadableFor(stopFd, 700);
    SendAll(fd, HttpAnswer("HTTP/1.1 200 OK", {"Connection: close"}, "slow"));
  });
  THTTPWindow h;
  TformMain& f = h.form();
  std::vector<bool> during;
  QTimer::singleShot(250, [&] {
    during = {f.cbHTTPBaseUrl->isEnabled(), f.cbHTTPQueryMethod->isEnabled(),
              f.aHTTPPasteClipboardUrl->isEnabled(), f.aHTTPCatchIEUrl->isEnabled(),
              !f.memoHTTPPostData->isReadOnly()};
    // A second start while the first waits is refused.
    f.HTTPLoadUrl("http://127.0.0.1:" + std::to_string(slow.Port()) + "/second");
  });
  h.Enter(QString("http://127.0.0.1:%1/first").arg(slow.Port()));
  EXPECT_EQ(during, (std::vector<bool>{false, false, false, false, false}));
  EXPECT_EQ(slow.Requests(), std::vector<std::string>{"GET /first HTTP/1.1"});
  EXPECT_EQ(f.memoHTTPSource->toPlainText(), "slow");
  EXPECT_TRUE(f.cbHTTPBaseUrl->isEnabled());
  EXPECT_TRUE(f.cbHTTPQueryMethod->isEnabled());
  EXPECT_TRUE(f.aHTTPPasteClipboardUrl->isEnabled());
  EXPECT_TRUE(f.aHTTPCatchIEUrl->isEnabled());
  EXPECT_FALSE(f.memoHTTPPostData->isReadOnly());
}

TEST(HTTPPage, ClosingTheWindowDuringAQueryEndsItAtItsNextWait) {
  TLoopbackServer silent(TLoopbackServer::Stall(10000));
  THTTPWindow h;
  QTimer::singleShot(300, [&] { h.form().close(); });
  const auto start = std::chrono::steady_clock::now();
  h.Enter(QString("http://127.0.0.1:%1/").arg(silent.Port()));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_TRUE(h.w->dialogs.reports.empty());
  EXPECT_EQ(h.Log(), QStringList{QString("Looking at: http://127.0.0.1:%1/").arg(silent.Port())});
  EXPECT_FALSE(h.form().idHTTP.Connected());
}

TEST(HTTPPreview, AnchorNamesAreLeftOutAndNothingElse) {
  const struct {
    const char* html;
    const char* shown;
  } cases[] = {
      {"<p id=\"x\" class=c>t</p>", "<p  class=c>t</p>"},
      {"<a name='top' href=\"/x\">a</a>", "<a  href=\"/x\">a</a>"},
      {"<input name=\"q\" ID=5>", "<input name=\"q\" >"},
      {"<div data-id=\"1\" id>", "<div data-id=\"1\" >"},
      {"<p title=\"a > b\" id=\"z\">", "<p title=\"a > b\" >"},
      {"<!-- <p id=\"c\"> -->x", "<!-- <p id=\"c\"> -->x"},
      {"a < b id=\"x\" & <3", "a < b id=\"x\" & <3"},
      {"<br/><img src=\"data:,\" id=i />", "<br/><img src=\"data:,\"  />"},
      {"<p id=\"open", "<p "},
  };
  for (const auto& c : cases) EXPECT_EQ(WithoutAnchorNames(c.html), QString(c.shown)) << c.html;
}

TEST(HTTPPreview, TheSourceViewColoursEachKindOfText) {
  QTextDocument document;
  TSynHTMLSyn syn(&document);
  document.setPlainText("<a href=\"x\">&amp; t<!-- c\nstill -->b");
  syn.rehighlight();
  const auto formatAt = [&](int blockNumber, int position) {
    for (const QTextLayout::FormatRange& r :
         document.findBlockByNumber(blockNumber).layout()->formats())
      if (position >= r.start && position < r.start + r.length) return r.format;
    return QTextCharFormat();
  };
  EXPECT_EQ(formatAt(0, 0), syn.TagFormat);        // "<a"
  EXPECT_EQ(formatAt(0, 3), syn.AttributeFormat);  // "href"
  EXPECT_EQ(formatAt(0, 8), syn.ValueFormat);      // "\"x\""
  EXPECT_EQ(formatAt(0, 11), syn.TagFormat);       // ">"
  EXPECT_EQ(formatAt(0, 12), syn.EntityFormat);    // "&amp;"
  EXPECT_EQ(formatAt(0, 18), QTextCharFormat());   // "t"
  EXPECT_EQ(formatAt(0, 20), syn.CommentFormat);   // "<!-- c"
  EXPECT_EQ(formatAt(1, 0), syn.CommentFormat);    // "still -->"
  EXPECT_EQ(formatAt(1, 9), QTextCharFormat());    // "b"
}

namespace {

// The desktop the capture finds, a tree of the test's own.
struct TFakeBrowsers {
  std::shared_ptr<TFakeDesktop> desktop = std::make_shared<TFakeDesktop>();
  TFakeBrowsers() {
    TBrowserWindowList::SetDesktopOpener([desktop = desktop](std::string&) {
      // Each capture gets the tree as it is then.
      auto copy = std::make_unique<TFakeDesktop>();
      copy->applications = desktop->applications;
      return std::unique_ptr<TAccessibilityDesktop>(std::move(copy));
    });
  }
  ~TFakeBrowsers() { TBrowserWindowList::SetDesktopOpener(nullptr); }
};

QStringList Entries(QComboBox* box) {
  QStringList entries;
  for (int i = 0; i < box->count(); ++i) entries << box->itemText(i);
  return entries;
}

}  // namespace

TEST(HTTPPage, CatchingBrowserAddressesFillsTheListAndLoadsTheFirst) {
  THttpScriptServer server([](const THttpRequest& r, int) {
    return HttpAnswer("HTTP/1.1 200 OK", {}, "page " + r.RequestLine());
  });
  THTTPWindow h;
  TformMain& f = h.form();
  TFakeBrowsers browsers;
  auto chromium = Node("application", "Chromium");
  chromium->Add(ChromiumFrame("A - Chromium", server.Url("/a").substr(7), server.Url("/a")));
  chromium->Add(ChromiumFrame("B - Chromium", server.Url("/b").substr(7), server.Url("/b")));
  auto firefox = Node("application", "Firefox");
  firefox->Add(FirefoxFrame("C — Mozilla Firefox", server.Url("/c")));
  browsers.desktop->applications = {firefox, chromium};
  QGuiApplication::clipboard()->setText("what the user copied");

  f.aHTTPCatchIEUrl->trigger();
  const QStringList urls = {QString::fromStdString(server.Url("/a")),
                            QString::fromStdString(server.Url("/b")),
                            QString::fromStdString(server.Url("/c"))};
  EXPECT_EQ(Entries(f.cbHTTPBaseUrl), urls);
  EXPECT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(f.memoHTTPSource->toPlainText(), "page GET /a HTTP/1.1");
  EXPECT_EQ(f.sbarHTTP->PanelText(0), "Addresses of 3 browser windows read.");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "what the user copied");
  EXPECT_TRUE(f.aHTTPCatchIEUrl->isEnabled());

  // The next capture replaces the entries; choosing one and pressing Enter
  // loads it.
  browsers.desktop->applications = {firefox};
  f.aHTTPCatchIEUrl->trigger();
  EXPECT_EQ(Entries(f.cbHTTPBaseUrl), QStringList{urls[2]});
  EXPECT_EQ(f.memoHTTPSource->toPlainText(), "page GET /c HTTP/1.1");

  // No browser: the list is emptied, the typed text stays, nothing loads.
  browsers.desktop->applications = {};
  f.cbHTTPBaseUrl->setEditText("typed");
  f.aHTTPCatchIEUrl->trigger();
  EXPECT_EQ(f.cbHTTPBaseUrl->count(), 0);
  EXPECT_EQ(f.cbHTTPBaseUrl->currentText(), "typed");
  EXPECT_EQ(server.Requests().size(), 2u);
  EXPECT_EQ(f.sbarHTTP->PanelText(0), "No browser window is open.");

  // A first-family window without an address field: its empty entry is the
  // first and is loaded: the current host's root is asked.
  auto bare = Node("application", "Chromium");
  bare->Add(Node("frame", "New Tab - Chromium", {{"class", "BrowserRootView"}}));
  browsers.desktop->applications = {bare};
  f.aHTTPCatchIEUrl->trigger();
  EXPECT_EQ(Entries(f.cbHTTPBaseUrl), QStringList{""});
  EXPECT_TRUE(h.Log().contains("Looking at: "));
  EXPECT_EQ(server.Requests().size(), 3u);
  EXPECT_EQ(server.Requests().back().RequestLine(), "GET / HTTP/1.1");
}

TEST(HTTPPage, ACaptureWithoutAnAccessibilityBusSaysSo) {
  THTTPWindow h;
  TBrowserWindowList::SetDesktopOpener([](std::string& why) {
    why = "no session bus";
    return std::unique_ptr<TAccessibilityDesktop>();
  });
  h.form().aHTTPCatchIEUrl->trigger();
  TBrowserWindowList::SetDesktopOpener(nullptr);
  EXPECT_EQ(h.form().sbarHTTP->PanelText(0),
            "The desktop's accessibility bus is not running, so no browser address can be read.");
  EXPECT_EQ(h.form().memoHTTP->toPlainText(), "");
}
