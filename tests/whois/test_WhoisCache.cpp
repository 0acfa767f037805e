#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>

#include "TempFolder.h"
#include "WhoisCache.h"
#include "utDate.h"
#include "utFiles.h"

namespace {

struct TRow {
  std::string caption, dateTime, id;
  bool operator==(const TRow&) const = default;
};

class TRecordingList : public THistoryListView {
 public:
  std::vector<TRow> rows;
  int updates = 0;
  void BeginUpdate() override { ++updates; }
  void EndUpdate() override { --updates; }
  void Clear() override { rows.clear(); }
  void AddRow(const std::string& c, const std::string& d, const std::string& i) override {
    rows.push_back({c, d, i});
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> v;
    for (const auto& r : rows) v.push_back(r.caption);
    return v;
  }
};

int64_t Count(TWhoIsCache& cache, const std::string& sql) {
  return cache.Database().GetTable(sql).FieldAsInteger(0);
}

TDateTime Day(int d) { return EncodeDateTime({2026, 12, d, 12, 0, 0}); }

using V = std::vector<std::string>;

}  // namespace

TEST(WhoisCache, ANewDatabaseGetsItsTablesAndTwoSearchTerms) {
  TTempFolder dir;
  const std::string file = dir.Path() + "lookups.sqlite";
  {
    TWhoIsCache cache(file);
    TSQLiteTable tables = cache.Database().GetTable(
        "SELECT name, sql FROM sqlite_master WHERE type = 'table' AND name <> 'sqlite_sequence' "
        "ORDER BY name");
    V sql;
    for (; !tables.Eof(); tables.Next()) sql.push_back(tables.FieldAsString(1));
    EXPECT_EQ(sql, (V{"CREATE TABLE searches ([searchid] INTEGER PRIMARY KEY AUTOINCREMENT, "
                      "[termid] INTEGER, [tablename] TEXT, [tableid] INTEGER, [match] TEXT)",
                      "CREATE TABLE searchterms ([termid] INTEGER PRIMARY KEY AUTOINCREMENT, "
                      "[term] TEXT, [description] TEXT)",
                      "CREATE TABLE whois ([id] INTEGER PRIMARY KEY AUTOINCREMENT, [timestamp] "
                      "INTEGER, [domain] TEXT, [information] TEXT)"}));
    TSQLiteTable terms =
        cache.Database().GetTable("SELECT termid, term, description FROM searchterms");
    ASSERT_EQ(terms.RowCount(), 2u);
    EXPECT_EQ(terms.FieldAsInteger(0), 1);
    EXPECT_EQ(terms.FieldAsString(1),
              "[_a-zA-Z\\d\\-\\.]+@([_a-zA-Z\\d\\-]+(\\.[_a-zA-Z\\d\\-]+)+)");
    EXPECT_EQ(terms.FieldAsString(2), "Email Addresses");
    terms.Next();
    EXPECT_EQ(terms.FieldAsInteger(0), 2);
    EXPECT_EQ(terms.FieldAsString(1),
              "[_a-zA-Z\\d\\-\\.]?(ns|NS)[_a-zA-Z\\d\\-\\.]?\\.+([_a-zA-Z\\d\\-]+(\\.[_a-zA-Z\\d\\-"
              "]+)+)");
    EXPECT_EQ(terms.FieldAsString(2), "Name Servers");
  }
  TWhoIsCache again(file);
  EXPECT_EQ(Count(again, "SELECT count(*) FROM searchterms"), 2);
  EXPECT_EQ(Count(again, "SELECT count(*) FROM sqlite_master WHERE type = 'table'"), 4);
}

TEST(WhoisCache, MatchesAreStoredOncePerSpelling) {
  TTempFolder dir;
  TWhoIsCache cache(dir.Path() + "lookups.sqlite");
  cache.AddDomainInfo(
      "Example.COM",
      TStringList({"HEADER", "", "[whois.example]", "Registrant Email: Owner@Example.com",
                   "Admin Email: owner@example.com", "Tech Email: owner@example.com",
                   "Name Server: NS1.EXAMPLE-DNS.NET", "Name Server: ns1.example-dns.net"}),
      Day(1));
  TSQLiteTable rows = cache.Database().GetTable(
      "SELECT termid, tableid, tablename, match FROM searches ORDER BY termid, searchid");
  V matches;
  for (; !rows.Eof(); rows.Next()) {
    EXPECT_EQ(rows.FieldAsInteger(1), 1);
    EXPECT_EQ(rows.FieldAsString(2), "whois");
    matches.push_back(rows.FieldAsString(0) + " " + rows.FieldAsString(3));
  }
  EXPECT_EQ(matches, (V{"1 Owner@Example.com", "1 owner@example.com", "2 NS1.EXAMPLE-DNS.NET",
                        "2 ns1.example-dns.net"}));
  EXPECT_EQ(cache.Database().GetTableString("SELECT domain FROM whois"), "Example.COM");
}

