#include "utSmallAPIStuff.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <mutex>

namespace {

// One connection for the whole program, opened on first use; every call
// takes the mutex, so the connection is used by one thread at a time. A
// failing request (a window that has gone) is not fatal.
struct TX11 {
  std::mutex mutex;
  Display* display = nullptr;
  bool tried = false;
};

TX11& X11() {
  static TX11* x = new TX11;  // lives until the process ends
  return *x;
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

Display* Open(TX11& x) {
  if (!x.tried) {
    x.tried = true;
    const char* name = std::getenv("DISPLAY");
    if (name && *name) {
      x.display = XOpenDisplay(name);
      if (x.display) XSetErrorHandler(IgnoreErrors);
    }
  }
  return x.display;
}

// A property of a window as bytes (at most 64 KiB) with its format.
bool GetProperty(Display* d, HWND w, const char* name, Atom type, std::string& bytes, int& format,
                 unsigned long& items) {
  const Atom property = XInternAtom(d, name, True);
  if (property == None) return false;
  Atom actualType = None;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, property, 0, 16384, False, type, &actualType, &format, &items,
                         &after, &data) != Success ||
      !data)
    return false;
  const size_t unit = format == 32 ? sizeof(long) : format == 16 ? 2 : 1;
  bytes.assign(reinterpret_cast<const char*>(data), items * unit);
  XFree(data);
  return actualType != None;
}

std::string TextProperty(Display* d, HWND w, const char* name, Atom type) {
  std::string bytes;
  int format = 0;
  unsigned long items = 0;
  if (!GetProperty(d, w, name, type, bytes, format, items) || format != 8) return {};
  return bytes;
}

std::string WindowText(Display* d, HWND w) {
  const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  std::string text = TextProperty(d, w, "_NET_WM_NAME", utf8);
  if (text.empty()) text = TextProperty(d, w, "WM_NAME", AnyPropertyType);
  return text;
}

}  // namespace

std::vector<HWND> utEnumTopLevelWindows() {
  TX11& x = X11();
  std::lock_guard lock(x.mutex);
  std::vector<HWND> windows;
  Display* d = Open(x);
  if (!d) return windows;
  const Window root = DefaultRootWindow(d);
  std::string bytes;
  int format = 0;
  unsigned long items = 0;
  if (GetProperty(d, root, "_NET_CLIENT_LIST", XA_WINDOW, bytes, format, items) && format == 32) {
    const auto* ids = reinterpret_cast<const unsigned long*>(bytes.data());
    for (unsigned long i = 0; i < items; ++i) windows.push_back(static_cast<HWND>(ids[i]));
    return windows;
  }
  // No window manager: the root's children that have a title.
  Window rootReturn = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(d, root, &rootReturn, &parent, &children, &count)) return windows;
  for (unsigned int i = 0; i < count; ++i)
    if (!WindowText(d, children[i]).empty()) windows.push_back(static_cast<HWND>(children[i]));
  if (children) XFree(children);
  return windows;
}

std::string utGetWindowText(HWND hWnd) {
  TX11& x = X11();
  std::lock_guard lock(x.mutex);
  Display* d = Open(x);
  return d && hWnd ? WindowText(d, hWnd) : std::string();
}

std::string utGetClassName(HWND hWnd, int nMaxCount) {
  TX11& x = X11();
  std::lock_guard lock(x.mutex);
  Display* d = Open(x);
  if (!d || !hWnd || nMaxCount <= 1) return {};
  // WM_CLASS: the instance name, NUL, the class name, NUL.
  const std::string both = TextProperty(d, hWnd, "WM_CLASS", XA_STRING);
  const size_t nul = both.find('\0');
  std::string name = nul == std::string::npos ? both : both.substr(nul + 1);
  if (const size_t end = name.find('\0'); end != std::string::npos) name.resize(end);
  if (name.size() > static_cast<size_t>(nMaxCount - 1))
    name.resize(static_cast<size_t>(nMaxCount - 1));
  return name;
}

int utGetWindowProcessId(HWND hWnd) {
  TX11& x = X11();
  std::lock_guard lock(x.mutex);
  Display* d = Open(x);
  if (!d || !hWnd) return 0;
  std::string bytes;
  int format = 0;
  unsigned long items = 0;
  if (!GetProperty(d, hWnd, "_NET_WM_PID", XA_CARDINAL, bytes, format, items) || format != 32 ||
      items < 1)
    return 0;
  return static_cast<int>(*reinterpret_cast<const unsigned long*>(bytes.data()));
}

bool utSetWindowText(HWND hWnd, const std::string& text) {
  TX11& x = X11();
  std::lock_guard lock(x.mutex);
  Display* d = Open(x);
  if (!d || !hWnd) return false;
  const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  const Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
  XChangeProperty(d, hWnd, netName, utf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(text.data()),
                  static_cast<int>(text.size()));
  XStoreName(d, hWnd, text.c_str());
  XFlush(d);
  return true;
}
