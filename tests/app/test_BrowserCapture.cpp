// The browser address capture against real browsers: Chromium and Firefox
// from Debian's packages, started by this test under the X server and the
// private D-Bus session with the accessibility bus that BrowserCapture.sh
// provides, showing pages of a loopback nginx.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QSet>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "BrowserWindows.h"
#include "CrashReporter.h"
#include "NginxServer.h"
#include "WhoisWindow.h"

namespace {

pid_t Start(const std::vector<std::string>& args) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setpgid(0, 0);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // The browsers' chatter stays out of the test's output.
    if (std::freopen("/dev/null", "w", stderr) && std::freopen("/dev/null", "w", stdout)) {
    }
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  return pid;
}

void Stop(pid_t& pid) {
  if (pid <= 0) return;
  ::kill(-pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  pid = -1;
}

// The browsers of the test, each with a profile of its own.
struct TBrowsers {
  TTempFolder profiles;
  pid_t chromium = -1, chromiumSecond = -1, firefox = -1;
  void StartChromium(const std::string& url, pid_t& pid) {
    pid = Start({"chromium", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--no-default-browser-check", "--force-renderer-accessibility",
                 "--user-data-dir=" + profiles.Path() + "chromium", "--new-window", url});
  }
  void StartFirefox(const std::string& url) {
    // No first-run pages: the window shows the page it is given.
    profiles.Write("firefox/user.js",
                   "user_pref(\"browser.shell.checkDefaultBrowser\", false);\n"
                   "user_pref(\"browser.startup.homepage_override.mstone\", \"ignore\");\n"
                   "user_pref(\"startup.homepage_welcome_url\", \"\");\n"
                   "user_pref(\"browser.aboutwelcome.enabled\", false);\n"
                   "user_pref(\"datareporting.policy.dataSubmissionEnabled\", false);\n"
                   "user_pref(\"datareporting.policy.firstRunURL\", \"\");\n"
                   "user_pref(\"toolkit.telemetry.reportingpolicy.firstRun\", false);\n"
                   "user_pref(\"app.normandy.enabled\", false);\n");
    firefox = Start({"firefox-esr", "--no-remote", "--profile", profiles.Path() + "firefox", url});
  }
  ~TBrowsers() {
    Stop(firefox);
    Stop(chromiumSecond);
    Stop(chromium);
  }
};

// Captures until the list has count entries that all have an address, or
// the time runs out.
bool WaitForEntries(size_t count, int seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    BrowserWindowManager->Refresh();
    size_t addressed = 0;
    for (size_t i = 0; i < BrowserWindowManager->Count(); ++i)
      if (!BrowserWindowManager->Items(i).URLFieldTitle().empty()) ++addressed;
    if (BrowserWindowManager->Count() == count && addressed == count) return true;
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  return false;
}

QStringList Entries(QComboBox* box) {
  QStringList entries;
  for (int i = 0; i < box->count(); ++i) entries << box->itemText(i);
  return entries;
}

}  // namespace

TEST(BrowserCapture, RealBrowserWindowsGiveTheirAddresses) {
  std::string why;
  if (!TNginxServer::Available(why)) GTEST_SKIP() << why;
  TNginxServer nginx("");
  for (const char* page : {"a", "b", "c"})
    nginx.WriteDocument(std::string(page) + ".html", std::string("<html><head><title>Page ") +
                                                         page + "</title></head><body>Body of " +
                                                         page + "</body></html>");
  const std::string a = nginx.Url("/a.html"), b = nginx.Url("/b.html"), c = nginx.Url("/c.html");

  TBrowsers browsers;
  browsers.StartChromium(a, browsers.chromium);
  ASSERT_TRUE(WaitForEntries(1, 60)) << "Chromium did not show its address over the bus";
  browsers.StartChromium(b, browsers.chromiumSecond);  // a second window of the same browser
  ASSERT_TRUE(WaitForEntries(2, 60)) << "Chromium's second window did not show";
  browsers.StartFirefox(c);
  ASSERT_TRUE(WaitForEntries(3, 90)) << "Firefox did not show its address over the bus";

  // How long one capture takes (the figure of the note, not a
  // condition of the test): five captures once the browsers have settled.
  std::this_thread::sleep_for(std::chrono::seconds(2));
  std::vector<qint64> times;
  for (int i = 0; i < 5; ++i) {
    QElapsedTimer timer;
    timer.start();
    BrowserWindowManager->Refresh();
    times.push_back(timer.elapsed());
  }
  std::sort(times.begin(), times.end());
  std::printf("one capture of three browser windows: fastest %lld ms, median %lld ms\n",
              static_cast<long long>(times.front()), static_cast<long long>(times[2]));

  TWhoisWindow w;
  TformMain& form = *w.form;
  form.show();
  QGuiApplication::clipboard()->setText("copied before the capture");
  form.aHTTPCatchIEUrl->trigger();
  const QStringList entries = Entries(form.cbHTTPBaseUrl);
  ASSERT_EQ(entries.size(), 3);
  // Chromium's windows first, then Firefox's.
  const QSet<QString> chromiumPages{entries[0], entries[1]};
  EXPECT_EQ(chromiumPages, (QSet<QString>{QString::fromStdString(a), QString::fromStdString(b)}))
      << entries.join(" ").toStdString();
  EXPECT_EQ(entries[2], QString::fromStdString(c));
  EXPECT_EQ(BrowserWindowManager->Items(0).BrowserType(), bwInternetExplorer);
  EXPECT_EQ(BrowserWindowManager->Items(2).BrowserType(), bwMozilla);
  EXPECT_TRUE(
      QString::fromStdString(BrowserWindowManager->Items(0).WindowTitle()).contains("Page"));
  EXPECT_NE(BrowserWindowManager->Items(0).WindowHandle(), 0u);
  // The first Chromium window's page is loaded.
  const QString firstPage = entries[0].endsWith("a.html") ? "Body of a" : "Body of b";
  EXPECT_TRUE(form.memoHTTPSource->toPlainText().contains(firstPage));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "copied before the capture");

  // Without Firefox, the next capture replaces the entries.
  Stop(browsers.firefox);
  ASSERT_TRUE(WaitForEntries(2, 30));
  form.aHTTPCatchIEUrl->trigger();
  EXPECT_EQ(Entries(form.cbHTTPBaseUrl).size(), 2);

  // Without any browser: an empty list and nothing loaded.
  Stop(browsers.chromiumSecond);
  Stop(browsers.chromium);
  ASSERT_TRUE(WaitForEntries(0, 30));
  const QString before = form.memoHTTP->toPlainText();
  form.aHTTPCatchIEUrl->trigger();
  EXPECT_EQ(form.cbHTTPBaseUrl->count(), 0);
  EXPECT_EQ(form.memoHTTP->toPlainText(), before);
  EXPECT_EQ(form.sbarHTTP->PanelText(0), "No browser window is open.");
}

int main(int argc, char** argv) {
  TCorvinaApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