TEST(WhoisCache, ReportsReadBackByteForByteUpToAZeroByte) {
  TTempFolder dir;
  TWhoIsCache cache(dir.Path() + "lookups.sqlite");
  const TStringList report(
      {"Corvina WhoIs query for X on y", "", "[s]", "Owner: M\xfcller \x80", "  indented\t", ""});
  cache.AddDomainInfo("x", report, Day(1));
  TStringList back;
  cache.GetDomainInfo(1, back);
  EXPECT_EQ(back.Lines(), report.Lines());
  EXPECT_EQ(cache.Database().GetTable("SELECT typeof(information) FROM whois").FieldAsString(0),
            "blob");
  cache.AddDomainInfo("y", TStringList({"before", std::string("a\0b", 3), "after"}), Day(2));
  cache.GetDomainInfo(2, back);
  EXPECT_EQ(back.Lines(), (V{"before", "a"}));
  cache.GetDomainInfo(99, back);
  EXPECT_TRUE(back.Empty());
}

TEST(WhoisCache, HistorySearchListsDomainHitsThenMatchHits) {
  std::setlocale(LC_ALL, "C");
  TTempFolder dir;
  TWhoIsCache cache(dir.Path() + "lookups.sqlite");
  cache.AddDomainInfo("Zeta-NS.org", TStringList({"nothing to find"}), Day(3));             // id 1
  cache.AddDomainInfo("alpha.com", TStringList({"Name Server: ns1.zeta-ns.net"}), Day(2));  // id 2
  cache.AddDomainInfo("Alpha.com", TStringList({"plain"}), Day(1));                         // id 3
  cache.AddDomainInfo("o'brien.ie", TStringList({"Email: pat@o'brien.ie"}), Day(4));        // id 4

  TRecordingList list;
  cache.SearchToListView("zeta-ns", list);
  EXPECT_EQ(list.updates, 0);
  EXPECT_EQ(list.rows, (std::vector<TRow>{{"Zeta-NS.org", "12/03/26 12:00:00", "1"},
                                          {"alpha.com", "12/02/26 12:00:00", "2"}}));

  // LIKE ignores the case of A to Z; rows are ordered by domain, then time.
  cache.SearchToListView("ALPHA", list);
  EXPECT_EQ(list.Captions(), (V{"Alpha.com", "alpha.com"}));

  // A single quote is searched like any other character.
  cache.SearchToListView("o'brien", list);
  EXPECT_EQ(list.Captions(), (V{"o'brien.ie"}));
  EXPECT_EQ(list.rows[0].id, "4");

  // An empty term lists every lookup, then every stored match.
  cache.SearchToListView("", list);
  EXPECT_EQ(list.Captions(),
            (V{"Alpha.com", "Zeta-NS.org", "alpha.com", "o'brien.ie", "alpha.com"}));
  // "%" and "_" stay wildcards.
  cache.SearchToListView("a_pha", list);
  EXPECT_EQ(list.Captions(), (V{"Alpha.com", "alpha.com"}));
}

TEST(WhoisCache, ATermThatFailsIsPassedOverAndAnEmptyMatchDoesNotLoop) {
  TTempFolder dir;
  TWhoIsCache cache(dir.Path() + "lookups.sqlite");
  cache.Database().ExecSQL("INSERT INTO searchterms (term,description) VALUES ('(', 'broken')");
  cache.Database().ExecSQL("INSERT INTO searchterms (term,description) VALUES ('x*', 'empty')");
  cache.AddDomainInfo("d", TStringList({"a@b.cc xx"}), Day(1));
  EXPECT_EQ(Count(cache, "SELECT count(*) FROM searches WHERE termid = 1"), 1);
  EXPECT_EQ(Count(cache, "SELECT count(*) FROM searches WHERE termid = 4 AND match = 'xx'"), 1);
  cache.Database().ExecSQL("DELETE FROM searchterms");
  cache.AddDomainInfo("e", TStringList({"a@b.cc"}), Day(1));
  EXPECT_EQ(Count(cache, "SELECT count(*) FROM whois"), 2);
}

