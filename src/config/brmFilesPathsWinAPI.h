// The machine's special folders, named by the shell's CSIDL numbers. On this
// platform they are the XDG user directories (the user-dirs.dirs file of
// xdg-user-dirs), $XDG_DATA_HOME, $XDG_DATA_DIRS and the home folder; a
// number without a folder here gives the empty text. The "Windows folder" is
// the system's program prefix /usr and the "system folder" its library
// folder /usr/lib.
#pragma once

#include <cstdint>
#include <string>

std::string utGetWindowsDirectoryAnsi();
std::string utGetSystemDirectoryAnsi();
// WinDir + "/" + the control panel's name ("Systemsteuerung" when the
// registry names none).
std::string utGetSysCplNameAnsi(const std::string& Prefix, const std::string& WinDir);
// The folder of a CSIDL number, or "".
std::string SpecialDirectoryAnsi(int32_t CSIDL);
// The same, with the registry and platform fall-backs of some numbers.
std::string utSpecialDirectoryAnsi(uint32_t CSIDL);
