// Whois reports, batches and the filter, through the main window offscreen:
// the filter over 10,000 saved reports (about 100 MB) beside grep, the menu
// of old reports over the same folder, and a batch of 1,000 domains against
// a loopback whois server beside a shell loop of the whois client.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMenu>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "BenchPeers.h"
#include "FormUnitMain.h"
#include "utPathSolve.h"
#include "LoopbackServer.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "WhoisFilter.h"
#include "WhoisReports.h"
#include "utFiles.h"

namespace {

constexpr int kReports = 10000;
constexpr int kBatch = 1000;

// A saved report of about 10 KB with the addresses and name servers a
// registry and a registrar answer give.
std::string Report(int i) {
  const std::string domain = "site" + std::to_string(i) + ".example";
  std::string r = "Corvina WhoIs query for " + domain + " on 12/10/26 10:00:00\r\n\r\n";
  r += "[whois.verisign-grs.com]\r\n";
  while (r.size() < 9500)
    r += "   Field " + std::to_string(r.size()) + ": some registry text for " + domain + "\r\n";
  r += "   Registrar Abuse Contact Email: abuse@registrar" + std::to_string(i % 50) + ".example\r\n";
  r += "   Name Server: NS1." + domain + "\r\n   Name Server: NS2." + domain + "\r\n";
  r += "Registrant Email: owner@" + domain + "\r\n";
  return r;
}

// The program folder of the window, with its reports and the server table.
struct TSetup {
  TTempFolder program, appData;
  TScriptedDialogs dialogs;
  TLoopbackServer server{TLoopbackServer::Answer("Domain Name: X\nRegistrar: Y\n")};
  std::unique_ptr<TformMain> form;
  std::string list;
  TSetup() {
    ::setenv("XDG_DATA_HOME", appData.Path().c_str(), 1);
    utPathSolveInit();
    program.Write("whois-servers.lst", ".test | 127.0.0.1\n");
    for (int i = 0; i < kReports; ++i)
      program.Write("Query/Whois/site" + std::to_string(i) + ".example.txt", Report(i));
    std::string domains;
    for (int i = 0; i < kBatch; ++i) domains += "batch" + std::to_string(i) + ".test\n";
    list = program.Write("list.txt", domains);
    form = std::make_unique<TformMain>(program.Path());
    form->idWhoIs.Port = server.Port();
  }
};

// Made at the first benchmark, ended before the application object.
std::unique_ptr<TSetup> gSetup;
TSetup& Setup() {
  if (!gSetup) gSetup = std::make_unique<TSetup>();
  return *gSetup;
}

void BM_WhoisFilterGrep(benchmark::State& state) {
  TSetup& s = Setup();
  for (auto _ : state) {
    s.form->WhoisFilterGrep(GrepExtractEmailPattern);
    if (s.form->tvWhoisFiltered->topLevelItemCount() != kReports + 50)
      state.SkipWithError("unexpected matches");
  }
}
BENCHMARK(BM_WhoisFilterGrep)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same search without the window: what the window adds is the rest.
void BM_WhoisFilterFiles(benchmark::State& state) {
  TSetup& s = Setup();
  const std::vector<std::string> files = ListWhoisReports(s.program.Path());
  for (auto _ : state) benchmark::DoNotOptimize(WhoisFilterFiles(files, GrepExtractEmailPattern));
}
BENCHMARK(BM_WhoisFilterFiles)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GrepPeer(benchmark::State& state) {
  TSetup& s = Setup();
  for (auto _ : state)
    if (!RunPeer({"grep", "-ohrE", "[_a-zA-Z0-9.-]+@([_a-zA-Z0-9-]+(\\.[_a-zA-Z0-9-]+)+)",
                  s.program.Path() + "Query/Whois"},
                 s.program.Path() + "grep-output.txt")) {
      state.SkipWithError("grep is not installed");
      break;
    }
}
BENCHMARK(BM_GrepPeer)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WhoisFillQueryList(benchmark::State& state) {
  TSetup& s = Setup();
  for (auto _ : state) {
    s.form->WhoisFillQueryList();
    if (s.form->popupWhoisQueryLoadOld->actions().size() != 1)
      state.SkipWithError("unexpected menu");
  }
}
BENCHMARK(BM_WhoisFillQueryList)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_WhoisBatch(benchmark::State& state) {
  TSetup& s = Setup();
  for (auto _ : state) {
    s.dialogs.files.push_back(QString::fromStdString(s.list));
    s.form->aWhoisQueryFromFileExecute();
  }
}
BENCHMARK(BM_WhoisBatch)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_WhoisClientLoop(benchmark::State& state) {
  TSetup& s = Setup();
  TTempFolder out;
  const std::string script = "cd " + out.Path() + " && while read d; do whois -h 127.0.0.1 -p " +
                             std::to_string(s.server.Port()) + " \"$d\" > \"$d.txt\"; done < " +
                             s.list;
  for (auto _ : state)
    if (!RunPeer({"bash", "-c", script}, out.Path() + "loop-output.txt")) {
      state.SkipWithError("bash is not installed");
      break;
    }
}
BENCHMARK(BM_WhoisClientLoop)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  TRatioReporter r;
  benchmark::RunSpecifiedBenchmarks(&r);
  std::printf("\n");
  r.PrintRatio("filter over 10,000 reports, Corvina / grep -ohE (target <= 1.5)",
               "BM_WhoisFilterGrep/iterations:3", "BM_GrepPeer/iterations:3");
  r.PrintRatio("batch of 1,000 domains, Corvina / whois client loop (target <= 1.5)",
               "BM_WhoisBatch/iterations:1", "BM_WhoisClientLoop/iterations:1");
  if (r.times["BM_WhoisFillQueryList/iterations:5"] > 0)
    std::printf("menu of 10,000 old reports: %.0f ms (target <= 300 ms)\n",
                r.times["BM_WhoisFillQueryList/iterations:5"]);
  gSetup.reset();
  benchmark::Shutdown();
  return 0;
}
