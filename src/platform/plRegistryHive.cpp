#include "plRegistryHive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

namespace {

constexpr int kBusyTimeoutMs = 10000;
// 100 ns steps between 1601-01-01 and 1970-01-01.
constexpr int64_t kFileTimeUnixEpoch = 116444736000000000LL;

// Names are compared and sorted as Windows does: by their upper-case form.
std::string Fold(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

struct TReset {
  sqlite3_stmt* s;
  ~TReset() {
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
  }
};

void BindText(sqlite3_stmt* s, int i, const std::string& t) {
  sqlite3_bind_text(s, i, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
}

enum TSlot {
  sFind,
  sInsertKey,
  sTouch,
  sSubKeys,
  sGetValue,
  sSetValue,
  sCountValues,
  sWritten,
  kSlots
};

}  // namespace

// The tables of a hive. SQLite keeps each definition as
// "CREATE TABLE " + name + " " + columns.
struct THiveTable {
  const char* name;
  const char* columns;
};
constexpr THiveTable kHiveTables[] = {
    {"keys",
     "(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL, name TEXT NOT NULL, "
     "fname TEXT NOT NULL, written INTEGER NOT NULL, UNIQUE (parent, fname))"},
    {"vals",
     "(key INTEGER NOT NULL, name TEXT NOT NULL, fname TEXT NOT NULL, type INTEGER NOT NULL, "
     "data BLOB NOT NULL, PRIMARY KEY (key, fname))"},
};

std::string TableDefinition(const THiveTable& table, const char* create = "CREATE TABLE ") {
  return create + std::string(table.name) + " " + table.columns;
}

int64_t CurrentFileTime() {
  using namespace std::chrono;
  return kFileTimeUnixEpoch +
         duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count() / 100;
}

TRegistryHive::TRegistryHive(std::string fileName, bool privateFile)
    : fileName_(std::move(fileName)), private_(privateFile) {
  if (std::filesystem::exists(fileName_)) Open(false);
}

TRegistryHive::~TRegistryHive() { Close(); }

void TRegistryHive::Close() {
  for (sqlite3_stmt* s : statements_) sqlite3_finalize(s);
  statements_.clear();
  sqlite3_close(db_);
  db_ = nullptr;
}

bool TRegistryHive::Exec(const char* sql) {
  return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool TRegistryHive::Open(bool create) {
  Close();
  if (create) {
    std::error_code ec;
    const auto folder = std::filesystem::path(fileName_).parent_path();
    std::filesystem::create_directories(folder, ec);
    if (private_) ::chmod(folder.c_str(), 0700);
    const int fd = ::open(fileName_.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, private_ ? 0600 : 0644);
    if (fd < 0) return false;
    ::close(fd);
  }
  int rc = sqlite3_open_v2(fileName_.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    Close();
    rc = sqlite3_open_v2(fileName_.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
      Close();
      return false;
    }
  }
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  writable_ = sqlite3_db_readonly(db_, "main") == 0;

  // A file that is not a sound hive of ours (damaged anywhere, its indexes
  // included, or a database of another kind) is set aside under another
  // name and the hive starts empty; the user is told.
  if (!SoundHive()) {
    Close();
    const std::string aside =
        fileName_ + ".damaged-" +
        std::to_string(std::chrono::duration_cast<std::chrono::seconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count());
    if (std::rename(fileName_.c_str(), aside.c_str()) == 0) {
      std::remove((fileName_ + "-wal").c_str());
      std::remove((fileName_ + "-shm").c_str());
      problem_ = "The settings file \"" + fileName_ + "\" was damaged; it was moved to \"" + aside +
                 "\" and the settings start empty.";
    } else {
      problem_ = "The settings file \"" + fileName_ + "\" is damaged and could not be moved aside.";
      return false;
    }
    return create && Open(true);
  }
  if (writable_) {
    Exec("PRAGMA journal_mode=WAL");
    Exec("PRAGMA synchronous=FULL");
    for (const THiveTable& table : kHiveTables)
      Exec(TableDefinition(table, "CREATE TABLE IF NOT EXISTS ").c_str());
  }
  statements_.assign(kSlots, nullptr);
  return true;
}

bool TRegistryHive::SoundHive() {
  // integrity_check reads every page and checks every index against its
  // table: for a settings store of a few thousand rows it takes a few
  // milliseconds.
  bool sound = false;
  sqlite3_stmt* check = nullptr;
  if (sqlite3_prepare_v2(db_, "PRAGMA integrity_check(1)", -1, &check, nullptr) == SQLITE_OK &&
      sqlite3_step(check) == SQLITE_ROW)
    sound = std::string(reinterpret_cast<const char*>(sqlite3_column_text(check, 0))) == "ok";
  sqlite3_finalize(check);
  if (!sound) return false;
  // A new store has no tables; any table there is one of ours, as we made it.
  sqlite3_stmt* tables = nullptr;
  if (sqlite3_prepare_v2(db_, "SELECT name, sql FROM sqlite_master WHERE type = 'table'", -1,
                         &tables, nullptr) != SQLITE_OK)
    return false;
  while (sound && sqlite3_step(tables) == SQLITE_ROW) {
    const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(tables, 0));
    const auto* sql = reinterpret_cast<const char*>(sqlite3_column_text(tables, 1));
    sound = false;
    for (const THiveTable& table : kHiveTables)
      sound = sound || (name && sql && name == std::string_view(table.name) &&
                        sql == TableDefinition(table));
  }
  sqlite3_finalize(tables);
  return sound;
}

bool TRegistryHive::Writable() {
  if (!db_) return Open(true) && writable_;
  return writable_;
}

sqlite3_stmt* TRegistryHive::Statement(int slot, const char* sql) {
  // A store that another instance made after this one started is read as
  // one that was there.
  if (!db_ && std::filesystem::exists(fileName_)) Open(false);
  if (!db_) return nullptr;
  sqlite3_stmt*& s = statements_[static_cast<size_t>(slot)];
  if (!s && sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK) s = nullptr;
  return s;
}

std::optional<int64_t> TRegistryHive::FindSubKey(int64_t parent, const std::string& name) {
  sqlite3_stmt* s = Statement(sFind, "SELECT id FROM keys WHERE parent = ? AND fname = ?");
  if (!s) return std::nullopt;
  TReset reset{s};
  sqlite3_bind_int64(s, 1, parent);
  BindText(s, 2, Fold(name));
  if (sqlite3_step(s) != SQLITE_ROW) return std::nullopt;
  return sqlite3_column_int64(s, 0);
}

std::optional<int64_t> TRegistryHive::CreateSubKey(int64_t parent, const std::string& name,
                                                   bool& created) {
  created = false;
  if (!Writable()) return std::nullopt;
  if (auto found = FindSubKey(parent, name)) return found;
  if (!Exec("BEGIN IMMEDIATE")) return std::nullopt;
  // Another process may have made it meanwhile.
  std::optional<int64_t> id = FindSubKey(parent, name);
  if (!id) {
    const int64_t now = CurrentFileTime();
    sqlite3_stmt* insert = Statement(
        sInsertKey, "INSERT INTO keys (parent, name, fname, written) VALUES (?, ?, ?, ?)");
    sqlite3_stmt* touch = Statement(sTouch, "UPDATE keys SET written = ? WHERE id = ?");
    bool ok = insert && touch;
    if (ok) {
      TReset r1{insert};
      sqlite3_bind_int64(insert, 1, parent);
      BindText(insert, 2, name);
      BindText(insert, 3, Fold(name));
      sqlite3_bind_int64(insert, 4, now);
      ok = sqlite3_step(insert) == SQLITE_DONE;
      if (ok) id = sqlite3_last_insert_rowid(db_);
    }
    if (ok) {
      TReset r2{touch};
      sqlite3_bind_int64(touch, 1, now);
      sqlite3_bind_int64(touch, 2, parent);
      ok = sqlite3_step(touch) == SQLITE_DONE;
    }
    if (!ok || !Exec("COMMIT")) {
      Exec("ROLLBACK");
      return std::nullopt;
    }
    created = true;
  } else {
    Exec("COMMIT");
  }
  return id;
}

std::vector<std::pair<std::string, int64_t>> TRegistryHive::SubKeys(int64_t key) {
  std::vector<std::pair<std::string, int64_t>> r;
  sqlite3_stmt* s =
      Statement(sSubKeys, "SELECT name, id FROM keys WHERE parent = ? ORDER BY fname");
  if (!s) return r;
  TReset reset{s};
  sqlite3_bind_int64(s, 1, key);
  while (sqlite3_step(s) == SQLITE_ROW)
    r.emplace_back(std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)),
                               static_cast<size_t>(sqlite3_column_bytes(s, 0))),
                   sqlite3_column_int64(s, 1));
  return r;
}

