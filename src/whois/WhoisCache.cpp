#include "WhoisCache.h"

#include <unistd.h>

#include <set>

#include "WhoisFilter.h"
#include "utDate.h"
#include "utFiles.h"
#include "utRegExpr.h"

namespace {

// The most different matches one search term keeps from one report: a
// report made of addresses must not turn into a million rows.
constexpr size_t kMaxMatchesPerTerm = 1000;

// Every different match of the expression, in the order found, at most
// kMaxMatchesPerTerm. Raises when the expression does not compile or a
// search reaches its bounds.
std::vector<std::string> AllMatches(const std::string& expression, std::string_view text) {
  std::vector<std::string> matches;
  std::set<std::string_view> seen;
  TRegExpr(expression, TRegExpr::roDotAll, /*jit=*/true)
      .ForEachMatch(text, [&](std::string_view match) {
        if (seen.insert(match).second) matches.emplace_back(match);
        return matches.size() < kMaxMatchesPerTerm;
      });
  return matches;
}

}  // namespace

std::string WhoisCacheFileName(const std::string& programFolder, const std::string& appDataFolder) {
  if (::access(programFolder.c_str(), W_OK) == 0) return programFolder + "lookups.sqlite";
  const std::string folder = appDataFolder + "Corvina/";
  ForceDirectories(folder);
  return folder + "lookups.sqlite";
}

TWhoIsCache::TWhoIsCache(const std::string& fileName) : FFilename(fileName) {
  FDatabase = std::make_unique<TSQLiteDatabase>(FFilename);
  TSQLiteDatabase& db = *FDatabase;
  // A write-ahead log keeps every statement its own transaction without a
  // sync of the disk for each one (a lookup writes several statements; a
  // batch of a thousand lookups waited mostly for those syncs). The file
  // goes back to a rollback journal when the cache closes, so that it can
  // still be opened where it may only be read.
  if (!db.IsReadOnly()) db.GetTable("PRAGMA journal_mode=WAL");
  if (!db.TableExists("whois"))
    db.ExecSQL(
        "CREATE TABLE whois ([id] INTEGER PRIMARY KEY AUTOINCREMENT, [timestamp] INTEGER, "
        "[domain] TEXT, [information] TEXT)");
  if (!db.TableExists("searchterms")) {
    db.ExecSQL(
        "CREATE TABLE searchterms ([termid] INTEGER PRIMARY KEY AUTOINCREMENT, "
        "[term] TEXT, [description] TEXT)");
    db.ExecSQL("INSERT INTO searchterms (term,description) VALUES (?, 'Email Addresses')",
               {GrepExtractEmailPattern});
    db.ExecSQL("INSERT INTO searchterms (term,description) VALUES (?, 'Name Servers')",
               {GrepExtractNameServerPattern});
  }
  if (!db.TableExists("searches"))
    db.ExecSQL(
        "CREATE TABLE searches ([searchid] INTEGER PRIMARY KEY AUTOINCREMENT, "
        "[termid] INTEGER, [tablename] TEXT, [tableid] INTEGER, [match] TEXT)");
  // Finding a stored match must not scan the whole table.
  if (!db.IsReadOnly())
    db.ExecSQL("CREATE INDEX IF NOT EXISTS searches_by_row ON searches (tableid, termid, match)");
}

TWhoIsCache::~TWhoIsCache() {
  try {
    if (!FDatabase->IsReadOnly()) FDatabase->GetTable("PRAGMA journal_mode=DELETE");
  } catch (const std::exception&) {
    // Another connection still reads it: the log stays until the last one.
  }
}

void TWhoIsCache::AddDomainInfo(const std::string& Domain, const TStringList& Info,
                                TDateTime Timestamp) {
  AddDomainInfo(Domain, std::string_view(Info.Text()), Timestamp);
}

void TWhoIsCache::AddDomainInfo(const std::string& Domain, std::string_view Info,
                                TDateTime Timestamp) {
  const int64_t id = InsertDomainInfo(Domain, Info, Timestamp);
  UpdateSearchesForRow(id, Info.substr(0, Info.find('\0')));
}

int64_t TWhoIsCache::InsertDomainInfo(const std::string& Domain, std::string_view Info,
                                      TDateTime Timestamp) {
  FDatabase->ExecSQL("INSERT INTO whois (timestamp,domain) VALUES (?,?)",
                     {static_cast<int64_t>(ConvertDateTimeToUNIXTime(Timestamp)), Domain});
  const int64_t id = FDatabase->GetLastInsertRowID();
  FDatabase->WriteBlob("whois", "information", id, Info);
  return id;
}

