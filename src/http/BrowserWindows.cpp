#include "BrowserWindows.h"

#include <algorithm>

#include "utStrings.h"

namespace {

// The list the program keeps from start to end.
TBrowserWindowList programList;

// A frame's controls are read at most this deep and this many; the page
// itself (a web document or a browser's inner frame) is never entered.
constexpr int kMaxDepth = 64;
constexpr int kMaxNodesPerFrame = 5000;

bool IsPage(const std::string& role) {
  return role == "document web" || role == "document frame" || role == "internal frame" ||
         role == "embedded";
}

// Subtrees that hold no address field: menus and their items, the tabs.
bool HoldsNoAddress(const std::string& role) {
  return role == "menu" || role == "menu bar" || role == "popup menu" || role == "page tab list" ||
         role == "menu item" || role == "push button" || role == "toggle button";
}

bool ContainsAny(const std::string& text, std::initializer_list<const char*> words) {
  const std::string lower = LowerCaseAZ(text);
  for (const char* word : words)
    if (lower.find(word) != std::string::npos) return true;
  return false;
}

// Visits the controls below node depth first, in the bus's order; visit
// returns false to stop. The first page address met on the way is kept.
// Once the capture's time is over the bus's nodes answer nothing, which
// ends the walk.
bool ForEachControl(TAccessible& node, int depth, int& budget, std::string& documentURI,
                    const std::function<bool(TAccessible&, const std::string&)>& visit) {
  if (depth > kMaxDepth) return true;
  const int n = node.ChildCount();
  for (int i = 0; i < n; ++i) {
    if (--budget < 0) return false;
    std::unique_ptr<TAccessible> child = node.Child(i);
    if (!child) continue;
    const std::string role = child->RoleName();
    if (IsPage(role)) {
      if (documentURI.empty()) documentURI = child->DocumentAttribute("URI");
      if (documentURI.empty()) documentURI = child->DocumentAttribute("DocURL");
      continue;
    }
    if (!visit(*child, role)) return false;
    if (HoldsNoAddress(role)) continue;
    if (!ForEachControl(*child, depth + 1, budget, documentURI, visit)) return false;
  }
  return true;
}

// A Chromium-family frame that is a browser window, not one of its bubbles.
bool IsChromiumBrowserFrame(TAccessible& frame) {
  if (frame.RoleName() != "frame") return false;
  const std::string cls = frame.Attribute("class");
  return cls.empty() ? !frame.Name().empty() : cls == "BrowserRootView";
}

bool IsBrowserWindowClass(const std::string& windowClass) {
  return IsChromiumFamily(windowClass) || IsMozillaFamily(windowClass);
}

TBrowserWindowList::TDesktopOpener& Opener() {
  static TBrowserWindowList::TDesktopOpener opener = OpenAccessibilityDesktop;
  return opener;
}

}  // namespace

TBrowserWindowList* BrowserWindowManager = &programList;

bool IsChromiumFamily(const std::string& applicationName) {
  return ContainsAny(applicationName, {"chromium", "chrome", "edge", "brave", "vivaldi"});
}

bool IsMozillaFamily(const std::string& applicationName) {
  return ContainsAny(applicationName, {"firefox", "librewolf", "mozilla"});
}

bool IsAddressField(TAccessible& node) { return IsAddressField(node, node.RoleName()); }

bool IsAddressField(TAccessible& node, const std::string& role) {
  if (role != "entry" && role != "combo box" && role != "text") return false;
  if (node.Attribute("id") == "urlbar-input") return true;
  if (ContainsAny(node.Attribute("class"), {"omnibox"})) return true;
  return ContainsAny(node.Name(), {"address", "location", "url"});
}

std::string AddressToURL(const std::string& shown, const std::string& documentURI) {
  if (shown.empty() || shown.find("://") != std::string::npos) return shown;
  const size_t scheme = documentURI.find("://");
  if (scheme != std::string::npos) {
    std::string page = documentURI.substr(scheme + 3);
    std::string field = shown;
    while (!page.empty() && page.back() == '/') page.pop_back();
    while (!field.empty() && field.back() == '/') field.pop_back();
    if (page == field) return documentURI;
  }
  return "http://" + shown;
}

void TBrowserWindow::SetWindowTitle(const std::string& title) {
  FWindowTitle = title;
  utSetWindowText(FWindowHandle, title);
}

std::string TBrowserWindow::DisplayName() const {
  return FWindowTitle.empty() ? "TBrowserWindow" : FWindowTitle;
}

TBrowserWindow& TBrowserWindowList::Add() {
  items_.push_back(std::make_unique<TBrowserWindow>(this));
  return *items_.back();
}

void TBrowserWindowList::SetDesktopOpener(TDesktopOpener opener) {
  Opener() = opener ? std::move(opener) : OpenAccessibilityDesktop;
}

void TBrowserWindowList::Refresh() {
  // The capture runs on the bus's thread into a list of its own, which is
  // taken over here once it is done: a capture abandoned because the
  // window closed finishes without touching this list.
  auto capture = std::make_shared<TBrowserWindowList>();
  TDesktopOpener opener = Opener();
  RunOnAccessibilityThread([capture, opener] {
    std::string why;
    std::unique_ptr<TAccessibilityDesktop> desktop = opener(why);
    if (!desktop) {
      capture->outcome_ = TCaptureOutcome::coNoBus;
      return;
    }
    capture->Refresh(*desktop);
  });
  items_ = std::move(capture->items_);
  for (auto& item : items_) item->FOwner = this;
  outcome_ = capture->outcome_;
}

