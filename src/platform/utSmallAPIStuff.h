// The windows of other programs on the desktop: top-level windows of the X
// server named by DISPLAY, their titles, classes and processes. Without an
// X server there are no windows, and every text is empty.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An X11 window id; 0 is no window.
using HWND = uint32_t;

// The top-level windows: the window manager's client list (_NET_CLIENT_LIST)
// when there is one, else the root window's children that have a title.
std::vector<HWND> utEnumTopLevelWindows();
// The window's title: _NET_WM_NAME (UTF-8), else WM_NAME.
std::string utGetWindowText(HWND hWnd);
// The class part of WM_CLASS, at most nMaxCount - 1 characters.
std::string utGetClassName(HWND hWnd, int nMaxCount);
// The process that owns the window (_NET_WM_PID), 0 when it does not say.
int utGetWindowProcessId(HWND hWnd);
// Sets the window's title (_NET_WM_NAME and WM_NAME); false without an X
// server or window.
bool utSetWindowText(HWND hWnd, const std::string& text);
