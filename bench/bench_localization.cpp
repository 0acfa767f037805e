// The translator: switching the main window from English to German, and
// the start of the main window up to its first showing with MakeDefault,
// Peek over ten language files and LoadPreferredLanguage, beside the same
// start without a translator (the part the translator adds).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "BenchPeers.h"
#include "RegistrySandbox.h"
#include "WhoisWindow.h"
#include "brmConfig.h"
#include "utFiles.h"
#include "utMessages.h"
#include "utTranslator.h"

namespace {

// The program's module state: settings, and the translator when asked for.
struct TModules {
  TRegistrySandbox box;
  TBRMConfigManager config;
  std::unique_ptr<TAppTranslator> translator;
  explicit TModules(bool withTranslator) {
    config.SetProductName("Corvina");
    GConfigManager = &config;
    if (!withTranslator) return;
    translator = std::make_unique<TAppTranslator>();
    ApplicationTranslator = translator.get();
    utMessagesInit();
  }
  ~TModules() {
    ApplicationTranslator = nullptr;
    translator.reset();
    GConfigManager = nullptr;
    utResetDialogCaptions();
  }
};

// Ten language files beside the program: the two shipped ones under ten
// names.
void TenLanguages(TTempFolder& program) {
  const char* names[] = {"German", "French",  "Dutch",   "Danish", "Italian",
                         "Polish", "Spanish", "Swedish", "Czech"};
  int i = 0;
  for (const char* name : names)
    program.Write(std::string("Languages/") + name + ".crv",
                  ReadFileBytes(std::string(CORVINA_LANGUAGES_DIR) +
                                (i++ % 2 ? "/French.crv" : "/German.crv")));
  // The tenth is English.crv, written by MakeDefault.
}

void BM_SwitchEnglishToGerman(benchmark::State& state) {
  TModules modules(true);
  TWhoisWindow w(TenLanguages);
  w.form->show();
  for (auto _ : state) {
    modules.translator->LanguageMenuItemClick("German");
    // The window lays itself out and repaints in German.
    w.form->repaint();
    QCoreApplication::processEvents();
    state.PauseTiming();
    modules.translator->LanguageMenuItemClick("English");
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SwitchEnglishToGerman)->Unit(benchmark::kMillisecond);

// From creating the main window to its first showing, with or without the
// translator.
void StartToShown(benchmark::State& state, bool withTranslator) {
  for (auto _ : state) {
    state.PauseTiming();
    TModules modules(withTranslator);
    state.ResumeTiming();
    {
      TWhoisWindow w(TenLanguages);
      w.form->show();
      QCoreApplication::processEvents();
      state.PauseTiming();
    }
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
void BM_StartWithTranslator(benchmark::State& state) { StartToShown(state, true); }
void BM_StartWithoutTranslator(benchmark::State& state) { StartToShown(state, false); }
BENCHMARK(BM_StartWithTranslator)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_StartWithoutTranslator)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  TRatioReporter r;
  benchmark::RunSpecifiedBenchmarks(&r);
  auto& t = r.times;
  std::printf("\n");
  if (t["BM_SwitchEnglishToGerman"] > 0)
    std::printf("switching the main window from English to German: %.1f ms (target <= 50 ms)\n",
                t["BM_SwitchEnglishToGerman"]);
  const double with = t["BM_StartWithTranslator/iterations:10"];
  const double without = t["BM_StartWithoutTranslator/iterations:10"];
  if (with > 0 && without > 0)
    std::printf(
        "start to shown main window with ten languages: %.1f ms (target <= 300 ms), "
        "of which the translator %.1f ms\n",
        with, with - without);
  benchmark::Shutdown();
  return 0;
}