std::optional<THiveValue> TRegistryHive::GetValue(int64_t key, const std::string& name) {
  sqlite3_stmt* s = Statement(sGetValue, "SELECT type, data FROM vals WHERE key = ? AND fname = ?");
  if (!s) return std::nullopt;
  TReset reset{s};
  sqlite3_bind_int64(s, 1, key);
  BindText(s, 2, Fold(name));
  if (sqlite3_step(s) != SQLITE_ROW) return std::nullopt;
  THiveValue v;
  v.type = static_cast<uint32_t>(sqlite3_column_int64(s, 0));
  const auto* p = static_cast<const char*>(sqlite3_column_blob(s, 1));
  v.data.assign(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(s, 1)));
  return v;
}

bool TRegistryHive::SetValue(int64_t key, const std::string& name, const THiveValue& value) {
  if (!Writable()) return false;
  sqlite3_stmt* set = Statement(
      sSetValue,
      "INSERT OR REPLACE INTO vals (key, name, fname, type, data) VALUES (?, ?, ?, ?, ?)");
  sqlite3_stmt* touch = Statement(sTouch, "UPDATE keys SET written = ? WHERE id = ?");
  if (!set || !touch || !Exec("BEGIN IMMEDIATE")) return false;
  bool ok;
  {
    TReset r1{set};
    sqlite3_bind_int64(set, 1, key);
    BindText(set, 2, name);
    BindText(set, 3, Fold(name));
    sqlite3_bind_int64(set, 4, value.type);
    sqlite3_bind_blob(set, 5, value.data.data(), static_cast<int>(value.data.size()),
                      SQLITE_TRANSIENT);
    ok = sqlite3_step(set) == SQLITE_DONE;
  }
  if (ok && key != kRoot) {
    TReset r2{touch};
    sqlite3_bind_int64(touch, 1, CurrentFileTime());
    sqlite3_bind_int64(touch, 2, key);
    ok = sqlite3_step(touch) == SQLITE_DONE;
  }
  if (!ok || !Exec("COMMIT")) {
    Exec("ROLLBACK");
    return false;
  }
  return true;
}

