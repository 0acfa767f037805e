#include "utFileSysWin.h"

#include <deque>
#include <set>

#include "plFindFiles.h"
#include "utFiles.h"
#include "utStringCompare.h"
#include "utStrings.h"

namespace {

constexpr std::string_view kRegExprTag = "<regexpr>";

// Undoes StringToRegExpr: "\\" becomes "\", "\(", "\)" and "\." lose the "\".
std::string RegExprToString(std::string_view text) {
  std::string r;
  r.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() &&
        std::string_view("\\().").find(text[i + 1]) != std::string_view::npos)
      ++i;
    r += text[i];
  }
  return r;
}

// A mask taken apart: the tag prefix, the folder searched and the pattern.
struct TMaskParts {
  std::string prefix, folder, pattern;
  bool tagged = false;
};

TMaskParts SplitMask(const std::string& mask) {
  TMaskParts parts;
  parts.tagged = !mask.empty() && mask[0] == '<';
  std::string_view rest = mask;
  if (StartsWith(mask, kRegExprTag)) {
    parts.prefix = kRegExprTag;
    rest.remove_prefix(kRegExprTag.size());
    const size_t slash = rest.rfind('/');
    const size_t cut = slash == std::string_view::npos ? 0 : slash + 1;
    parts.folder = RegExprToString(rest.substr(0, cut));
    parts.pattern = rest.substr(cut);
    return parts;
  }
  if (parts.tagged) {
    const size_t close = mask.find('>');
    const size_t cut = close == std::string::npos ? mask.size() : close + 1;
    parts.prefix = mask.substr(0, cut);
    rest.remove_prefix(cut);
  }
  parts.folder = ExtractFilePath(std::string(rest));
  parts.pattern = rest.substr(parts.folder.size());
  return parts;
}

bool IsNaviDir(std::string_view entry) {
  return entry == "." || entry == ".." || EndsWith(entry, "/.") || EndsWith(entry, "/..");
}

}  // namespace

TStringList WindowsFindFileList(const std::string& AFileMask, bool AShowFiles, bool AShowFolders) {
  return WindowsFindFileList(AFileMask, AShowFiles, AShowFolders, false, false);
}

TStringList WindowsFindFileList(const std::string& AFileMask, bool AShowFiles, bool AShowFolders,
                                bool AFullPath) {
  const TMaskParts parts = SplitMask(AFileMask);
  TStringList result;
  for (const TDirEntry& entry : FindDirEntries(parts.tagged ? parts.folder + "*.*" : AFileMask)) {
    if (entry.isFolder ? !AShowFolders : !AShowFiles) continue;
    const std::string path = parts.folder + entry.name;
    if (parts.tagged && !utCompareIDString(path, AFileMask, true, TCompareStyle::csWildcards))
      continue;
    result.Add(AFullPath ? path : entry.name);
  }
  return result;
}

TStringList WindowsFindFileList(const std::string& AFileMask, bool AShowFiles, bool AShowFolders,
                                bool AFullPath, bool ARecursive) {
  const TMaskParts parts = SplitMask(AFileMask);
  const std::string& start = parts.folder;
  TStringList result;
  auto append = [&](const TStringList& found, const std::string& folder) {
    const std::string relative = folder.substr(start.size());
    for (const std::string& path : found.Lines())
      result.Add(AFullPath ? path : relative + ExtractFileName(path));
  };

  std::set<TFolderId> visited;
  if (TFolderId id; GetFolderId(start.empty() ? "." : start, id)) visited.insert(id);
  std::deque<std::string> queue{start};
  while (!queue.empty()) {
    const std::string folder = std::move(queue.front());
    queue.pop_front();
    const std::string mask = GetNextPath(parts.prefix, folder, parts.pattern);
    if (AShowFiles) append(WindowsFindFileList(mask, true, false, true), folder);
    if (AShowFolders) {
      TStringList folders = WindowsFindFileList(mask, false, true, true);
      WindowsFindFileListFilterNaviDirs(&folders);
      append(folders, folder);
    }
    if (ARecursive) {
      TStringList subfolders = WindowsFindFileList(folder + "*.*", false, true, true);
      WindowsFindFileListFilterNaviDirs(&subfolders);
      for (const std::string& sub : subfolders.Lines()) {
        TFolderId id;
        if (GetFolderId(sub, id) && !visited.insert(id).second) continue;
        queue.push_back(sub + "/");
      }
    }
  }
  return result;
}

void WindowsFindFileListFilterNaviDirs(TStringList* ADirectoryList) {
  if (!ADirectoryList) return;
  for (size_t i = ADirectoryList->Count(); i-- > 0;)
    if (IsNaviDir((*ADirectoryList)[i])) ADirectoryList->Delete(i);
}

std::string GetNextPath(const std::string& prefix, const std::string& folder,
                        const std::string& pattern) {
  return prefix + (prefix == kRegExprTag ? StringToRegExpr(folder) : folder) + pattern;
}
