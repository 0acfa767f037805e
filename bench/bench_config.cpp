// A chained ReadInteger through the configuration manager (two roots, one
// path) against a user hive holding 10,000 keys.
#include <benchmark/benchmark.h>

#include <string>

#include "RegistrySandbox.h"
#include "brmConfig.h"
#include "brmRegTools.h"

namespace {

TRegistrySandbox& Store() {
  static TRegistrySandbox box;
  static bool filled = [] {
    HKEY software = 0;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Brenmoor", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &software, nullptr);
    for (int i = 0; i < 10000; ++i) {
      HKEY key = 0;
      const std::string name = "Product" + std::to_string(i) + "\\UI";
      RegCreateKeyExA(software, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr);
      RegCloseKey(key);
    }
    RegCloseKey(software);
    utRegWriteSingleInteger(HKEY_CURRENT_USER, "\\Software\\Brenmoor\\Corvina\\", "OpenTabMain", 3,
                            32);
    return true;
  }();
  (void)filled;
  return box;
}

void BM_ChainedReadInteger(benchmark::State& state) {
  Store();
  SetRegistryAccessObserver({});
  TBRMConfigManager config;
  config.SetProductName("Corvina");
  for (auto _ : state) {
    int32_t v = 0;
    if (!config.ReadInteger("OpenTabMain", v) || v != 3) state.SkipWithError("not found");
  }
}
BENCHMARK(BM_ChainedReadInteger)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