int64_t TRegistryHive::LastWrite(int64_t key) {
  sqlite3_stmt* s = Statement(sWritten, "SELECT written FROM keys WHERE id = ?");
  if (!s || key == kRoot) return 0;
  TReset reset{s};
  sqlite3_bind_int64(s, 1, key);
  return sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : 0;
}

THiveKeyInfo TRegistryHive::KeyInfo(int64_t key) {
  THiveKeyInfo info;
  for (const auto& [name, id] : SubKeys(key)) {
    ++info.subKeys;
    info.maxSubKeyLen = std::max(info.maxSubKeyLen, static_cast<uint32_t>(name.size()));
  }
  sqlite3_stmt* s = Statement(sCountValues,
                              "SELECT count(*), coalesce(max(length(CAST(name AS BLOB))), 0), "
                              "coalesce(max(length(data)), 0) "
                              "FROM vals WHERE key = ?");
  if (s) {
    TReset reset{s};
    sqlite3_bind_int64(s, 1, key);
    if (sqlite3_step(s) == SQLITE_ROW) {
      info.values = static_cast<uint32_t>(sqlite3_column_int64(s, 0));
      info.maxValueNameLen = static_cast<uint32_t>(sqlite3_column_int64(s, 1));
      info.maxValueLen = static_cast<uint32_t>(sqlite3_column_int64(s, 2));
    }
  }
  info.lastWrite = LastWrite(key);
  return info;
}
