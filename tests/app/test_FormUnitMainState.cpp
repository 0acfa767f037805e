#include <gtest/gtest.h>

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>

#include "RegistrySandbox.h"
#include "WhoisWindow.h"
#include "brmConfig.h"
#include "brmRegTools.h"

namespace {

const char* kBase = "\\Software\\Brenmoor\\Corvina\\";

// A settings store and configuration manager of the test's own.
struct TSettings {
  TRegistrySandbox box;
  TBRMConfigManager config;
  TSettings() {
    config.SetProductName("Corvina");
    GConfigManager = &config;
  }
  ~TSettings() { GConfigManager = nullptr; }
  void Int(const char* name, int32_t v) {
    utRegWriteSingleInteger(HKEY_CURRENT_USER, kBase, name, v, 32);
  }
  void Str(const char* name, const std::string& v) {
    utRegWriteSingleString(HKEY_CURRENT_USER, kBase, name, v, 32);
  }
  int32_t ReadInt(const char* name) {
    int32_t v = -99;
    config.ReadInteger(name, v);
    return v;
  }
};

}  // namespace

TEST(MainWindowState, FirstRunShowsTheLayoutsPages) {
  TSettings settings;
  TWhoisWindow w;
  const QString initialUrl = w.form->cbHTTPBaseUrl->currentText();
  w.form->show();
  EXPECT_EQ(w.form->pcOptions->currentWidget(), w.form->tsAdapterInfo);
  EXPECT_EQ(w.form->pcHTTP->currentWidget(), w.form->tabHTTPHeaders);
  EXPECT_EQ(w.form->pcWhoIs->currentWidget(), w.form->tabWhoIsCurrent);
  EXPECT_EQ(w.form->cbHTTPBaseUrl->currentText(), initialUrl);
  EXPECT_EQ(w.form->cbHTTPQueryMethod->currentText(), "GET");
  EXPECT_EQ(w.form->queryStringWhois, "");
  EXPECT_EQ(w.form->filterStringWhois, "");
}

TEST(MainWindowState, ValuesOutOfRangeAreIgnored) {
  for (const int32_t bad : {7, 5, -1}) {
    TSettings settings;
    settings.Int("OpenTabMain", bad);
    settings.Int("OpenTabHTTP", bad);
    settings.Int("OpenTabWhoIs", bad == 5 ? 2 : bad);
    settings.Int("LastQueryType", bad == 7 ? 3 : bad);
    TWhoisWindow w;
    w.form->show();
    EXPECT_EQ(w.form->pcOptions->currentWidget(), w.form->tsAdapterInfo) << bad;
    EXPECT_EQ(w.form->pcHTTP->currentWidget(), w.form->tabHTTPHeaders) << bad;
    EXPECT_EQ(w.form->pcWhoIs->currentWidget(), w.form->tabWhoIsCurrent) << bad;
    EXPECT_EQ(w.form->cbHTTPQueryMethod->currentIndex(), 0) << bad;
  }
}

TEST(MainWindowState, WhatClosesIsWhatTheNextStartShows) {
  TSettings settings;
  {
    TWhoisWindow w;
    w.form->show();
    w.form->queryStringWhois = "example.de";
    w.form->filterStringWhois = "ns";
    w.form->pcOptions->setCurrentWidget(w.form->tabHTTP);
    w.form->cbHTTPQueryMethod->setCurrentIndex(1);
    w.form->pcHTTP->setCurrentWidget(w.form->tabHTTPPost);
    w.form->pcWhoIs->setCurrentWidget(w.form->tabWhoIsHistory);
    w.form->HTTPStoreLastQuery("http://127.0.0.1/form");
    w.form->close();
  }
  EXPECT_EQ(settings.ReadInt("OpenTabMain"), 4);
  EXPECT_EQ(settings.ReadInt("OpenTabHTTP"), 0);
  EXPECT_EQ(settings.ReadInt("LastQueryType"), 1);
  TWhoisWindow w;
  w.form->show();
  EXPECT_EQ(w.form->queryStringWhois, "example.de");
  EXPECT_EQ(w.form->filterStringWhois, "ns");
  EXPECT_EQ(w.form->pcOptions->currentWidget(), w.form->tabHTTP);
  EXPECT_EQ(w.form->cbHTTPQueryMethod->currentText(), "POST");
  EXPECT_TRUE(w.form->pcHTTP->isTabVisible(0));
  EXPECT_EQ(w.form->pcHTTP->currentWidget(), w.form->tabHTTPPost);
  EXPECT_EQ(w.form->pcWhoIs->currentWidget(), w.form->tabWhoIsHistory);
  EXPECT_EQ(w.form->cbHTTPBaseUrl->currentText(), "http://127.0.0.1/form");
  // The whois dialog starts from the restored text.
  w.Lookup("other.test");
  EXPECT_EQ(w.dialogs.asked.last(), "Whois|Please enter domain name|example.de");
}

TEST(MainWindowState, MethodChangeShowsThePagesThatSuitIt) {
  TWhoisWindow w;
  const std::pair<int, std::array<bool, 3>> cases[] = {
      {0, {false, true, true}}, {1, {true, true, true}}, {2, {false, false, false}}};
  for (const auto& [method, visible] : cases) {
    w.form->cbHTTPQueryMethod->setCurrentIndex(method);
    EXPECT_EQ(w.form->pcHTTP->isTabVisible(0), visible[0]) << method;
    EXPECT_EQ(w.form->pcHTTP->isTabVisible(3), visible[1]) << method;
    EXPECT_EQ(w.form->pcHTTP->isTabVisible(4), visible[2]) << method;
  }
}

TEST(MainWindowState, WindowPositionsAreRestoredAndBroughtBackOnScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  struct Case {
    int32_t left, top;
    QPoint expected;
  } cases[] = {{40, 30, {40, 30}}, {-50000, 20, screen.topLeft()}, {20, 90000, screen.topLeft()}};
  for (const auto& c : cases) {
    TSettings settings;
    const std::string path = std::string(kBase) + "UI\\Forms\\formMain";
    for (const auto& [name, v] : {std::pair<const char*, int32_t>{"Left", c.left},
                                  {"Top", c.top},
                                  {"Width", 640},
                                  {"Height", 500},
                                  {"WindowState", 0}})
      utRegWriteSingleInteger(HKEY_CURRENT_USER, path, name, v, 32);
    TWhoisWindow w;
    w.form->show();
    // The stored bounds are the window's own area; a window brought back
    // on screen has its frame's corner at the work area's corner.
    const bool onScreen = c.left == 40;
    EXPECT_EQ(onScreen ? w.form->geometry().topLeft() : w.form->frameGeometry().topLeft(),
              c.expected)
        << c.left << "," << c.top;
    EXPECT_EQ(w.form->geometry().size(), QSize(640, 500));
    w.form->close();
    int32_t stored = 0;
    EXPECT_TRUE(settings.config.ReadInteger("UI\\Forms\\formMain", "Width", stored));
    EXPECT_EQ(stored, 640);
  }
}
