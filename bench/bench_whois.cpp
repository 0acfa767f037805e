// One whois lookup of a 1 MiB answer from a loopback server: our lookup
// (exchange, line splitting, report, report file) beside the Debian whois
// client fetching the same answer from the same server. Before the timings,
// the peak memory of a lookup (with its cache row and report file) fed
// 16 MiB of bare line feeds, against the bytes it received.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "BenchPeers.h"
#include "LoopbackServer.h"
#include "TempFolder.h"
#include "WhoisCache.h"
#include "WhoisQuery.h"
#include "utFiles.h"

#include <fstream>

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

void MeasureLineFeedFlood() {
  // The server makes its answer as it sends it, so that only the lookup's
  // memory is measured.
  TLoopbackServer flood([](int fd, const std::string&, int) {
    const std::string chunk(65536, '\n');
    for (size_t sent = 0; sent < kMaxWhoisAnswerSize; sent += chunk.size()) SendAll(fd, chunk);
  });
  TTempFolder data;
  ForceDirectories(data.Path() + "Query/Whois");
  TWhoIsCache cache(data.Path() + "lookups.sqlite");
  TIdWhois client;
  client.Host = "127.0.0.1";
  client.Port = flood.Port();
  ResetPeakMemory();
  const size_t before = CurrentMemory();
  {
    const std::string report = TWhoisLookup(client).Run("example.com", "header");
    cache.AddDomainInfo("example.com", std::string_view(report), 46000.5);
    SaveWhoisReport(WhoisReportFileName(data.Path(), "example.com"), report);
  }
  const double used = static_cast<double>(PeakMemory() - before);
  std::printf("peak memory of a lookup fed %zu bytes of line feeds: %.1f MiB, %.2f times the "
              "bytes received (target <= 4)\n\n",
              kMaxWhoisAnswerSize, used / (1 << 20), used / kMaxWhoisAnswerSize);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  MeasureLineFeedFlood();
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n");
  reporter.PrintRatio("lookup of a 1 MiB answer, Corvina / whois client (target <= 1.2)",
                      "BM_CorvinaWhoisProcessQuery/min_time:2.000",
                      "BM_DebianWhoisClient/min_time:2.000");
  benchmark::Shutdown();
  return 0;
}
