#include "utSQLite.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "utStrings.h"

namespace {

struct TStatementFinalizer {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using TStatement = std::unique_ptr<sqlite3_stmt, TStatementFinalizer>;

TSQLiteColumnKind KindOfDeclaredType(const char* declared) {
  if (!declared) return TSQLiteColumnKind::ckNull;  // decided by the first row's value
  const std::string t = UpperCaseAZ(declared);
  if (t == "INTEGER" || t == "BOOLEAN") return TSQLiteColumnKind::ckInteger;
  if (t == "NUMERIC" || t == "FLOAT" || t == "DOUBLE" || t == "REAL")
    return TSQLiteColumnKind::ckFloat;
  if (t == "BLOB") return TSQLiteColumnKind::ckBlob;
  return TSQLiteColumnKind::ckText;
}

TSQLiteColumnKind KindOfValue(int type) {
  switch (type) {
    case SQLITE_INTEGER:
      return TSQLiteColumnKind::ckInteger;
    case SQLITE_FLOAT:
      return TSQLiteColumnKind::ckFloat;
    case SQLITE_BLOB:
      return TSQLiteColumnKind::ckBlob;
    case SQLITE_NULL:
      return TSQLiteColumnKind::ckNull;
    default:
      return TSQLiteColumnKind::ckText;
  }
}

}  // namespace

int TSQLiteTable::FieldIndex(const std::string& name) const {
  for (size_t i = 0; i < columns_.size(); ++i)
    if (SameText(columns_[i], name)) return static_cast<int>(i);
  return -1;
}

const TSQLiteTable::TValue& TSQLiteTable::Value(size_t index) const {
  if (Eof()) throw ESQLiteException("Could not retrieve data: no current row");
  if (index >= columns_.size()) throw ESQLiteException("Could not retrieve data: no such column");
  return rows_[cursor_][index];
}

bool TSQLiteTable::FieldIsNull(size_t index) const {
  return std::holds_alternative<std::monostate>(Value(index));
}

std::string TSQLiteTable::FieldAsString(size_t index) const {
  const TValue& v = Value(index);
  if (const auto* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&v)) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", *d);
    return buf;
  }
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  return "";
}

int64_t TSQLiteTable::FieldAsInteger(size_t index) const {
  const TValue& v = Value(index);
  if (const auto* i = std::get_if<int64_t>(&v)) return *i;
  if (const auto* d = std::get_if<double>(&v)) {
    // 2^63 is exactly representable; every double below it and at or above
    // -2^63 has a whole part that fits.
    constexpr double kLimit = 9223372036854775808.0;
    if (!(*d >= -kLimit && *d < kLimit))
      throw ESQLiteException("Could not retrieve data: " + std::to_string(*d) +
                             " is not an integer");
    return static_cast<int64_t>(*d);
  }
  if (const auto* s = std::get_if<std::string>(&v)) {
    try {
      return std::stoll(*s);
    } catch (const std::exception&) {
      throw ESQLiteException("Could not retrieve data: \"" + *s + "\" is not an integer");
    }
  }
  return 0;
}

TSQLiteDatabase::TSQLiteDatabase(const std::string& fileName, int busyTimeoutMs) {
  // File names are 8-bit texts; on this platform they are handed to SQLite
  // as they are (UTF-8 where the system uses it).
  const int rc =
      sqlite3_open_v2(fileName.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throw ESQLiteException("Failed to open database \"" + fileName + "\" : " + message);
  }
  sqlite3_busy_timeout(db_, busyTimeoutMs);
  try {
    ExecSQL("PRAGMA SYNCHRONOUS=NORMAL;");
    ExecSQL("PRAGMA temp_store = MEMORY;");
  } catch (...) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
}

TSQLiteDatabase::~TSQLiteDatabase() { sqlite3_close(db_); }

void TSQLiteDatabase::Raise(const std::string& what, const std::string& sql) const {
  const char* message = sqlite3_errmsg(db_);
  if (message && *message) throw ESQLiteException(what + " \"" + sql + "\" : " + message);
  throw ESQLiteException(what);
}

sqlite3_stmt* TSQLiteDatabase::Prepare(const std::string& sql, const TSQLiteParams& params) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr) !=
          SQLITE_OK ||
      !stmt) {
    sqlite3_finalize(stmt);
    Raise("Could not prepare SQL statement", sql);
  }
  TStatement guard(stmt);
  for (size_t i = 0; i < params.size(); ++i) {
    const int n = static_cast<int>(i + 1);
    int rc = SQLITE_OK;
    if (const auto* v = std::get_if<int64_t>(&params[i]))
      rc = sqlite3_bind_int64(stmt, n, *v);
    else if (const auto* s = std::get_if<std::string>(&params[i]))
      rc = sqlite3_bind_text64(stmt, n, s->data(), s->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    else {
      // The bytes stay where they are until the statement has run: a large
      // report is not copied.
      const std::string_view b = std::get<TSQLiteBlob>(params[i]).bytes;
      rc = sqlite3_bind_blob64(stmt, n, b.data() ? b.data() : "", b.size(), SQLITE_STATIC);
    }
    if (rc != SQLITE_OK) Raise("Could not bind SQL parameter", sql);
  }
  return guard.release();
}