TEST(WhoisCache, FilesThatCannotServeAreReportedAndLeftAsTheyWere) {
  TTempFolder dir;
  try {
    TWhoIsCache cache(dir.Path() + "no/such/folder/lookups.sqlite");
    FAIL();
  } catch (const ESQLiteException& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Failed to open database \"" + dir.Path(), 0), 0u)
        << e.what();
  }
  const std::string junk = dir.Write("junk.sqlite", std::string(4096, 'j'));
  try {
    TWhoIsCache cache(junk);
    FAIL();
  } catch (const ESQLiteException& e) {
    EXPECT_NE(std::string(e.what()).find("file is not a database"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadFileBytes(junk), std::string(4096, 'j'));
}

TEST(WhoisCache, AReadOnlyDatabaseIsSearchedButNotWritten) {
  TTempFolder dir;
  const std::string file = dir.Path() + "lookups.sqlite";
  { TWhoIsCache(file).AddDomainInfo("kept.example", TStringList({"r"}), Day(1)); }
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
  // Root may write any file: look at it as an ordinary user then.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::getuid() == 0 && ::setuid(65534) != 0) ::_exit(10);
    try {
      TWhoIsCache cache(file);
      if (!cache.ReadOnly()) ::_exit(11);
      TRecordingList list;
      cache.SearchToListView("kept", list);
      if (list.rows.size() != 1) ::_exit(12);
      try {
        cache.AddDomainInfo("new", TStringList({"r"}), Day(2));
        ::_exit(13);
      } catch (const ESQLiteException& e) {
        if (std::string(e.what()).find("readonly") == std::string::npos) ::_exit(14);
      }
    } catch (...) {
      ::_exit(15);
    }
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(SQLiteLayer, ErrorsNameWhatFailedAndTheStatement) {
  TTempFolder dir;
  TSQLiteDatabase db(dir.Path() + "t.sqlite");
  db.ExecSQL("CREATE TABLE t (i INTEGER, r REAL, b BLOB, s TEXT)");
  db.ExecSQL("INSERT INTO t VALUES (?, 1.5, ?, NULL)", {int64_t{7}, TSQLiteBlob{"bl"}});
  TSQLiteTable t = db.GetTable("SELECT i, r, b, s, i + 1 AS e FROM t");
  EXPECT_EQ(t.FieldKind(0), TSQLiteColumnKind::ckInteger);
  EXPECT_EQ(t.FieldKind(1), TSQLiteColumnKind::ckFloat);
  EXPECT_EQ(t.FieldKind(2), TSQLiteColumnKind::ckBlob);
  EXPECT_EQ(t.FieldKind(3), TSQLiteColumnKind::ckText);
  EXPECT_EQ(t.FieldKind(4), TSQLiteColumnKind::ckInteger);  // an expression: its first value
  EXPECT_EQ(t.FieldAsString(0), "7");
  EXPECT_EQ(t.FieldAsString(1), "1.5");
  EXPECT_EQ(t.FieldAsString(2), "bl");
  EXPECT_EQ(t.FieldAsString(3), "");
  EXPECT_EQ(t.FieldAsInteger(3), 0);
  EXPECT_EQ(t.FieldIndex("S"), 3);
  EXPECT_EQ(t.FieldIndex("none"), -1);
  EXPECT_TRUE(db.TableExists("T"));
  EXPECT_FALSE(db.TableExists("u"));
  EXPECT_EQ(db.GetTableString("SELECT s FROM t WHERE i = 0"), "");
  try {
    db.ExecSQL("INSERT INTO missing VALUES (1)");
    FAIL();
  } catch (const ESQLiteException& e) {
    EXPECT_EQ(std::string(e.what()),
              "Could not prepare SQL statement \"INSERT INTO missing VALUES (1)\" : no such table: "
              "missing");
  }
  try {
    db.ExecSQL("SELECT 1");
    FAIL();
  } catch (const ESQLiteException& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Error executing SQL statement", 0), 0u);
  }
  try {
    db.UpdateBlob("UPDATE t SET b = 1", "x");
    FAIL();
  } catch (const ESQLiteException& e) {
    EXPECT_EQ(std::string(e.what()), "SQL must include a ? parameter");
  }
}

TEST(SQLiteLayer, RealsOutsideTheIntegerRangeRaiseInsteadOfConverting) {
  TTempFolder dir;
  TSQLiteDatabase db(dir.Path() + "t.sqlite");
  db.ExecSQL("CREATE TABLE t (r REAL)");
  db.ExecSQL("INSERT INTO t VALUES (1e300), (-1e300), (9.3e18), (-9.2e18), (42.9), (0.0/0.0)");
  TSQLiteTable t = db.GetTable("SELECT r FROM t");
  std::vector<std::string> got;
  for (; !t.Eof(); t.Next()) {
    try {
      got.push_back(std::to_string(t.FieldAsInteger(0)));
    } catch (const ESQLiteException&) {
      got.push_back("error");
    }
  }
  // 0.0/0.0 is NULL in SQLite, which reads as 0.
  EXPECT_EQ(got, (V{"error", "error", "error", "-9200000000000000000", "42", "0"}));
}

TEST(WhoisCache, AHostileReportCostsBoundedWorkAndRows) {
  TTempFolder dir;
  TWhoIsCache cache(dir.Path() + "lookups.sqlite");
  // A MiB of letters before an "@" that ends nothing, then 5,000 distinct
  // addresses: the search gives up on neither and keeps the first 1,000.
  std::string report(1u << 20, 'a');
  report += "@\r\n";
  for (int i = 0; i < 5000; ++i) report += "e" + std::to_string(i) + "@x.example\r\n";
  cache.AddDomainInfo("hostile.example", std::string_view(report), Day(1));
  EXPECT_EQ(Count(cache, "SELECT count(*) FROM searches WHERE termid = 1"), 1000);
}
