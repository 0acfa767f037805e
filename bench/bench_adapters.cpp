// The adapter list read from the live registry tree of a network namespace
// with 64 interfaces, beside `ip -j addr` of the same namespace. Needs root
// (the benchmark makes the namespace for itself).
#include <benchmark/benchmark.h>
#include <sched.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchPeers.h"
#include "NetworkAdapters.h"
#include "TempFolder.h"
#include "plLiveSystemHive.h"
#include "plRegistry.h"

namespace {

TTempFolder gScratch;

void BM_ReadFromRegistry(benchmark::State& state) {
  for (auto _ : state) {
    // A provider of its own: the tree is made from the machine afresh.
    SetLiveHiveProvider(MachineLiveHive());
    TNetworkAdapters adapters;
    adapters.ReadFromRegistry();
    if (adapters.Count() != 65) state.SkipWithError("unexpected adapters");
  }
}
BENCHMARK(BM_ReadFromRegistry)->Unit(benchmark::kMillisecond);

void BM_IpAddr(benchmark::State& state) {
  for (auto _ : state)
    if (!RunPeer({"ip", "-j", "addr"}, gScratch.Path() + "ip.json")) {
      state.SkipWithError("ip is not installed");
      break;
    }
}
BENCHMARK(BM_IpAddr)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (::geteuid() != 0 || ::unshare(CLONE_NEWNET | CLONE_NEWNS) != 0) {
    std::printf("skipped: making a network namespace needs root\n");
    return 0;
  }
  // 32 veth pairs, each end with an address: 64 interfaces and loopback.
  std::string setup = "mount --make-rprivate / && mount -t sysfs sysfs /sys && ip link set lo up";
  for (int i = 0; i < 32; ++i) {
    const std::string n = std::to_string(i);
    setup += " && ip link add a" + n + " type veth peer name b" + n + " && ip addr add 10.202." +
             n + ".1/24 dev a" + n + " && ip addr add 10.202." + n + ".2/24 dev b" + n +
             " && ip link set a" + n + " up && ip link set b" + n + " up";
  }
  if (std::system(setup.c_str()) != 0) {
    std::printf("skipped: the namespace could not be made\n");
    return 0;
  }
  SetRegistryStoreLocation(gScratch.Path() + "user/", gScratch.Path() + "machine/");
  benchmark::Initialize(&argc, argv);
  TRatioReporter r;
  benchmark::RunSpecifiedBenchmarks(&r);
  std::printf("\n");
  if (r.times["BM_ReadFromRegistry"] > 0)
    std::printf("ReadFromRegistry over 64 interfaces: %.1f ms (target 50 ms)\n",
                r.times["BM_ReadFromRegistry"]);
  r.PrintRatio("ReadFromRegistry / ip -j addr", "BM_ReadFromRegistry", "BM_IpAddr");
  benchmark::Shutdown();
  return 0;
}
