// The trace over the route of three routers in network namespaces (client -
// r1 - r2 - r3 - target) beside traceroute -I -q 1 -N 1, with and without
// names, each started in the client's namespace the same way; and a trace
// whose hop does not answer, which must cost one time-out. Needs root.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "BenchPeers.h"
#include "NetNamespaces.h"
#include "TempFolder.h"

namespace {

std::unique_ptr<TNetNamespaces> gRoute;
std::string gProbe;
TTempFolder gScratch;

void Trace(benchmark::State& state, std::vector<std::string> command) {
  command.insert(command.begin(), {"ip", "netns", "exec", gRoute->Name("client")});
  for (auto _ : state)
    if (!RunPeer(command, gScratch.Path() + "out.txt")) {
      state.SkipWithError("cannot start the trace");
      break;
    }
}

void BM_CorvinaNumeric(benchmark::State& s) { Trace(s, {gProbe, "10.201.4.2", "--numeric"}); }
void BM_TracerouteNumeric(benchmark::State& s) {
  Trace(s, {"traceroute", "-I", "-q", "1", "-N", "1", "-n", "10.201.4.2"});
}
void BM_CorvinaNames(benchmark::State& s) { Trace(s, {gProbe, "10.201.4.2"}); }
void BM_TracerouteNames(benchmark::State& s) {
  Trace(s, {"traceroute", "-I", "-q", "1", "-N", "1", "10.201.4.2"});
}
BENCHMARK(BM_CorvinaNumeric)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_TracerouteNumeric)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_CorvinaNames)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_TracerouteNames)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
  std::string why;
  if (!TNetNamespaces::Available(why)) {
    std::printf("skipped: %s\n", why.c_str());
    return 0;
  }
  char self[4096] = {};
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  gProbe = std::string(self, n > 0 ? static_cast<size_t>(n) : 0);
  gProbe = gProbe.substr(0, gProbe.rfind('/') + 1) + "trace_probe";
  gRoute = std::make_unique<TNetNamespaces>();
  MakeTraceRoute(*gRoute);

  benchmark::Initialize(&argc, argv);
  TRatioReporter r;
  benchmark::RunSpecifiedBenchmarks(&r);
  std::printf("\n");
  r.PrintRatio("trace over 3 routers, Corvina / traceroute -I -q 1 -N 1 -n (target <= 1.2)",
               "BM_CorvinaNumeric/min_time:1.000", "BM_TracerouteNumeric/min_time:1.000");
  r.PrintRatio("the same with names (target <= 1.2)", "BM_CorvinaNames/min_time:1.000",
               "BM_TracerouteNames/min_time:1.000");

  // A hop that does not answer: one time-out (5000 ms) at that hop.
  const auto start = std::chrono::steady_clock::now();
  RunPeer({"ip", "netns", "exec", gRoute->Name("client"), gProbe, "10.201.97.1", "--numeric"},
          gScratch.Path() + "silent.txt");
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  std::printf("trace whose third hop does not answer: %lld ms (one time-out is 5000 ms)\n",
              static_cast<long long>(ms));
  std::fflush(stdout);
  gRoute.reset();
  benchmark::Shutdown();
  return 0;
}
