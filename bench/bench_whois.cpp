// One whois lookup of a 1 MiB answer from a loopback server: our lookup
// (exchange, line splitting, report, report file) beside the Debian whois
// client fetching the same answer from the same server.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "BenchPeers.h"
#include "LoopbackServer.h"
#include "TempFolder.h"
#include "WhoisQuery.h"
#include "utFiles.h"

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
    const std::string report = TWhoisLookup(client).Run("example.com", "header");
    SaveWhoisReport(WhoisReportFileName(data.Path(), "example.com"), report);
    benchmark::DoNotOptimize(report.size());
  }
}
BENCHMARK(BM_CorvinaWhoisProcessQuery)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DebianWhoisClient(benchmark::State& state) {
  const std::string port = std::to_string(Server().Port());
  TTempFolder scratch;
  for (auto _ : state)
    if (!RunPeer({"whois", "-h", "127.0.0.1", "-p", port, "example.com"}, scratch.Path() + "out")) {
      state.SkipWithError("the whois client is not installed");
      break;
    }
}
BENCHMARK(BM_DebianWhoisClient)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n");
  reporter.PrintRatio("lookup of a 1 MiB answer, Corvina / whois client (target <= 1.2)",
                      "BM_CorvinaWhoisProcessQuery/min_time:2.000",
                      "BM_DebianWhoisClient/min_time:2.000");
  benchmark::Shutdown();
  return 0;
}
