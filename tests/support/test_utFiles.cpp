#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
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

TEST(Files, AProcessKilledWhileReplacingLeavesAWholeFileAndItsLitterIsRemoved) {
  TTempFolder dir;
  const std::string path = dir.Path() + "report.txt";
  const std::string a(2u << 20, 'a'), b(2u << 20, 'b');
  // Written plainly: this process's first replacement in the folder comes
  // after the killed ones.
  dir.Write("report.txt", a);
  std::srand(12345);
  for (int round = 0; round < 8; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) WriteFileAtomic(path, i % 2 ? a : b);
    }
    ::usleep(static_cast<useconds_t>(5000 + std::rand() % 40000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string now = ReadFileBytes(path);
    EXPECT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
  }
  // Writing into the folder again clears what the dead writers left.
  WriteFileAtomic(dir.Path() + "other.txt", "x");
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"other.txt", "report.txt"}));
}
