// The main window's remembered state: restored when it is shown, stored
// when it closes.
#include <QComboBox>
#include <QTabWidget>

#include "CrashReporter.h"
#include "FormUnitMain.h"
#include "brmConfig.h"
#include "utTranslator.h"

namespace {
// Makes page v active when the stored value is a page of the control.
bool RestorePage(QTabWidget* pages, const char* valueName) {
  int32_t v = -1;
  if (!GConfigManager->ReadInteger(valueName, v)) return false;
  if (v >= 0 && v < pages->count()) pages->setCurrentIndex(v);
  return true;
}
}  // namespace

void TformMain::FormShow() {
  if (ApplicationTranslator) {
    // The English file from the windows' own texts, then every language
    // there is, then the user's choice.
    ApplicationTranslator->MakeDefault();
    ApplicationTranslator->Peek();
    ApplicationTranslator->LoadPreferredLanguage();
  }
  if (!GConfigManager) return;
  GConfigManager->ReadString("WhoisQuery", queryStringWhois);
  GConfigManager->ReadString("WhoisFilter", filterStringWhois);
  if (std::string url; GConfigManager->ReadString("LastQuery", url))
    cbHTTPBaseUrl->setEditText(ToDisplayText(url));
  if (int32_t method = -1;
      GConfigManager->ReadInteger("LastQueryType", method) && method >= 0 && method <= 2) {
    cbHTTPQueryMethod->setCurrentIndex(method);
    cbHTTPQueryMethodChange();
  }
  RestorePage(pcHTTP, "OpenTabHTTP");
  RestorePage(pcWhoIs, "OpenTabWhoIs");
  if (!RestorePage(pcOptions, "OpenTabMain")) pcOptions->setCurrentWidget(tsAdapterInfo);
  // A list that fails is reported and the other is still filled.
  Guarded("RefreshAdapterList", [this] { RefreshAdapterList(); })();
  Guarded("RefreshUserList", [this] { RefreshUserList(); })();
  GConfigManager->ReadWindowPositions();
}

void TformMain::FormClose() {
  if (!GConfigManager) return;
  GConfigManager->WriteString("WhoisQuery", queryStringWhois, false);
  GConfigManager->WriteString("WhoisFilter", filterStringWhois, false);
  GConfigManager->WriteInteger("OpenTabMain", pcOptions->currentIndex(), false);
  GConfigManager->WriteInteger("OpenTabHTTP", pcHTTP->currentIndex(), false);
  GConfigManager->WriteInteger("OpenTabWhoIs", pcWhoIs->currentIndex(), false);
  GConfigManager->WriteWindowPositions();
}
