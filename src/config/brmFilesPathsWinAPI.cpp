#include "brmFilesPathsWinAPI.h"

#include <cstdlib>
#include <fstream>
#include <string_view>

#include "brmRegTools.h"
#include "plPaths.h"

namespace {

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string Home() { return WithoutTrailingSlash(GetHomeFolder()); }

std::string EnvFolder(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && value[0] == '/' ? WithoutTrailingSlash(value) : fallback;
}

std::string DataHome() { return EnvFolder("XDG_DATA_HOME", Home() + "/.local/share"); }
std::string ConfigHome() { return EnvFolder("XDG_CONFIG_HOME", Home() + "/.config"); }

// The first folder of $XDG_DATA_DIRS, or /usr/share.
std::string CommonData() {
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  if (!dirs || dirs[0] != '/') return "/usr/share";
  const std::string_view all(dirs);
  return WithoutTrailingSlash(std::string(all.substr(0, all.find(':'))));
}

// A folder of xdg-user-dirs: XDG_<NAME>_DIR="$HOME/..." in user-dirs.dirs,
// else the default under the home folder.
std::string UserDir(const std::string& name, const std::string& fallback) {
  std::ifstream in(ConfigHome() + "/user-dirs.dirs");
  const std::string key = "XDG_" + name + "_DIR=";
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(key, 0) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = Home() + value.substr(5);
    if (!value.empty() && value[0] == '/') return WithoutTrailingSlash(value);
  }
  return Home() + "/" + fallback;
}

const char* kShellFolders = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";

std::string RegistryFolder(HKEY root, const std::string& key, const std::string& value) {
  std::string s;
  return utRegReadSingleString(root, key, value, s, 32) ? s : std::string();
}

}  // namespace

std::string utGetWindowsDirectoryAnsi() { return "/usr"; }
std::string utGetSystemDirectoryAnsi() { return "/usr/lib"; }

std::string utGetSysCplNameAnsi(const std::string& Prefix, const std::string& WinDir) {
  try {
    const std::string key =
        "\\" + Prefix + "Software\\CLASSES\\CLSID\\{21EC2020-3AEA-1069-A2DD-08002B30309D}\\";
    std::string name;
    if (!utRegReadSingleString(HKEY_LOCAL_MACHINE, key, "", name, 32) &&
        !utRegReadSingleString(HKEY_LOCAL_MACHINE, key, "", name, 64))
      name = "Systemsteuerung";
    return WinDir + "/" + name;
  } catch (const std::exception&) {
    return "/usr/Systemsteuerung";
  }
}

std::string SpecialDirectoryAnsi(int32_t CSIDL) {
  try {
    switch (CSIDL) {
      case 0:   // desktop
      case 16:  // desktop folder
        return UserDir("DESKTOP", "Desktop");
      case 2:   // programs of the start menu
      case 11:  // start menu
        return DataHome() + "/applications";
      case 5:   // personal
      case 12:  // my documents
        return UserDir("DOCUMENTS", "Documents");
      case 7:  // startup
        return ConfigHome() + "/autostart";
      case 13:
        return UserDir("MUSIC", "Music");
      case 14:
        return UserDir("VIDEOS", "Videos");
      case 20:
        return DataHome() + "/fonts";
      case 21:
        return UserDir("TEMPLATES", "Templates");
      case 22:  // common start menu
      case 23:  // common programs
        return CommonData() + "/applications";
      case 24:
        return "/etc/xdg/autostart";
      case 26:  // application data
      case 28:  // local application data
        return DataHome();
      case 35:  // common application data
        return CommonData();
      case 36:
        return utGetWindowsDirectoryAnsi();
      case 37:
        return utGetSystemDirectoryAnsi();
      case 38:  // programs of other makers
        return "/opt";
      case 40:
        return Home();
      case 43:  // common files of programs
        return "/usr/share";
      case 62: {  // the folder of the home folders
        const std::string home = Home();
        return home.substr(0, home.rfind('/') > 0 ? home.rfind('/') : 1);
      }
      default:
        return "";
    }
  } catch (const std::exception&) {
    return "";
  }
}

std::string utSpecialDirectoryAnsi(uint32_t CSIDL) {
  const std::string folder = SpecialDirectoryAnsi(static_cast<int32_t>(CSIDL));
  if (!folder.empty()) return folder;
  switch (CSIDL) {
    case 6:
      return RegistryFolder(HKEY_CURRENT_USER, kShellFolders, "Favorites");
    case 21:
      return RegistryFolder(HKEY_CURRENT_USER, kShellFolders, "Templates");
    case 31:
      return RegistryFolder(HKEY_LOCAL_MACHINE, kShellFolders, "Common Favorites");
    case 35:
      return SpecialDirectoryAnsi(26);
    case 36:
      return utGetWindowsDirectoryAnsi();
    case 37:
      return utGetSystemDirectoryAnsi();
    case 38:
      return RegistryFolder(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\",
                            "ProgramFilesDir");
    case 45:
      return RegistryFolder(HKEY_LOCAL_MACHINE, kShellFolders, "Common Templates");
    case 46:
      return RegistryFolder(HKEY_LOCAL_MACHINE, kShellFolders, "Common Documents");
    default:
      return "";
  }
}
