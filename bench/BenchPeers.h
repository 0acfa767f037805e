// What the benchmarks share: running a peer program the way a user would,
// and a reporter that keeps each benchmark's time for the ratios.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

// Runs a program (found on PATH) to its end with its standard output sent
// to outputFile (not /dev/null: GNU grep stops at the first match when its
// output is /dev/null). False when it cannot be started.
bool RunPeer(const std::vector<std::string>& args, const std::string& outputFile);

// The peak resident memory of this process in bytes (VmHWM), its reset to
// the memory in use now, and the memory in use now (VmRSS).
size_t PeakMemory();
void ResetPeakMemory();
size_t CurrentMemory();

// Keeps the time per iteration of every benchmark run, by its name.
class TRatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> times;
  void ReportRuns(const std::vector<Run>& runs) override;
  // Prints what / (ours over peer) when both ran.
  void PrintRatio(const char* what, const std::string& ours, const std::string& peer);
};
