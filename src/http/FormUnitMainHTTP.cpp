// The main window's HTTP page: the handlers that exist before the HTTP
// client does.
#include <QComboBox>
#include <QTabWidget>

#include "FormUnitMain.h"
#include "brmConfig.h"

void TformMain::cbHTTPQueryMethodChange() {
  const int method = cbHTTPQueryMethod->currentIndex();
  pcHTTP->setTabVisible(pcHTTP->indexOf(tabHTTPPost), method == 1);
  pcHTTP->setTabVisible(pcHTTP->indexOf(tabHTTPSource), method != 2);
  pcHTTP->setTabVisible(pcHTTP->indexOf(tabHTTPPreview), method != 2);
}

void TformMain::HTTPStoreLastQuery(const std::string& url) {
  // Called by the HTTP query right after a request returned without error.
  if (!GConfigManager) return;
  GConfigManager->WriteString("LastQuery", url, false);
  GConfigManager->WriteInteger("LastQueryType", cbHTTPQueryMethod->currentIndex(), false);
}
