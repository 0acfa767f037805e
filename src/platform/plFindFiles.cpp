#include "plFindFiles.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <memory>

namespace {
struct TDirCloser {
  void operator()(DIR* d) const { ::closedir(d); }
};
}  // namespace

std::vector<TDirEntry> FindDirEntries(const std::string& mask) {
  const size_t slash = mask.rfind('/');
  const std::string folder = slash == std::string::npos ? "./" : mask.substr(0, slash + 1);
  const std::string pattern = slash == std::string::npos ? mask : mask.substr(slash + 1);
  const bool everything = pattern == "*.*";

  std::vector<TDirEntry> entries;
  std::unique_ptr<DIR, TDirCloser> dir(::opendir(folder.c_str()));
  if (!dir) return entries;
  const int dirFd = ::dirfd(dir.get());
  while (const dirent* e = ::readdir(dir.get())) {
    if (!everything && ::fnmatch(pattern.c_str(), e->d_name, 0) != 0) continue;
    TDirEntry entry{e->d_name, e->d_type == DT_DIR};
    if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
      struct stat st {};
      entry.isFolder = ::fstatat(dirFd, e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

bool GetFolderId(const std::string& folder, TFolderId& id) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  id = {st.st_dev, st.st_ino};
  return true;
}
