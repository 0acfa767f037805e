#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "TempFolder.h"
#include "utFiles.h"

TEST(Files, AtomicWriteReplacesAndLeavesNoTemporaryFile) {
  TTempFolder dir;
  const std::string path = dir.Path() + "report.txt";
  WriteFileAtomic(path, "old");
  const std::string bytes("new\0\xff\r\n", 7);
  WriteFileAtomic(path, bytes);
  EXPECT_EQ(ReadFileBytes(path), bytes);
  size_t files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1u);
  EXPECT_THROW(WriteFileAtomic(dir.Path() + "no/such/folder/x.txt", "x"), EFileError);
}

TEST(Files, ReadsAreBounded) {
  TTempFolder dir;
  const std::string path = dir.Write("big", std::string(1000, 'x'));
  EXPECT_EQ(ReadFileBytes(path, 1000).size(), 1000u);
  EXPECT_THROW(ReadFileBytes(path, 999), EFileError);
  EXPECT_THROW(ReadFileBytes(dir.Path() + "missing"), EFileError);
}

TEST(Files, PathsAndFolders) {
  TTempFolder dir;
  EXPECT_TRUE(ForceDirectories(dir.Path() + "a/b/c"));
  EXPECT_TRUE(ForceDirectories(dir.Path() + "a/b/c"));
  EXPECT_TRUE(DirectoryExists(dir.Path() + "a/b"));
  EXPECT_FALSE(FileExists(dir.Path() + "a"));
  EXPECT_EQ(IncludeTrailingPathDelimiter("/x"), "/x/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/x/"), "/x/");
  EXPECT_EQ(ExtractFilePath("/a/b.txt"), "/a/");
  EXPECT_EQ(ExtractFileName("/a/b.txt"), "b.txt");
  EXPECT_EQ(ExtractFilePath("b.txt"), "");
}
