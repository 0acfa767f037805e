// Compare rules over a million file-name-like texts beside grep on the same
// names, and the tree search over 100,000 files beside find on the same tree.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchPeers.h"
#include "TempFolder.h"
#include "utFileSysWin.h"
#include "utStringCompare.h"

namespace {

const char* kExtensions[] = {"txt", "TXT", "log", "dat", "html", "c", "h", "json"};

const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> v;
    v.reserve(1000000);
    for (int i = 0; i < 1000000; ++i)
      v.push_back("/home/user/data/report-" + std::to_string(i * 7919LL % 1000003) + "." +
                  kExtensions[i % 8]);
    return v;
  }();
  return names;
}

const TTempFolder& NamesFile() {
  static TTempFolder dir;
  static bool written = [] {
    std::ofstream out(dir.Path() + "names.txt");
    for (const auto& n : Names()) out << n << '\n';
    return true;
  }();
  (void)written;
  return dir;
}

// Runs a peer with its output in a scratch file.
bool RunQuiet(const std::vector<std::string>& args) {
  static TTempFolder scratch;
  return RunPeer(args, scratch.Path() + "out.txt");
}

void CompareAll(benchmark::State& state, const std::string& rule) {
  const auto& names = Names();
  for (auto _ : state) {
    size_t hits = 0;
    for (const auto& n : names)
      hits += utCompareIDString(n, rule, true, TCompareStyle::csWildcards);
    benchmark::DoNotOptimize(hits);
  }
}

void BM_CompareWildcards(benchmark::State& state) { CompareAll(state, "<wc>*report-1*.txt"); }
BENCHMARK(BM_CompareWildcards)->Unit(benchmark::kMillisecond);

void BM_GrepWildcards(benchmark::State& state) {
  const std::string file = NamesFile().Path() + "names.txt";
  for (auto _ : state) RunQuiet({"grep", "-c", "-i", "-E", "^.*report-1.*\\.txt$", file});
}
BENCHMARK(BM_GrepWildcards)->Unit(benchmark::kMillisecond);

void BM_CompareRegExpr(benchmark::State& state) {
  CompareAll(state, "<regexpr>report-1\\d*\\.txt$");
}
BENCHMARK(BM_CompareRegExpr)->Unit(benchmark::kMillisecond);

void BM_GrepRegExpr(benchmark::State& state) {
  const std::string file = NamesFile().Path() + "names.txt";
  for (auto _ : state) RunQuiet({"grep", "-c", "-i", "-P", "report-1\\d*\\.txt$", file});
}
BENCHMARK(BM_GrepRegExpr)->Unit(benchmark::kMillisecond);

// 100,000 files in 1,000 folders (10 top folders of 100 each), half ".txt".
const TTempFolder& Tree() {
  static TTempFolder dir;
  static bool made = [] {
    for (int a = 0; a < 10; ++a)
      for (int b = 0; b < 100; ++b) {
        const std::string folder = dir.Path() + "d" + std::to_string(a) + "/s" + std::to_string(b);
        std::filesystem::create_directories(folder);
        for (int f = 0; f < 100; ++f) {
          const std::string path = folder + "/f" + std::to_string(f) + (f % 2 ? ".txt" : ".log");
          close(open(path.c_str(), O_CREAT | O_WRONLY, 0644));
        }
      }
    return true;
  }();
  (void)made;
  return dir;
}

void BM_TreeSearch(benchmark::State& state) {
  const std::string root = Tree().Path();
  for (auto _ : state) {
    const TStringList found = WindowsFindFileList(root + "*.txt", true, false, true, true);
    if (found.Count() != 50000) state.SkipWithError("wrong count");
  }
}
BENCHMARK(BM_TreeSearch)->Unit(benchmark::kMillisecond);

void BM_FindName(benchmark::State& state) {
  const std::string root = Tree().Path();
  for (auto _ : state) RunQuiet({"find", root, "-name", "*.txt"});
}
BENCHMARK(BM_FindName)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n");
  reporter.PrintRatio("<wc> rule over 1,000,000 names / grep -E", "BM_CompareWildcards",
                      "BM_GrepWildcards");
  reporter.PrintRatio("<regexpr> rule over 1,000,000 names / grep -P", "BM_CompareRegExpr",
                      "BM_GrepRegExpr");
  reporter.PrintRatio("tree search of 100,000 files / find -name (target <= 1.5)", "BM_TreeSearch",
                      "BM_FindName");
  benchmark::Shutdown();
  return 0;
}
