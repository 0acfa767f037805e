#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
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

std::string ReadValue(const std::string& key, const std::string& name) {
  HKEY h = 0;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
    return "(no key)";
  char buf[256] = {};
  DWORD size = sizeof buf;
  const LONG rc =
      RegQueryValueExA(h, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(h);
  return rc == ERROR_SUCCESS ? std::string(buf) : "(no value)";
}

// Runs SQL on a store file while no hive has it open.
void OnStoreFile(const std::string& file, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
  sqlite3_close(db);
}

}  // namespace

TEST(RegistryStore, DamagedIndexesAndForeignDatabasesAreSetAside) {
  const struct {
    const char* what;
    std::function<void(const std::string& file)> damage;
  } cases[] = {
      {"a changed byte in the index of key names",
       [](const std::string& file) {
         // The last byte of the index's root page lies in one of its entries.
         int root = 0, pageSize = 0;
         sqlite3* db = nullptr;
         sqlite3_open(file.c_str(), &db);
         sqlite3_stmt* s = nullptr;
         sqlite3_prepare_v2(db,
                            "SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM "
                            "sqlite_master WHERE name = 'sqlite_autoindex_keys_1'",
                            -1, &s, nullptr);
         if (sqlite3_step(s) == SQLITE_ROW) {
           root = sqlite3_column_int(s, 0);
           pageSize = sqlite3_column_int(s, 1);
         }
         sqlite3_finalize(s);
         sqlite3_close(db);
         ASSERT_GT(root, 0);
         std::string bytes = ReadFileBytes(file);
         bytes[static_cast<size_t>(root) * pageSize - 2] ^= 0x01;
         WriteFileAtomic(file, bytes);
       }},
      {"a sound database of another kind",
       [](const std::string& file) {
         std::filesystem::remove(file);
         OnStoreFile(file, "CREATE TABLE settings (name TEXT, value TEXT)");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TRegistrySandbox box;
    ASSERT_EQ(WriteValue("Software\\Corvina", "Kept", "old"), ERROR_SUCCESS);
    const std::string file = box.UserFolder() + "HKEY_CURRENT_USER.sqlite";
    SetRegistryStoreLocation(box.UserFolder() + "elsewhere/", box.MachineFolder());
    OnStoreFile(file, "PRAGMA wal_checkpoint(TRUNCATE); PRAGMA journal_mode=DELETE");
    c.damage(file);

    SetRegistryStoreLocation(box.UserFolder(), box.MachineFolder());
    const std::vector<std::string> problems = TakeRegistryStoreProblems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("was damaged"), std::string::npos) << problems[0];
    // The hive starts empty and works: a value written is read back once.
    EXPECT_EQ(ReadValue("Software\\Corvina", "Kept"), "(no key)");
    ASSERT_EQ(WriteValue("Software\\Corvina", "Kept", "new"), ERROR_SUCCESS);
    EXPECT_EQ(ReadValue("Software\\Corvina", "Kept"), "new");
    EXPECT_TRUE(TakeRegistryStoreProblems().empty());
  }
}

TEST(RegistryStore, AStoreMadeByAnotherInstanceAfterStartIsRead) {
  TRegistrySandbox box;
  // This instance looks before any store exists.
  EXPECT_EQ(ReadValue("Software\\Corvina", "Language"), "(no key)");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SetRegistryStoreLocation(box.UserFolder(), box.MachineFolder());
    ::_exit(WriteValue("Software\\Corvina", "Language", "German") == ERROR_SUCCESS ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadValue("Software\\Corvina", "Language"), "German");
}

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
