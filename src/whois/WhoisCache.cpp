#include "WhoisCache.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>
#include <unistd.h>

#include "utDate.h"
#include "utFiles.h"

namespace {

constexpr const char* kEmailTerm = "[_a-zA-Z\\d\\-\\.]+@([_a-zA-Z\\d\\-]+(\\.[_a-zA-Z\\d\\-]+)+)";
constexpr const char* kNameServerTerm =
    "[_a-zA-Z\\d\\-\\.]?(ns|NS)[_a-zA-Z\\d\\-\\.]?\\.+([_a-zA-Z\\d\\-]+(\\.[_a-zA-Z\\d\\-]+)+)";

struct TCodeDeleter {
  void operator()(pcre2_code* c) const { pcre2_code_free(c); }
};
struct TMatchDataDeleter {
  void operator()(pcre2_match_data* d) const { pcre2_match_data_free(d); }
};

// Every leftmost match of the expression, each search starting where the
// last match ended (after an empty match, one character further on).
// Raises when the expression does not compile.
std::vector<std::string> AllMatches(const std::string& expression, const std::string& text) {
  int error = 0;
  PCRE2_SIZE offset = 0;
  std::unique_ptr<pcre2_code, TCodeDeleter> code(
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(expression.data()), expression.size(),
                    PCRE2_DOTALL, &error, &offset, nullptr));
  if (!code) throw std::runtime_error("invalid search term");
  pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE);
  std::unique_ptr<pcre2_match_data, TMatchDataDeleter> data(
      pcre2_match_data_create_from_pattern(code.get(), nullptr));
  std::vector<std::string> matches;
  const auto* subject = reinterpret_cast<PCRE2_SPTR>(text.data());
  size_t start = 0;
  while (start <= text.size()) {
    const int rc = pcre2_match(code.get(), subject, text.size(), start, 0, data.get(), nullptr);
    if (rc < 0) break;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
    matches.emplace_back(text, ovector[0], ovector[1] - ovector[0]);
    start = ovector[1] > ovector[0] ? ovector[1] : ovector[1] + 1;
  }
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
  if (!db.TableExists("whois"))
    db.ExecSQL(
        "CREATE TABLE whois ([id] INTEGER PRIMARY KEY AUTOINCREMENT, [timestamp] INTEGER, "
        "[domain] TEXT, [information] TEXT)");
  if (!db.TableExists("searchterms")) {
    db.ExecSQL(
        "CREATE TABLE searchterms ([termid] INTEGER PRIMARY KEY AUTOINCREMENT, "
        "[term] TEXT, [description] TEXT)");
    db.ExecSQL("INSERT INTO searchterms (term,description) VALUES (?, 'Email Addresses')",
               {std::string(kEmailTerm)});
    db.ExecSQL("INSERT INTO searchterms (term,description) VALUES (?, 'Name Servers')",
               {std::string(kNameServerTerm)});
  }
  if (!db.TableExists("searches"))
    db.ExecSQL(
        "CREATE TABLE searches ([searchid] INTEGER PRIMARY KEY AUTOINCREMENT, "
        "[termid] INTEGER, [tablename] TEXT, [tableid] INTEGER, [match] TEXT)");
  // Finding a stored match must not scan the whole table.
  if (!db.IsReadOnly())
    db.ExecSQL("CREATE INDEX IF NOT EXISTS searches_by_row ON searches (tableid, termid, match)");
}

void TWhoIsCache::AddDomainInfo(const std::string& Domain, const TStringList& Info,
                                TDateTime Timestamp) {
  UpdateSearchesForRow(AddDomainInfo(Domain, Info.Text(), Timestamp));
}

int64_t TWhoIsCache::AddDomainInfo(const std::string& Domain, const std::string& Info,
                                   TDateTime Timestamp) {
  FDatabase->ExecSQL("INSERT INTO whois (timestamp,domain) VALUES (?,?)",
                     {static_cast<int64_t>(ConvertDateTimeToUNIXTime(Timestamp)), Domain});
  const int64_t id = FDatabase->GetLastInsertRowID();
  FDatabase->UpdateBlob("UPDATE whois SET information = ? WHERE id = " + std::to_string(id), Info);
  return id;
}

void TWhoIsCache::UpdateSearchesForRow(int64_t RowID) {
  TSQLiteTable terms = FDatabase->GetTable("SELECT * FROM searchterms");
  const int termId = terms.FieldIndex("termid"), term = terms.FieldIndex("term");
  if (termId < 0 || term < 0) return;
  for (; !terms.Eof(); terms.Next())
    UpdateSearchTable("whois", terms.FieldAsString(static_cast<size_t>(term)),
                      terms.FieldAsInteger(static_cast<size_t>(termId)), RowID);
}

void TWhoIsCache::UpdateSearchTable(const std::string& TableName, const std::string& SearchTerm,
                                    int64_t SearchID, int64_t RowID) {
  // A term that fails (an invalid expression, a failing statement) ends its
  // own work only; the matches stored before stay.
  try {
    // The table name is not a value and cannot be bound; only "whois" is used.
    const std::string text = FDatabase->GetTableString("SELECT information FROM " + TableName +
                                                       " WHERE id = " + std::to_string(RowID));
    for (const std::string& match : AllMatches(SearchTerm, text)) {
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
