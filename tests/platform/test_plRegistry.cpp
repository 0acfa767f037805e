#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "RegistrySandbox.h"
#include "utFiles.h"

namespace {

LONG WriteValue(const std::string& key, const std::string& name, const std::string& data) {
  HKEY h = 0;
  LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &h, nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  rc = RegSetValueExA(h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                      static_cast<DWORD>(data.size() + 1));
  RegCloseKey(h);
  return rc;
}

}  // namespace

TEST(RegistryStore, TwoProcessesWritingAtOnceLoseNoValue) {
  TRegistrySandbox box;
  ASSERT_EQ(WriteValue("Shared", "start", "x"), ERROR_SUCCESS);
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      SetRegistryStoreLocation(box.UserFolder(), box.MachineFolder());
      int failures = 0;
      for (int i = 0; i < 1000; ++i)
        failures += WriteValue(i % 2 ? "Shared" : "Shared\\Process" + std::to_string(c),
                               "p" + std::to_string(c) + "-" + std::to_string(i),
                               std::to_string(i)) != ERROR_SUCCESS;
      ::_exit(failures == 0 ? 0 : 1);
    }
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  SetRegistryStoreLocation(box.UserFolder(), box.MachineFolder());
  int found = 0;
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < 1000; ++i) {
      HKEY h = 0;
      const std::string key = i % 2 ? "Shared" : "Shared\\Process" + std::to_string(c);
      if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) continue;
      char data[16];
      DWORD size = sizeof data;
      const std::string name = "p" + std::to_string(c) + "-" + std::to_string(i);
      if (RegQueryValueExA(h, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                           &size) == ERROR_SUCCESS &&
          std::string(data) == std::to_string(i))
        ++found;
      RegCloseKey(h);
    }
  EXPECT_EQ(found, 2000);
}

TEST(RegistryStore, TheUserStoreIsPrivateAndADamagedStoreIsSetAside) {
  TRegistrySandbox box;
  for (int i = 0; i < 200; ++i)
    ASSERT_EQ(WriteValue("K" + std::to_string(i), "v", std::string(500, 'x')), ERROR_SUCCESS);
  const std::string file = box.UserFolder() + "HKEY_CURRENT_USER.sqlite";
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat(box.UserFolder().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // Close the store, fold the write-ahead log in, and cut the file in half.
  SetRegistryStoreLocation(box.UserFolder() + "elsewhere/", box.MachineFolder());
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE); PRAGMA journal_mode=DELETE", nullptr,
                 nullptr, nullptr);
    sqlite3_close(db);
  }
  const auto size = std::filesystem::file_size(file);
  std::filesystem::resize_file(file, size / 2);

  SetRegistryStoreLocation(box.UserFolder(), box.MachineFolder());
  const std::vector<std::string> problems = TakeRegistryStoreProblems();
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("was damaged"), std::string::npos) << problems[0];
  EXPECT_TRUE(TakeRegistryStoreProblems().empty());
  HKEY h = 0;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "K1", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
  // The damaged file is kept beside, and the hive works again.
  bool aside = false;
  for (const auto& e : std::filesystem::directory_iterator(box.UserFolder()))
    aside = aside || e.path().filename().string().find(".damaged-") != std::string::npos;
  EXPECT_TRUE(aside);
  EXPECT_EQ(WriteValue("Fresh", "v", "x"), ERROR_SUCCESS);
}

TEST(RegistryStore, AMachineStoreThatCannotBeWrittenRefusesWriteAccess) {
  TRegistrySandbox box;
  // A file where the machine folder should be: the hive cannot be created.
  box.dir.Write("machine", "not a folder");
  HKEY h = 0;
  EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\X", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &h, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "", 0, KEY_READ, &h), ERROR_SUCCESS);
  RegCloseKey(h);
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
}
