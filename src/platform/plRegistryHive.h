// One registry hive kept in an SQLite file: keys with their subkeys and
// typed values. Names compare without regard to the case of A to Z and keep
// the case they were written with; values keep their bytes and type code.
// Every change is one transaction (WAL, busy time-out), so two processes
// can write at once without losing a value.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct THiveValue {
  uint32_t type = 0;
  std::string data;
};

struct THiveKeyInfo {
  uint32_t subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueNameLen = 0, maxValueLen = 0;
  int64_t lastWrite = 0;  // Windows file time: 100 ns steps since 1601-01-01 UTC
};

class TRegistryHive {
 public:
  // fileName: the store; privateFile: created readable by its owner only.
  // A missing file reads as an empty hive and is created on the first write.
  TRegistryHive(std::string fileName, bool privateFile);
  ~TRegistryHive();
  TRegistryHive(const TRegistryHive&) = delete;
  TRegistryHive& operator=(const TRegistryHive&) = delete;

  static constexpr int64_t kRoot = 0;

  // A problem met when the store was opened (a damaged file set aside), or "".
  const std::string& Problem() const { return problem_; }
  // False when the store cannot be written (for example the machine-wide
  // hive for an ordinary user).
  bool Writable();

  std::optional<int64_t> FindSubKey(int64_t parent, const std::string& name);
  // Finds or creates; nullopt when the store cannot be written.
  std::optional<int64_t> CreateSubKey(int64_t parent, const std::string& name, bool& created);
  // The subkey names in case-insensitive alphabetical order.
  std::vector<std::pair<std::string, int64_t>> SubKeys(int64_t key);
  std::optional<THiveValue> GetValue(int64_t key, const std::string& name);
  bool SetValue(int64_t key, const std::string& name, const THiveValue& value);
  THiveKeyInfo KeyInfo(int64_t key);
  int64_t LastWrite(int64_t key);

 private:
  bool Open(bool create);
  // True when the open file is an undamaged hive of ours (or empty).
  bool SoundHive();
  void Close();
  sqlite3_stmt* Statement(int slot, const char* sql);
  bool Exec(const char* sql);

  std::string fileName_;
  bool private_;
  sqlite3* db_ = nullptr;
  bool writable_ = false;
  std::string problem_;
  std::vector<sqlite3_stmt*> statements_;
};

// The current time as a Windows file time.
int64_t CurrentFileTime();
