// The HTTP client: a GET of a 256 MiB file from a loopback nginx into
// memory, beside `curl -o /dev/null` of the same address, with the client's
// peak memory; and a 1 MiB HTML page shown by the HTTP page (highlighted
// source and preview), with the longest time the window went without
// running its events during the load.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "BenchPeers.h"
#include "IdHTTP.h"
#include "NginxServer.h"
#include "TempFolder.h"
#include "WhoisWindow.h"

namespace {

constexpr size_t kBigSize = 256u << 20;
constexpr size_t kPageSize = 1u << 20;

TNginxServer* Nginx() {
  static std::unique_ptr<TNginxServer> nginx = [] {
    std::string why;
    if (!TNginxServer::Available(why)) {
      std::fprintf(stderr, "%s\n", why.c_str());
      return std::unique_ptr<TNginxServer>();
    }
    auto server = std::make_unique<TNginxServer>("");
    std::string block(1u << 20, '\0');
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>('a' + i % 26);
    std::string big;
    big.reserve(kBigSize);
    while (big.size() < kBigSize) big += block;
    server->WriteDocument("big.bin", big);
    // A page of the size the source view meets: tags, attributes, entities.
    std::string page = "<html><head><title>Big page</title></head><body>\n";
    for (int i = 0; page.size() < kPageSize; ++i)
      page += "<p class=\"row\" id=\"r" + std::to_string(i) + "\">Row &amp; text <a href='/x?" +
              std::to_string(i) + "'>link</a> <!-- note --> more words here</p>\n";
    page += "</body></html>\n";
    server->WriteDocument("page.html", page);
    return server;
  }();
  return nginx.get();
}

void BM_TIdHTTPGet256MiB(benchmark::State& state) {
  if (!Nginx()) {
    state.SkipWithError("nginx is not installed");
    return;
  }
  const std::string url = Nginx()->Url("/big.bin");
  for (auto _ : state) {
    TIdHTTP http;
    TMemoryStream body;
    http.Get(url, body);
    if (body.Size() != kBigSize) state.SkipWithError("short body");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBigSize));
}
BENCHMARK(BM_TIdHTTPGet256MiB)->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_Curl256MiB(benchmark::State& state) {
  if (!Nginx()) {
    state.SkipWithError("nginx is not installed");
    return;
  }
  static TTempFolder scratch;
  const std::string url = Nginx()->Url("/big.bin");
  for (auto _ : state)
    if (!RunPeer({"curl", "-s", "-o", "/dev/null", url}, scratch.Path() + "curl.out")) {
      state.SkipWithError("curl is not installed");
      break;
    }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBigSize));
}
BENCHMARK(BM_Curl256MiB)->Unit(benchmark::kMillisecond)->Iterations(8);

void MeasureGetPeakMemory() {
  if (!Nginx()) return;
  TIdHTTP http;
  ResetPeakMemory();
  const size_t before = CurrentMemory();
  {
    TMemoryStream body;
    http.Get(Nginx()->Url("/big.bin"), body);
  }
  const double extra = static_cast<double>(PeakMemory() - before) - kBigSize;
  std::printf("peak memory of a 256 MiB GET: the body plus %.2f MiB (target: a small constant)\n",
              extra / (1 << 20));
}

// HTTPLoadUrl of the 1 MiB page in the window; the timer records the
// longest pause between two of its turns.
void BM_HTTPLoadUrl1MiBPage(benchmark::State& state) {
  if (!Nginx()) {
    state.SkipWithError("nginx is not installed");
    return;
  }
  TWhoisWindow w;
  w.form->show();
  const std::string url = Nginx()->Url("/page.html");
  qint64 longestPause = 0;
  for (auto _ : state) {
    QElapsedTimer sinceLast;
    sinceLast.start();
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longestPause = std::max(longestPause, sinceLast.restart()); });
    ticker.start();
    w.form->HTTPLoadUrl(url);
    // The views finish their layout in the events that follow.
    QCoreApplication::processEvents();
    longestPause = std::max(longestPause, sinceLast.elapsed());
    if (w.form->memoHTTPSource->document()->characterCount() < static_cast<int>(kPageSize))
      state.SkipWithError("the page was not shown");
  }
  state.counters["longest_pause_ms"] = static_cast<double>(longestPause);
}
BENCHMARK(BM_HTTPLoadUrl1MiBPage)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  MeasureGetPeakMemory();
  TRatioReporter r;
  benchmark::RunSpecifiedBenchmarks(&r);
  std::printf("\n");
  r.PrintRatio("256 MiB GET, time of TIdHTTP / curl (target <= 1.25, i.e. >= 0.8 of its speed)",
               "BM_TIdHTTPGet256MiB/iterations:8", "BM_Curl256MiB/iterations:8");
  if (r.times["BM_HTTPLoadUrl1MiBPage/iterations:5"] > 0)
    std::printf("1 MiB page shown by HTTPLoadUrl: %.0f ms (target <= 1000 ms)\n",
                r.times["BM_HTTPLoadUrl1MiBPage/iterations:5"]);
  benchmark::Shutdown();
  return 0;
}
