// A small access layer over SQLite 3: a connection that runs single
// statements, with values bound as parameters, and query results held in
// memory with a row cursor.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

class ESQLiteException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A value bound to a "?" parameter: an integer, a text or the bytes of a BLOB.
// A BLOB refers to the caller's bytes, which must outlive the statement.
struct TSQLiteBlob {
  std::string_view bytes;
};
using TSQLiteParam = std::variant<int64_t, std::string, TSQLiteBlob>;
using TSQLiteParams = std::vector<TSQLiteParam>;

enum class TSQLiteColumnKind { ckInteger, ckFloat, ckBlob, ckText, ckNull };

class TSQLiteTable {
 public:
  size_t RowCount() const { return rows_.size(); }
  size_t ColumnCount() const { return columns_.size(); }
  // True when the cursor is past the last row (EOF is a C library macro).
  bool Eof() const { return cursor_ >= rows_.size(); }
  void Next() { ++cursor_; }
  // The index of the first column of that name (letter case ignored), or -1.
  int FieldIndex(const std::string& name) const;
  const std::string& FieldName(size_t index) const { return columns_.at(index); }
  TSQLiteColumnKind FieldKind(size_t index) const { return kinds_.at(index); }
  bool FieldIsNull(size_t index) const;
  // The value as text: NULL gives "", an integer its decimal digits; a text
  // column ends at its first zero byte.
  std::string FieldAsString(size_t index) const;
  // NULL gives 0; a real number is cut to its whole part, and one outside
  // the range of a 64-bit integer (or not a number) raises.
  int64_t FieldAsInteger(size_t index) const;

 private:
  friend class TSQLiteDatabase;
  using TValue = std::variant<std::monostate, int64_t, double, std::string>;
  const TValue& Value(size_t index) const;

  std::vector<std::string> columns_;
  std::vector<TSQLiteColumnKind> kinds_;
  std::vector<std::vector<TValue>> rows_;
  size_t cursor_ = 0;
};

class TSQLiteDatabase {
 public:
  // Opens (creating when missing) the file; statements wait up to
  // busyTimeoutMs for another connection that holds a lock.
  explicit TSQLiteDatabase(const std::string& fileName, int busyTimeoutMs = 5000);
  ~TSQLiteDatabase();
  TSQLiteDatabase(const TSQLiteDatabase&) = delete;
  TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

  // Runs one statement to completion.
  void ExecSQL(const std::string& sql, const TSQLiteParams& params = {});
  // Runs a statement with a "?" parameter bound to the bytes as a BLOB.
  void UpdateBlob(const std::string& sql, std::string_view bytes);
  // Stores bytes as the BLOB of one column of one row, a piece at a time, so
  // that a large value is never copied whole.
  void WriteBlob(const std::string& table, const std::string& column, int64_t rowId,
                 std::string_view bytes);
  TSQLiteTable GetTable(const std::string& sql, const TSQLiteParams& params = {});
  // The first column of the first row as text, or "" when there is no row.
  std::string GetTableString(const std::string& sql, const TSQLiteParams& params = {});
  bool TableExists(const std::string& name);
  int64_t GetLastInsertRowID() const;
  // True when the file could be opened for reading only.
  bool IsReadOnly() const;

 private:
  sqlite3_stmt* Prepare(const std::string& sql, const TSQLiteParams& params);
  [[noreturn]] void Raise(const std::string& what, const std::string& sql) const;

  sqlite3* db_ = nullptr;
};
