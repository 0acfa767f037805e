// The addresses shown in the open browser windows of the desktop. Two
// families are read: the Chromium family (Chromium, Google Chrome,
// Microsoft Edge, Brave, Vivaldi) first, then the Mozilla family (Firefox,
// Firefox ESR, LibreWolf). Windows and their address fields come from the
// accessibility bus: each frame of a browser application, and in it the
// address entry of its tool bar, read with the text interface. Window
// handles are X11 window ids (0 without an X server). The user's clipboard
// is never touched.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "BrowserAccessibility.h"
#include "utSmallAPIStuff.h"

enum TBrowserType { bwInternetExplorer = 0, bwMozilla = 1 };

class TBrowserWindowList;

// One browser window.
class TBrowserWindow {
 public:
  explicit TBrowserWindow(TBrowserWindowList* owner) : FOwner(owner) {}

  TBrowserWindowList* Owner() const { return FOwner; }
  TBrowserType BrowserType() const { return FBrowserType; }
  const std::string& URLFieldClass() const { return FURLFieldClass; }
  HWND URLFieldHandle() const { return FURLFieldHandle; }
  const std::string& URLFieldTitle() const { return FURLFieldTitle; }
  const std::string& WindowClass() const { return FWindowClass; }
  HWND WindowHandle() const { return FWindowHandle; }
  const std::string& WindowTitle() const { return FWindowTitle; }
  // Also sets the title of the browser window itself.
  void SetWindowTitle(const std::string& title);
  // WindowTitle, or the item's default name when it is empty.
  std::string DisplayName() const;

  TBrowserWindowList* FOwner;
  TBrowserType FBrowserType = bwInternetExplorer;
  std::string FURLFieldClass;
  HWND FURLFieldHandle = 0;
  std::string FURLFieldTitle;
  std::string FWindowClass;
  HWND FWindowHandle = 0;
  std::string FWindowTitle;
};

// What the last capture found, for the status the page shows.
enum class TCaptureOutcome {
  coFound,       // at least one browser window
  coNoBrowser,   // no browser window open
  coNotExposed,  // a browser window shows nothing over the bus
  coNoBus,       // no accessibility bus to ask
};

// The longest address read (the buffer of 2048 characters holds 2046).
inline constexpr size_t kMaxAddressLength = 2046;
// The parameter of the child enumeration is the item's index plus this.
inline constexpr int kChildEnumerationOffset = 666;

class TBrowserWindowList {
 public:
  TBrowserWindow& Add();
  TBrowserWindow& GetItem(size_t index) { return *items_.at(index); }
  TBrowserWindow& Items(size_t index) { return GetItem(index); }
  size_t Count() const { return items_.size(); }
  void Clear() { items_.clear(); }

  // Empties the list and fills it again from the desktop's accessibility
  // bus, first family first. The bus is asked on its own thread while the
  // window's messages are processed.
  void Refresh();
  // The same over a given tree.
  void Refresh(TAccessibilityDesktop& desktop);
  void ReadIEWindows(TAccessibilityDesktop& desktop);
  void ReadMozillaWindows(TAccessibilityDesktop& desktop);
  // A frame of an application: a first-family browser window is added.
  void CheckHandle(TAccessible& application, TAccessible& frame);
  // A control of the window at index Param - 666: an address field
  // becomes the window's address (the last one found wins).
  void CheckChildHandle(TAccessible& child, int Param);
  void AddBrowser(TAccessible& application, TAccessible& frame, TBrowserType BrowserType);
  void UpdateBrowserChild(TAccessible& child, size_t Index);

  TCaptureOutcome Outcome() const { return outcome_; }

  // Where Refresh() finds the desktop; tests put a tree of their own here.
  using TDesktopOpener = std::function<std::unique_ptr<TAccessibilityDesktop>(std::string& why)>;
  static void SetDesktopOpener(TDesktopOpener opener);

 private:
  std::vector<std::unique_ptr<TBrowserWindow>> items_;
  TCaptureOutcome outcome_ = TCaptureOutcome::coNoBrowser;
  // The X windows of this capture, and those taken by a browser window.
  std::vector<HWND> topLevel_;
  std::vector<HWND> used_;
  // The page address of the frame being read (its document's URI).
  std::string documentURI_;
  friend class TMozillaIterator;
  HWND MatchWindow(TAccessible& application, const std::string& title);
  int browserApplications_ = 0;
};

// The addresses of the Mozilla family's windows, each with its window.
class TMozillaIterator {
 public:
  TMozillaIterator(TBrowserWindowList& list, TAccessibilityDesktop& desktop);
  size_t Count() const { return FAddresses.size(); }
  const std::string& Addresses(size_t index) const { return FAddresses.at(index).first; }
  HWND Windows(size_t index) const { return FAddresses.at(index).second; }
  void DoEnumertion();

 private:
  TBrowserWindowList& list_;
  TAccessibilityDesktop& desktop_;
  std::vector<std::pair<std::string, HWND>> FAddresses;
};

// The program's list, from start to end.
extern TBrowserWindowList* BrowserWindowManager;

// Which family an application of the bus belongs to, by its name; false
// for other programs.
bool IsChromiumFamily(const std::string& applicationName);
bool IsMozillaFamily(const std::string& applicationName);
// Whether a control is a browser's address field: an entry or combo box
// marked as the address bar (Firefox's "urlbar-input", Chromium's omnibox,
// or a name that says address, location or URL).
bool IsAddressField(TAccessible& node);
// The same for a node whose role is known.
bool IsAddressField(TAccessible& node, const std::string& role);
// The address a field shows as a URL: browsers show it without "http://";
// the frame's page address completes it when it is the same page,
// otherwise "http://" is put in front. An empty text stays empty.
std::string AddressToURL(const std::string& shown, const std::string& documentURI);
