#include "BenchPeers.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <string>

extern char** environ;

bool RunPeer(const std::vector<std::string>& args, const std::string& outputFile) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  pid_t pid = 0;
  const bool started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  if (!started) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return true;
}

namespace {

size_t StatusValue(const char* name) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(name, 0) == 0) return std::stoul(line.substr(std::string(name).size())) * 1024;
  return 0;
}

}  // namespace

size_t PeakMemory() { return StatusValue("VmHWM:"); }
void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }
size_t CurrentMemory() { return StatusValue("VmRSS:"); }

void TRatioReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const auto& r : runs) times[r.benchmark_name()] = r.GetAdjustedRealTime();
  ConsoleReporter::ReportRuns(runs);
}

void TRatioReporter::PrintRatio(const char* what, const std::string& ours,
                                const std::string& peer) {
  if (times[ours] > 0 && times[peer] > 0)
    std::printf("%s: %.2f\n", what, times[ours] / times[peer]);
}
