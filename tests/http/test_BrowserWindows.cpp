#include <gtest/gtest.h>

#include "BrowserWindows.h"
#include "FakeAccessibility.h"

namespace {

struct TEntry {
  TBrowserType type;
  std::string address;
  std::string title;
  bool operator==(const TEntry&) const = default;
};

std::vector<TEntry> Entries(TBrowserWindowList& list) {
  std::vector<TEntry> entries;
  for (size_t i = 0; i < list.Count(); ++i)
    entries.push_back(
        {list.Items(i).BrowserType(), list.Items(i).URLFieldTitle(), list.Items(i).WindowTitle()});
  return entries;
}

void PrintTo(const TEntry& e, std::ostream* os) {
  *os << (e.type == bwMozilla ? "mozilla " : "chromium ") << e.address << " | " << e.title;
}

}  // namespace

TEST(BrowserWindows, ChromiumWindowsFirstThenMozillaOnes) {
  TFakeDesktop desktop;
  auto firefox = Node("application", "Firefox");
  firefox->Add(FirefoxFrame("Page C — Mozilla Firefox", "http://127.0.0.1:8080/c.html"));
  // A Firefox window without an address field gives no entry.
  firefox->Add(Node("frame", "Library"));
  auto chromium = Node("application", "Chromium");
  chromium->Add(
      ChromiumFrame("Page A - Chromium", "127.0.0.1:8080/a.html", "http://127.0.0.1:8080/a.html"));
  // A window of the first family without an address field still counts.
  chromium->Add(Node("frame", "Settings - Chromium", {{"class", "BrowserRootView"}}));
  // Bubbles and pop-ups are frames of their own, but no browser windows.
  chromium->Add(Node("frame", "", {{"class", "RootView"}}));
  desktop.applications = {firefox, Node("application", "gnome-shell"), chromium};

  TBrowserWindowList list;
  list.Refresh(desktop);
  const std::vector<TEntry> expected = {
      {bwInternetExplorer, "http://127.0.0.1:8080/a.html", "Page A - Chromium"},
      {bwInternetExplorer, "", "Settings - Chromium"},
      {bwMozilla, "http://127.0.0.1:8080/c.html", ""}};
  EXPECT_EQ(Entries(list), expected);
  EXPECT_EQ(list.Items(0).URLFieldClass(), "entry");
  EXPECT_EQ(list.Items(0).WindowClass(), "Chromium");  // no X server: the application's name
  EXPECT_EQ(list.Items(0).WindowHandle(), 0u);
  EXPECT_EQ(list.Items(0).Owner(), &list);
  EXPECT_EQ(list.Items(1).DisplayName(), "Settings - Chromium");
  EXPECT_EQ(list.Items(2).DisplayName(), "TBrowserWindow");
  EXPECT_EQ(list.Outcome(), TCaptureOutcome::coFound);

  // A capture replaces the list.
  desktop.applications = {firefox};
  list.Refresh(desktop);
  EXPECT_EQ(Entries(list), (std::vector<TEntry>{expected[2]}));
}

TEST(BrowserWindows, WhichAddressFieldCountsAndHowMuchOfIt) {
  TFakeDesktop desktop;
  auto chromium = Node("application", "Google Chrome");
  auto frame = ChromiumFrame("Two fields", "first.example/", "");
  // The last field of a first-family window wins.
  frame->Add(Node("tool bar"))->Add(TextNode("entry", "Location", "second.example/x"));
  chromium->Add(frame);
  auto firefox = Node("application", "LibreWolf");
  auto ffFrame = FirefoxFrame("Long", "http://long.example/" + std::string(5000, 'a'));
  // The first field of a second-family window ends the search.
  ffFrame->Add(TextNode("entry", "Location", "http://other.example/"));
  firefox->Add(ffFrame);
  desktop.applications = {chromium, firefox};
  TBrowserWindowList list;
  list.Refresh(desktop);
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(list.Items(0).URLFieldTitle(), "http://second.example/x");
  EXPECT_EQ(list.Items(1).URLFieldTitle().size(), kMaxAddressLength);
  EXPECT_EQ(list.Items(1).URLFieldTitle().substr(0, 20), "http://long.example/");
}

TEST(BrowserWindows, AddressesAsURLs) {
  const struct {
    const char* shown;
    const char* page;
    const char* url;
  } cases[] = {
      {"127.0.0.1:8080/a.html", "http://127.0.0.1:8080/a.html", "http://127.0.0.1:8080/a.html"},
      {"example.com", "https://example.com/", "https://example.com/"},
      {"typed.example/x", "http://other.example/", "http://typed.example/x"},
      {"example.com/x", "", "http://example.com/x"},
      {"http://shown.example/", "http://page.example/", "http://shown.example/"},
      {"", "http://page.example/", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(AddressToURL(c.shown, c.page), c.url) << c.shown;
}

TEST(BrowserWindows, WhatTheCaptureTellsWhenItFindsNothing) {
  TBrowserWindowList list;
  TFakeDesktop empty;
  empty.applications = {Node("application", "gnome-terminal")};
  list.Refresh(empty);
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.Outcome(), TCaptureOutcome::coNoBrowser);

  // A browser on the bus whose windows show no address field.
  TFakeDesktop silent;
  auto firefox = Node("application", "Firefox");
  firefox->Add(Node("frame", "Mozilla Firefox"));
  silent.applications = {firefox};
  list.Refresh(silent);
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.Outcome(), TCaptureOutcome::coNotExposed);

  // No bus at all.
  TBrowserWindowList::SetDesktopOpener([](std::string& why) {
    why = "no session bus";
    return std::unique_ptr<TAccessibilityDesktop>();
  });
  list.Refresh();
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.Outcome(), TCaptureOutcome::coNoBus);
  TBrowserWindowList::SetDesktopOpener(nullptr);
}

TEST(BrowserWindows, ACaptureStopsWhenItsTimeIsUp) {
  TFakeDesktop desktop;
  for (int a = 0; a < 50; ++a) {
    auto chromium = Node("application", "Chromium");
    for (int f = 0; f < 10; ++f) chromium->Add(ChromiumFrame("w", "x.example/", ""));
    desktop.applications.push_back(chromium);
  }
  desktop.callLimit = 200;
  TBrowserWindowList list;
  list.Refresh(desktop);
  EXPECT_LT(list.Count(), 50u);
  EXPECT_LT(desktop.calls.load(), 400);
}
