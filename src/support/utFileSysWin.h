// Lists the files and folders that fit a file mask, in one folder or down a
// whole folder tree. A mask is a folder path and a file pattern ("*", "?"),
// or it begins with a compare tag ("<wc>", "<substr>", "<bool>", "<bm>",
// "<regexpr>"), and then every entry of the folder is enumerated and kept
// when its full path fits the rule.
//
// A "<regexpr>" mask is "<regexpr>" + the folder escaped by StringToRegExpr
// + the expression; the folder is the text up to and including the last "/",
// with the escapes undone, and the whole mask after the tag is the rule.
#pragma once

#include <string>

#include "utStringList.h"

// Bare names from one folder.
TStringList WindowsFindFileList(const std::string& AFileMask, bool AShowFiles, bool AShowFolders);
// One folder: the fitting entries, as names or, with AFullPath, full paths.
// "." and ".." are listed when the mask fits them.
TStringList WindowsFindFileList(const std::string& AFileMask, bool AShowFiles, bool AShowFolders,
                                bool AFullPath);
// A folder and, with ARecursive, its whole tree, breadth first: per folder
// its fitting files, then its fitting folders; without AFullPath the
// entries are relative to the start folder ("sub/b.txt"). "." and ".." are
// never listed, and no folder is visited twice (links may form cycles).
TStringList WindowsFindFileList(const std::string& AFileMask, bool AShowFiles, bool AShowFolders,
                                bool AFullPath, bool ARecursive);

// Removes "." and ".." and every entry ending in "/." or "/..".
void WindowsFindFileListFilterNaviDirs(TStringList* ADirectoryList);

// The mask for one folder of a tree search: prefix + folder + pattern, the
// folder escaped for a regular expression when the prefix is "<regexpr>".
std::string GetNextPath(const std::string& prefix, const std::string& folder,
                        const std::string& pattern);
