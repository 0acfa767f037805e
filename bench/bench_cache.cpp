// The whois lookup cache: adding a lookup to a small and to a large
// database, and the history search beside the sqlite3 shell running the same
// two statements on the same file; filling the History list with its hits.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "BenchPeers.h"
#include "HistoryListView.h"
#include "TempFolder.h"
#include "WhoisCache.h"

namespace {

TStringList TypicalReport(const std::string& domain) {
  TStringList r;
  r.Add("Corvina WhoIs query for " + domain + " on 12/10/26 10:00:00");
  r.Add("");
  r.Add("[whois.verisign-grs.com]");
  for (int i = 0; i < 40; ++i) r.Add("   Field " + std::to_string(i) + ": some registry text here");
  r.Add("   Registrar Abuse Contact Email: abuse@registrar-example.com");
  r.Add("   Name Server: NS1." + domain);
  r.Add("   Name Server: NS2." + domain);
  r.Add("Registrant Email: owner@" + domain);
  return r;
}

std::string DomainName(int i) {
  return "site" + std::to_string(i) + (i % 100 == 0 ? "-shop" : "") + ".example";
}

// A database of n lookups, each with its three kinds of match, written in
// one transaction the way AddDomainInfo would have written them one by one.
std::string MakeDatabase(const TTempFolder& dir, int n) {
  const std::string file = dir.Path() + "lookups-" + std::to_string(n) + ".sqlite";
  TWhoIsCache cache(file);
  TSQLiteDatabase& db = cache.Database();
  db.ExecSQL("BEGIN");
  for (int i = 1; i <= n; ++i) {
    const std::string domain = DomainName(i);
    db.ExecSQL("INSERT INTO whois (timestamp,domain,information) VALUES (?,?,?)",
               {int64_t{1796900000} + i, domain, TSQLiteBlob{TypicalReport(domain).Text()}});
    for (const auto& [term, match] :
         {std::pair<int64_t, std::string>{1, "abuse@registrar-example.com"},
          {1, "owner@" + domain},
          {2, "NS1." + domain},
          {2, "NS2." + domain}})
      db.ExecSQL("INSERT INTO searches (termid,tableid,tablename,match) VALUES (?,?,'whois',?)",
                 {term, int64_t{i}, match});
  }
  db.ExecSQL("COMMIT");
  return file;
}

const TTempFolder& Folder() {
  static TTempFolder dir;
  return dir;
}

const std::string& Database(int n) {
  static std::map<int, std::string> files;
  auto it = files.find(n);
  if (it == files.end()) it = files.emplace(n, MakeDatabase(Folder(), n)).first;
  return it->second;
}

void BM_AddDomainInfo(benchmark::State& state) {
  TWhoIsCache cache(Database(static_cast<int>(state.range(0))));
  const TStringList report = TypicalReport("new-lookup.example");
  for (auto _ : state) cache.AddDomainInfo("new-lookup.example", report, 46000.5);
}
BENCHMARK(BM_AddDomainInfo)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

const char* kDomainQuery =
    "SELECT * FROM whois WHERE domain LIKE '%' || ? || '%' ORDER BY domain,timestamp;";
const char* kMatchQuery =
    "SELECT * FROM searches LEFT JOIN whois ON searches.tableid=whois.id WHERE match LIKE "
    "'%' || ? || '%' ORDER BY domain,timestamp;";

void BM_HistoryQueries(benchmark::State& state) {
  TWhoIsCache cache(Database(100000));
  for (auto _ : state) {
    const size_t rows = cache.Database().GetTable(kDomainQuery, {std::string("-shop")}).RowCount() +
                        cache.Database().GetTable(kMatchQuery, {std::string("-shop")}).RowCount();
    if (rows != 4000) state.SkipWithError("unexpected hits");
  }
}
BENCHMARK(BM_HistoryQueries)->Unit(benchmark::kMillisecond);

void BM_Sqlite3ShellQueries(benchmark::State& state) {
  const std::string file = Database(100000);
  const std::string sql =
      "SELECT * FROM whois WHERE domain LIKE '%-shop%' ORDER BY domain,timestamp;"
      "SELECT * FROM searches LEFT JOIN whois ON searches.tableid=whois.id WHERE match LIKE "
      "'%-shop%' ORDER BY domain,timestamp;";
  for (auto _ : state)
    if (!RunPeer({"sqlite3", file, sql}, Folder().Path() + "shell-output.txt")) {
      state.SkipWithError("the sqlite3 shell is not installed");
      break;
    }
}
BENCHMARK(BM_Sqlite3ShellQueries)->Unit(benchmark::kMillisecond);

// Filling the History list with 1,000 rows, as a search does.
void BM_FillHistoryList(benchmark::State& state) {
  QTreeWidget list;
  list.setColumnCount(2);
  list.resize(400, 300);
  list.show();
  for (auto _ : state) {
    TTreeHistoryList rows(&list);
    rows.BeginUpdate();
    rows.Clear();
    for (int i = 0; i < 1000; ++i)
      rows.AddRow(DomainName(i * 100), "12/10/26 10:00:00", std::to_string(i * 100));
    rows.EndUpdate();
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_FillHistoryList)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  TRatioReporter r;
  benchmark::RunSpecifiedBenchmarks(&r);
  auto& t = r.times;
  std::printf("\n");
  r.PrintRatio("AddDomainInfo, 100,000 / 1,000 lookups (target < 1.5)", "BM_AddDomainInfo/100000",
               "BM_AddDomainInfo/1000");
  r.PrintRatio("history queries / sqlite3 shell (target <= 1.5)", "BM_HistoryQueries",
               "BM_Sqlite3ShellQueries");
  if (t["BM_FillHistoryList"] > 0)
    std::printf("filling the list with 1,000 rows: %.1f ms (target <= 200 ms)\n",
                t["BM_FillHistoryList"]);
  benchmark::Shutdown();
  return 0;
}
