#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "TempFolder.h"
#include "utFileSysWin.h"
#include "utStringCompare.h"
#include "utStrings.h"

namespace {

// root/a.txt, root/B.TXT, root/notes.log, root/sub/b.txt, root/sub/deep/c.txt,
// root/other/ (empty)
struct TTree {
  TTempFolder dir;
  std::string root;
  TTree() {
    root = dir.Path();
    dir.Write("a.txt", "a");
    dir.Write("B.TXT", "b");
    dir.Write("notes.log", "n");
    dir.Write("sub/b.txt", "b");
    dir.Write("sub/deep/c.txt", "c");
    std::filesystem::create_directory(root + "other");
  }
};

std::vector<std::string> Sorted(const TStringList& list) {
  std::vector<std::string> v = list.Lines();
  std::sort(v.begin(), v.end());
  return v;
}

using V = std::vector<std::string>;

}  // namespace

TEST(FileList, OneFolderWithPlainMasks) {
  TTree t;
  EXPECT_EQ(Sorted(WindowsFindFileList(t.root + "*.txt", true, false)), V{"a.txt"});
  EXPECT_EQ(Sorted(WindowsFindFileList(t.root + "*.txt", true, false, true)), V{t.root + "a.txt"});
  EXPECT_EQ(Sorted(WindowsFindFileList(t.root + "?.*", true, false, false)), (V{"B.TXT", "a.txt"}));
  EXPECT_EQ(Sorted(WindowsFindFileList(t.root + "*.*", false, true, false)),
            (V{".", "..", "other", "sub"}));
  EXPECT_EQ(Sorted(WindowsFindFileList(t.root + "*.*", true, false, false)),
            (V{"B.TXT", "a.txt", "notes.log"}));
  EXPECT_TRUE(WindowsFindFileList(t.root + "*.*", false, false, false).Empty());
  EXPECT_TRUE(WindowsFindFileList(t.root + "*.none", true, true, false).Empty());
  EXPECT_TRUE(WindowsFindFileList(t.root + "missing/*.*", true, true, false).Empty());
  // The three-argument form leaves "." and ".." out, as the tree form does.
  EXPECT_EQ(Sorted(WindowsFindFileList(t.root + "*.*", false, true)), (V{"other", "sub"}));
}

TEST(FileList, TaggedMasksMatchTheFullPathWithoutRegardToCase) {
  TTree t;
  EXPECT_EQ(Sorted(WindowsFindFileList("<wc>" + t.root + "*.txt", true, false, false)),
            (V{"B.TXT", "a.txt"}));
  EXPECT_EQ(Sorted(WindowsFindFileList("<substr>" + t.root + "note", true, false, true)),
            V{t.root + "notes.log"});
  EXPECT_EQ(Sorted(WindowsFindFileList("<bool>" + t.root + "a.txt OR notes", true, false)),
            (V{"a.txt", "notes.log"}));
  EXPECT_EQ(Sorted(WindowsFindFileList("<bm>" + t.root + "SUB", false, true, false)), V{"sub"});
}

TEST(FileList, RegularExpressionMasks) {
  TTree t;
  const std::string folder = StringToRegExpr(t.root);
  EXPECT_EQ(Sorted(WindowsFindFileList("<regexpr>" + folder + ".*\\.txt$", true, false, true)),
            (V{t.root + "B.TXT", t.root + "a.txt"}));
  EXPECT_TRUE(WindowsFindFileList("<regexpr>" + folder + "^a", true, true, false).Empty());
  EXPECT_THROW(WindowsFindFileList("<regexpr>" + folder + "(", true, false, false), ERegExpError);
  EXPECT_EQ(
      Sorted(WindowsFindFileList("<regexpr>" + folder + "[bc]\\.txt$", true, false, false, true)),
      (V{"B.TXT", "sub/b.txt", "sub/deep/c.txt"}));
  EXPECT_THROW(WindowsFindFileList("<regexpr>" + folder + "(", true, false, false, true),
               ERegExpError);
}

TEST(FileList, TreeSearchIsBreadthFirstFilesBeforeFolders) {
  TTree t;
  const TStringList relative = WindowsFindFileList(t.root + "*.txt", true, false, false, true);
  EXPECT_EQ(Sorted(relative), (V{"a.txt", "sub/b.txt", "sub/deep/c.txt"}));
  EXPECT_EQ(relative[0], "a.txt");
  EXPECT_EQ(relative[2], "sub/deep/c.txt");
  EXPECT_EQ(Sorted(WindowsFindFileList(t.root + "*.txt", true, false, true, true)),
            (V{t.root + "a.txt", t.root + "sub/b.txt", t.root + "sub/deep/c.txt"}));
  const TStringList all = WindowsFindFileList(t.root + "*.*", true, true, false, true);
  EXPECT_EQ(Sorted(all), (V{"B.TXT", "a.txt", "notes.log", "other", "sub", "sub/b.txt", "sub/deep",
                            "sub/deep/c.txt"}));
  // Per folder: its files, then its folders.
  const auto at = [&](const std::string& s) {
    return std::find(all.Lines().begin(), all.Lines().end(), s) - all.Lines().begin();
  };
  EXPECT_LT(at("notes.log"), at("sub"));
  EXPECT_LT(at("sub"), at("sub/b.txt"));
  EXPECT_LT(at("sub/b.txt"), at("sub/deep"));
  // Without recursion the tree form lists the start folder only.
  EXPECT_EQ(Sorted(WindowsFindFileList(t.root + "*.*", false, true, false, false)),
            (V{"other", "sub"}));
  EXPECT_EQ(Sorted(WindowsFindFileList("<wc>" + t.root + "*.TXT", true, false, false, true)),
            (V{"B.TXT", "a.txt", "sub/b.txt", "sub/deep/c.txt"}));
  EXPECT_TRUE(WindowsFindFileList(t.root + "missing/*.*", true, true, false, true).Empty());
}

TEST(FileList, ALinkCycleIsWalkedOnce) {
  TTree t;
  ASSERT_EQ(::symlink(t.root.c_str(), (t.root + "sub/back").c_str()), 0);
  ASSERT_EQ(::symlink((t.root + "sub").c_str(), (t.root + "sub/deep/up").c_str()), 0);
  const TStringList found = WindowsFindFileList(t.root + "*.txt", true, false, false, true);
  EXPECT_EQ(Sorted(found), (V{"a.txt", "sub/b.txt", "sub/deep/c.txt"}));
  // The links are listed as folders, but not entered again.
  const TStringList folders = WindowsFindFileList(t.root + "*.*", false, true, false, true);
  EXPECT_EQ(Sorted(folders), (V{"other", "sub", "sub/back", "sub/deep", "sub/deep/up"}));
}

TEST(FileList, NaviDirFilterAndNextPath) {
  TStringList list({".", "..", "/a/.", "/a/..", "/a/b", "x.", "..y"});
  WindowsFindFileListFilterNaviDirs(&list);
  EXPECT_EQ(list.Lines(), (V{"/a/b", "x.", "..y"}));
  WindowsFindFileListFilterNaviDirs(nullptr);
  EXPECT_EQ(GetNextPath("", "/d/", "*.txt"), "/d/*.txt");
  EXPECT_EQ(GetNextPath("<wc>", "/d/", "*.txt"), "<wc>/d/*.txt");
  EXPECT_EQ(GetNextPath("<regexpr>", "/my.d(1)/", "x$"), "<regexpr>/my\\.d\\(1\\)/x$");
}