namespace {

// The stored report of a row, as text up to its first zero byte.
std::string StoredReport(TSQLiteDatabase& db, const std::string& tableName, int64_t rowId) {
  // The table name is not a value and cannot be bound; only "whois" is used.
  return db.GetTableString("SELECT information FROM " + tableName +
                           " WHERE id = " + std::to_string(rowId));
}

}  // namespace

void TWhoIsCache::UpdateSearchesForRow(int64_t RowID) {
  UpdateSearchesForRow(RowID, StoredReport(*FDatabase, "whois", RowID));
}

void TWhoIsCache::UpdateSearchesForRow(int64_t RowID, std::string_view Text) {
  TSQLiteTable terms = FDatabase->GetTable("SELECT * FROM searchterms");
  const int termId = terms.FieldIndex("termid"), term = terms.FieldIndex("term");
  if (termId < 0 || term < 0) return;
  for (; !terms.Eof(); terms.Next())
    UpdateSearchTable("whois", terms.FieldAsString(static_cast<size_t>(term)),
                      terms.FieldAsInteger(static_cast<size_t>(termId)), RowID, Text);
}

void TWhoIsCache::UpdateSearchTable(const std::string& TableName, const std::string& SearchTerm,
                                    int64_t SearchID, int64_t RowID) {
  std::string text;
  try {
    text = StoredReport(*FDatabase, TableName, RowID);
  } catch (const std::exception&) {
    return;
  }
  UpdateSearchTable(TableName, SearchTerm, SearchID, RowID, text);
}

void TWhoIsCache::UpdateSearchTable(const std::string& TableName, const std::string& SearchTerm,
                                    int64_t SearchID, int64_t RowID, std::string_view Text) {
  // A term that fails (an invalid expression, a failing statement) ends its
  // own work only; the matches stored before stay.
  try {
    for (const std::string& match : AllMatches(SearchTerm, Text)) {
      const TSQLiteParams values = {SearchID, RowID, TableName, match};
      if (FDatabase
              ->GetTable("SELECT searchid FROM searches WHERE termid = ? AND tableid = ? AND "
                         "tablename = ? AND match = ? LIMIT 1;",
                         values)
              .RowCount() == 0)
        FDatabase->ExecSQL("INSERT INTO searches (termid,tableid,tablename,match) VALUES (?,?,?,?)",
                           values);
    }
  } catch (const std::exception&) {
  }
}

void TWhoIsCache::GetDomainInfo(int64_t WhoIsID, TStringList& Info) {
  try {
    Info.SetText(FDatabase->GetTableString("SELECT information FROM whois WHERE id = " +
                                           std::to_string(WhoIsID)));
  } catch (const std::exception&) {
    Info.SetText("Error retrieving information from cache.");
  }
}

void TWhoIsCache::SearchToListView(const std::string& SearchTerm, THistoryListView& ListView) {
  struct TUpdate {
    THistoryListView& list;
    explicit TUpdate(THistoryListView& l) : list(l) { list.BeginUpdate(); }
    ~TUpdate() { list.EndUpdate(); }
  } update(ListView);
  ListView.Clear();
  const struct {
    const char* sql;
    const char* idColumn;
  } queries[] = {
      {"SELECT * FROM whois WHERE domain LIKE '%' || ? || '%' ORDER BY domain,timestamp;", "id"},
      {"SELECT * FROM searches LEFT JOIN whois ON searches.tableid=whois.id WHERE match LIKE "
       "'%' || ? || '%' ORDER BY domain,timestamp;",
       "tableid"},
  };
  for (const auto& q : queries) {
    TSQLiteTable rows = FDatabase->GetTable(q.sql, {SearchTerm});
    if (rows.RowCount() == 0) continue;
    const int domain = rows.FieldIndex("domain"), timestamp = rows.FieldIndex("timestamp"),
              id = rows.FieldIndex(q.idColumn);
    if (domain < 0 || timestamp < 0 || id < 0) continue;
    for (; !rows.Eof(); rows.Next())
      ListView.AddRow(rows.FieldAsString(static_cast<size_t>(domain)),
                      DateTimeToStr(ConvertUNIXTimeToDateTime(static_cast<double>(
                          rows.FieldAsInteger(static_cast<size_t>(timestamp))))),
                      rows.FieldAsString(static_cast<size_t>(id)));
  }
}