void TSQLiteDatabase::ExecSQL(const std::string& sql, const TSQLiteParams& params) {
  TStatement stmt(Prepare(sql, params));
  if (sqlite3_step(stmt.get()) != SQLITE_DONE) Raise("Error executing SQL statement", sql);
}

void TSQLiteDatabase::UpdateBlob(const std::string& sql, std::string_view bytes) {
  if (sql.find('?') == std::string::npos) throw ESQLiteException("SQL must include a ? parameter");
  ExecSQL(sql, {TSQLiteBlob{bytes}});
}

void TSQLiteDatabase::WriteBlob(const std::string& table, const std::string& column,
                                int64_t rowId, std::string_view bytes) {
  // The names are not values and cannot be bound; callers pass their own.
  const std::string sql = "UPDATE " + table + " SET " + column + " = zeroblob(?) WHERE rowid = ?";
  ExecSQL(sql, {static_cast<int64_t>(bytes.size()), rowId});
  if (bytes.empty()) return;
  sqlite3_blob* blob = nullptr;
  if (sqlite3_blob_open(db_, "main", table.c_str(), column.c_str(), rowId, 1, &blob) != SQLITE_OK) {
    sqlite3_blob_close(blob);
    Raise("Could not write data", sql);
  }
  constexpr size_t kPiece = 1u << 20;
  for (size_t at = 0; at < bytes.size(); at += kPiece) {
    const size_t n = std::min(kPiece, bytes.size() - at);
    if (sqlite3_blob_write(blob, bytes.data() + at, static_cast<int>(n), static_cast<int>(at)) !=
        SQLITE_OK) {
      sqlite3_blob_close(blob);
      Raise("Could not write data", sql);
    }
  }
  if (sqlite3_blob_close(blob) != SQLITE_OK) Raise("Could not write data", sql);
}

TSQLiteTable TSQLiteDatabase::GetTable(const std::string& sql, const TSQLiteParams& params) {
  TStatement stmt(Prepare(sql, params));
  TSQLiteTable table;
  const int columns = sqlite3_column_count(stmt.get());
  for (int c = 0; c < columns; ++c) {
    table.columns_.emplace_back(sqlite3_column_name(stmt.get(), c));
    table.kinds_.push_back(KindOfDeclaredType(sqlite3_column_decltype(stmt.get(), c)));
  }
  for (;;) {
    const int rc = sqlite3_step(stmt.get());
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) Raise("Could not retrieve data", sql);
    std::vector<TSQLiteTable::TValue> row(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c) {
      auto& kind = table.kinds_[static_cast<size_t>(c)];
      const int type = sqlite3_column_type(stmt.get(), c);
      // A column without a declared type takes the kind of its first value.
      if (kind == TSQLiteColumnKind::ckNull && table.rows_.empty()) kind = KindOfValue(type);
      if (type == SQLITE_NULL) continue;
      auto& value = row[static_cast<size_t>(c)];
      switch (kind) {
        case TSQLiteColumnKind::ckInteger:
          value = sqlite3_column_int64(stmt.get(), c);
          break;
        case TSQLiteColumnKind::ckFloat:
          value = sqlite3_column_double(stmt.get(), c);
          break;
        case TSQLiteColumnKind::ckBlob: {
          const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt.get(), c));
          value = std::string(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(stmt.get(), c)));
          break;
        }
        default: {
          // Text is read as a zero-terminated text: it ends at its first zero byte.
          const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), c));
          value = std::string(p ? p : "");
          break;
        }
      }
    }
    table.rows_.push_back(std::move(row));
  }
  return table;
}

std::string TSQLiteDatabase::GetTableString(const std::string& sql, const TSQLiteParams& params) {
  const TSQLiteTable table = GetTable(sql, params);
  if (table.RowCount() == 0 || table.ColumnCount() == 0) return "";
  return table.FieldAsString(0);
}

bool TSQLiteDatabase::TableExists(const std::string& name) {
  return GetTable("select [sql] from sqlite_master where [type] = 'table' and lower(name) = ?",
                  {LowerCaseAZ(name)})
             .RowCount() > 0;
}

int64_t TSQLiteDatabase::GetLastInsertRowID() const { return sqlite3_last_insert_rowid(db_); }

bool TSQLiteDatabase::IsReadOnly() const { return sqlite3_db_readonly(db_, "main") == 1; }
