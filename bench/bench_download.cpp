// A 100 MiB download from a loopback HTTP server into a file through
// TutInternetHTTP, beside `curl -o FILE` of the same address.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "BenchPeers.h"
#include "LoopbackServer.h"
#include "TempFolder.h"
#include "utWinINet.h"

namespace {

constexpr size_t kSize = 100u << 20;

TLoopbackServer& Server() {
  static TLoopbackServer server([](int fd, const std::string&, int) {
    SkipHttpHeaders(fd);
    SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kSize) +
                    "\r\nConnection: close\r\n\r\n");
    const std::string chunk(1u << 20, 'x');
    for (size_t sent = 0; sent < kSize; sent += chunk.size()) SendAll(fd, chunk);
  });
  return server;
}

std::string Url() { return "http://127.0.0.1:" + std::to_string(Server().Port()) + "/big.bin"; }

TTempFolder& Scratch() {
  static TTempFolder dir;
  return dir;
}

void BM_TutInternetHTTP(benchmark::State& state) {
  for (auto _ : state) {
    std::ofstream file(Scratch().Path() + "ours.bin", std::ios::binary | std::ios::trunc);
    TutInternetHTTP http;
    if (!http.Download(Url(), file) || http.FCurrentBytes != static_cast<int64_t>(kSize))
      state.SkipWithError("download failed");
  }
}
BENCHMARK(BM_TutInternetHTTP)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Curl(benchmark::State& state) {
  for (auto _ : state)
    if (!RunPeer({"curl", "-s", "-o", Scratch().Path() + "curl.bin", Url()},
                 Scratch().Path() + "curl.out")) {
      state.SkipWithError("curl is not installed");
      break;
    }
}
BENCHMARK(BM_Curl)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter r;
  benchmark::RunSpecifiedBenchmarks(&r);
  std::printf("\n");
  r.PrintRatio("100 MiB download, TutInternetHTTP / curl (target <= 1.2)",
               "BM_TutInternetHTTP/iterations:5", "BM_Curl/iterations:5");
  benchmark::Shutdown();
  return 0;
}
