// Corvina: start-up of the program.
#include "CrashReporter.h"
#include "FormUnitMain.h"
#include "FormUnitWhoisList.h"
#include "plFatalSignal.h"

int main(int argc, char** argv) {
  TCorvinaApplication app(argc, argv);
  QApplication::setApplicationName("Corvina");
  QApplication::setApplicationVersion(CorvinaVersion());

  TformMain formMain;
  InstallFatalSignalHandler(formMain.appPathData, CorvinaVersion().toStdString());
  TformWhoisQueryList whoisQueryList;
  formWhoisQueryList = &whoisQueryList;

  formMain.show();
  const int result = app.exec();
  formWhoisQueryList = nullptr;
  return result;
}
