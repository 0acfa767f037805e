// The whois lookup cache: every lookup with its report, and the e-mail
// addresses and name servers found in it, in the SQLite database
// "lookups.sqlite"; the history search over domains and found addresses.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "utDateTime.h"
#include "utSQLite.h"
#include "utStringList.h"

// The rows a history search fills in; the window supplies its list.
class THistoryListView {
 public:
  virtual ~THistoryListView() = default;
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  virtual void Clear() = 0;
  // caption: the domain; dateTime: the lookup's time in the "c" format;
  // id: the decimal id of the whois row.
  virtual void AddRow(const std::string& caption, const std::string& dateTime,
                      const std::string& id) = 0;
};

class TWhoIsCache {
 public:
  // Opens (or creates) the database file and adds the tables and search
  // terms that are missing.
  explicit TWhoIsCache(const std::string& fileName);
  ~TWhoIsCache();

  const std::string& FileName() const { return FFilename; }
  // True when the file could only be opened for reading: lookups are then
  // not stored.
  bool ReadOnly() const { return FDatabase->IsReadOnly(); }

  // Stores one lookup with its report (its lines, or its text with CR LF
  // after every line) and the matches of every search term in it.
  void AddDomainInfo(const std::string& Domain, const TStringList& Info, TDateTime Timestamp);
  void AddDomainInfo(const std::string& Domain, std::string_view Info, TDateTime Timestamp);
  // Stores one lookup whose report is the given bytes; returns its id.
  int64_t InsertDomainInfo(const std::string& Domain, std::string_view Info, TDateTime Timestamp);
  // Searches the stored report of a row with every search term.
  void UpdateSearchesForRow(int64_t RowID);
  void UpdateSearchTable(const std::string& TableName, const std::string& SearchTerm,
                         int64_t SearchID, int64_t RowID);
  // Replaces the text of Info with the stored report ("Error retrieving
  // information from cache." when it cannot be read).
  void GetDomainInfo(int64_t WhoIsID, TStringList& Info);
  void SearchToListView(const std::string& SearchTerm, THistoryListView& ListView);

  TSQLiteDatabase& Database() { return *FDatabase; }

 private:
  // The search with every term over a report already in memory: the text
  // as the database gives it back, up to its first zero byte.
  void UpdateSearchesForRow(int64_t RowID, std::string_view Text);
  void UpdateSearchTable(const std::string& TableName, const std::string& SearchTerm,
                         int64_t SearchID, int64_t RowID, std::string_view Text);

  std::string FFilename;
  std::unique_ptr<TSQLiteDatabase> FDatabase;
};

// Where the cache lives: the program folder, or, when that cannot be
// written, the per-user data folder + "Corvina/" (created when missing).
std::string WhoisCacheFileName(const std::string& programFolder, const std::string& appDataFolder);
