// One whois lookup of a 1 MiB answer from a loopback server: our lookup
// (exchange, line splitting, report, report file) beside the Debian whois
// client fetching the same answer from the same server.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

#include "LoopbackServer.h"
#include "TempFolder.h"
#include "WhoisQuery.h"
#include "utFiles.h"

extern char** environ;

namespace {

std::string MakeAnswer(size_t size) {
  std::string answer;
  for (int i = 0; answer.size() < size; ++i)
    answer += "Name Server: ns" + std::to_string(i) + ".example-hosting.net   # line " +
              std::to_string(i) + "\n";
  answer.resize(size);
  return answer;
}

TLoopbackServer& Server() {
  static TLoopbackServer server(TLoopbackServer::Answer(MakeAnswer(1u << 20)));
  return server;
}

void BM_CorvinaWhoisProcessQuery(benchmark::State& state) {
  TTempFolder data;
  ForceDirectories(data.Path() + "Query/Whois");
  TIdWhois client;
  for (auto _ : state) {
    client.Host = "127.0.0.1";
    client.Port = Server().Port();
    const TStringList report = TWhoisLookup(client).Run("example.com", "header");
    SaveWhoisReport(WhoisReportFileName(data.Path(), "example.com"), report);
    benchmark::DoNotOptimize(report.Count());
  }
}
BENCHMARK(BM_CorvinaWhoisProcessQuery)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DebianWhoisClient(benchmark::State& state) {
  const std::string port = std::to_string(Server().Port());
  for (auto _ : state) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const char* argv[] = {"whois", "-h", "127.0.0.1", "-p", port.c_str(), "example.com", nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "whois", &actions, nullptr, const_cast<char**>(argv), environ) != 0) {
      state.SkipWithError("the whois client is not installed");
      break;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
  }
}
BENCHMARK(BM_DebianWhoisClient)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Remembers the time per iteration of every benchmark for the ratio.
class TRatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> times;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs) times[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double ours = reporter.times["BM_CorvinaWhoisProcessQuery/min_time:2.000"];
  const double peer = reporter.times["BM_DebianWhoisClient/min_time:2.000"];
  if (ours > 0 && peer > 0)
    std::printf("\nlookup of a 1 MiB answer: Corvina / whois client = %.2f (target <= 1.5)\n",
                ours / peer);
  benchmark::Shutdown();
  return 0;
}
