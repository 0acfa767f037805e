// Directory enumeration: the entries of one folder whose names fit a
// pattern, in the order the file system delivers them.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct TDirEntry {
  std::string name;
  bool isFolder = false;  // a folder, or a symbolic link to one
};

// mask is a folder path (up to and including its last "/") and a file
// pattern matched with fnmatch (letter case counts); "*.*" means every
// entry, "." and ".." included. A missing or unreadable folder gives no
// entries.
std::vector<TDirEntry> FindDirEntries(const std::string& mask);

// What identifies a folder, so that a tree walk can tell one it has seen.
struct TFolderId {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator<(const TFolderId& o) const {
    return device != o.device ? device < o.device : inode < o.inode;
  }
};
// False when the folder cannot be reached.
bool GetFolderId(const std::string& folder, TFolderId& id);