void TBrowserWindowList::Refresh(TAccessibilityDesktop& desktop) {
  Clear();
  topLevel_ = utEnumTopLevelWindows();
  used_.clear();
  browserApplications_ = 0;
  ReadIEWindows(desktop);
  ReadMozillaWindows(desktop);
  // A browser window of the X server that no frame on the bus belongs to
  // shows nothing over the bus.
  bool unexposed = false;
  for (const HWND w : topLevel_)
    if (std::find(used_.begin(), used_.end(), w) == used_.end() &&
        IsBrowserWindowClass(utGetClassName(w, 1024)))
      unexposed = true;
  if (unexposed || (Count() == 0 && browserApplications_ > 0))
    outcome_ = TCaptureOutcome::coNotExposed;
  else
    outcome_ = Count() > 0 ? TCaptureOutcome::coFound : TCaptureOutcome::coNoBrowser;
}

HWND TBrowserWindowList::MatchWindow(TAccessible& application, const std::string& title) {
  if (topLevel_.empty()) return 0;
  const int pid = application.ProcessId();
  for (const HWND w : topLevel_) {
    if (std::find(used_.begin(), used_.end(), w) != used_.end()) continue;
    if (utGetWindowProcessId(w) == pid && utGetWindowText(w) == title) {
      used_.push_back(w);
      return w;
    }
  }
  return 0;
}

void TBrowserWindowList::ReadIEWindows(TAccessibilityDesktop& desktop) {
  for (const auto& application : desktop.Applications()) {
    if (desktop.TimeIsUp()) return;
    if (!IsChromiumFamily(application->Name())) continue;
    ++browserApplications_;
    const int frames = application->ChildCount();
    for (int i = 0; i < frames && !desktop.TimeIsUp(); ++i)
      if (std::unique_ptr<TAccessible> frame = application->Child(i))
        CheckHandle(*application, *frame);
  }
}

void TBrowserWindowList::CheckHandle(TAccessible& application, TAccessible& frame) {
  if (IsChromiumFamily(application.Name()) && IsChromiumBrowserFrame(frame))
    AddBrowser(application, frame, bwInternetExplorer);
}

void TBrowserWindowList::AddBrowser(TAccessible& application, TAccessible& frame,
                                    TBrowserType BrowserType) {
  if (BrowserType != bwInternetExplorer) return;
  TBrowserWindow& item = Add();
  item.FBrowserType = bwInternetExplorer;
  item.FWindowTitle = frame.Name();
  item.FWindowHandle = MatchWindow(application, item.FWindowTitle);
  item.FWindowClass =
      item.FWindowHandle ? utGetClassName(item.FWindowHandle, 255) : application.Name();
  const int param = static_cast<int>(Count() - 1) + kChildEnumerationOffset;
  documentURI_.clear();
  int budget = kMaxNodesPerFrame;
  // Every control is passed on; the last address field found wins.
  ForEachControl(frame, 0, budget, documentURI_, [&](TAccessible& child, const std::string& role) {
    if (role == "entry" || role == "combo box" || role == "text") CheckChildHandle(child, param);
    return true;
  });
  item.FURLFieldTitle = AddressToURL(item.FURLFieldTitle, documentURI_);
}

void TBrowserWindowList::CheckChildHandle(TAccessible& child, int Param) {
  const int index = Param - kChildEnumerationOffset;
  if (index < 0 || static_cast<size_t>(index) >= Count()) return;
  if (IsAddressField(child)) UpdateBrowserChild(child, static_cast<size_t>(index));
}

void TBrowserWindowList::UpdateBrowserChild(TAccessible& child, size_t Index) {
  if (Index >= Count()) return;
  TBrowserWindow& item = GetItem(Index);
  // The field is a control of the browser's own, not an X window.
  item.FURLFieldHandle = 0;
  item.FURLFieldClass = child.RoleName();
  std::string text;
  child.Text(kMaxAddressLength, text);
  item.FURLFieldTitle = text;
}

void TBrowserWindowList::ReadMozillaWindows(TAccessibilityDesktop& desktop) {
  const TMozillaIterator windows(*this, desktop);
  for (size_t i = 0; i < windows.Count(); ++i) {
    TBrowserWindow& item = Add();
    item.FBrowserType = bwMozilla;
    item.FURLFieldTitle = windows.Addresses(i);
  }
}

TMozillaIterator::TMozillaIterator(TBrowserWindowList& list, TAccessibilityDesktop& desktop)
    : list_(list), desktop_(desktop) {
  DoEnumertion();
}

void TMozillaIterator::DoEnumertion() {
  FAddresses.clear();
  for (const auto& application : desktop_.Applications()) {
    if (desktop_.TimeIsUp()) return;
    if (!IsMozillaFamily(application->Name())) continue;
    ++list_.browserApplications_;
    const int frames = application->ChildCount();
    for (int i = 0; i < frames && !desktop_.TimeIsUp(); ++i) {
      std::unique_ptr<TAccessible> frame = application->Child(i);
      if (!frame || frame->RoleName() != "frame") continue;
      const HWND window = list_.MatchWindow(*application, frame->Name());
      // The first address field ends the walk.
      std::string text, documentURI;
      int budget = kMaxNodesPerFrame;
      ForEachControl(*frame, 0, budget, documentURI,
                     [&](TAccessible& child, const std::string& role) {
                       if (!IsAddressField(child, role)) return true;
                       child.Text(kMaxAddressLength, text);
                       return false;
                     });
      const std::string address = AddressToURL(text, documentURI);
      if (!address.empty()) FAddresses.emplace_back(address, window);
    }
  }
}
