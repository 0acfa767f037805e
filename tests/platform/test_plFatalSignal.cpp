#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "TempFolder.h"
#include "plFatalSignal.h"
#include "utFiles.h"

TEST(FatalSignal, AReportFileIsWrittenAndTheSignalStillEndsTheProgram) {
  TTempFolder dir;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InstallFatalSignalHandler(dir.Path(), "9.8.7");
    ::raise(SIGSEGV);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGSEGV);
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
    files.push_back(e.path().filename().string());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].rfind("crash-", 0), 0u);
  EXPECT_NE(files[0].find("-" + std::to_string(child) + ".txt"), std::string::npos);
  const std::string report = ReadFileBytes(dir.Path() + files[0]);
  EXPECT_NE(report.find("SIGSEGV"), std::string::npos);
  EXPECT_NE(report.find("Version: 9.8.7"), std::string::npos);
  EXPECT_NE(report.find("Where:"), std::string::npos);
}
