// Corvina: start-up of the program.
#include <QStringList>
#include <memory>

#include "CrashReporter.h"
#include "DialogService.h"
#include "FormUnitMain.h"
#include "FormUnitWhoisList.h"
#include "brmConfig.h"
#include "brmUIDlgAbout.h"
#include "plFatalSignal.h"
#include "plPaths.h"
#include "plRegistry.h"
#include "utMessages.h"
#include "utMulticonfigRead.h"
#include "utPathSolve.h"
#include "utTranslator.h"

namespace {

// The state of other subsystems that lives before and after every window.
struct TModuleState {
  TBRMConfigManager config;
  std::unique_ptr<TAppTranslator> translator;
  explicit TModuleState(const std::string& programFile) {
    utMulticonfigReadInit();
    config.SetProductName(ProductNameFromProgramFile(programFile));
    GConfigManager = &config;
    translator = std::make_unique<TAppTranslator>();
    ApplicationTranslator = translator.get();
    utMessagesInit();
    utPathSolveInit();
  }
  ~TModuleState() {
    ApplicationTranslator = nullptr;
    translator.reset();
    GConfigManager = nullptr;
    utMulticonfigReadFinalize();
  }
};

}  // namespace

int main(int argc, char** argv) {
  TModuleState modules(GetProgramFile());
  TCorvinaApplication app(argc, argv);
  QApplication::setApplicationName("Corvina");
  QApplication::setApplicationVersion(CorvinaVersion());
  QApplication::setWindowIcon(CorvinaIcon());

  TformMain formMain;
  InstallFatalSignalHandler(formMain.appPathData, CorvinaVersion().toStdString());
  // A child of the main window: closing the main window ends the program
  // even while a batch shows the list.
  TformWhoisQueryList whoisQueryList(&formMain);
  formWhoisQueryList = &whoisQueryList;

  // A damaged settings file was set aside when the registry was first used.
  QStringList problems;
  for (const std::string& p : TakeRegistryStoreProblems()) problems << QString::fromStdString(p);
  if (!problems.isEmpty()) Dialogs().ShowError(&formMain, "Corvina", problems.join("\n"));

  formMain.show();
  return app.exec();
}
