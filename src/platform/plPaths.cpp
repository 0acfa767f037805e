#include "plPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {
std::string WithTrailingSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}
}  // namespace

std::string GetProgramFile() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

std::string GetProgramFolder() {
  const std::string file = GetProgramFile();
  if (file.empty()) return "./";
  return WithTrailingSlash(std::filesystem::path(file).parent_path().string());
}

std::string GetHomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return WithTrailingSlash(home);
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
    return WithTrailingSlash(pw->pw_dir);
  return "/tmp/";
}

std::string GetAppDataFolder() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  // The base directory specification ignores relative paths.
  if (xdg && xdg[0] == '/') return WithTrailingSlash(xdg);
  return GetHomeFolder() + ".local/share/";
}

bool IsFolderWritable(const std::string& folder) { return ::access(folder.c_str(), W_OK) == 0; }
