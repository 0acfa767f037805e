// Loaded into the built program by the start-up tests (LD_PRELOAD): once the
// application runs, it prints the main window's title, page captions and
// active page, turns to the page CORVINA_PROBE_SET_PAGE names (when set),
// and then closes the window as the user would.
#include <QApplication>
#include <QCoreApplication>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {

void Probe() {
  QTimer::singleShot(300, [] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == "formMain") {
        std::printf("visible=%d\n", w->isVisible() ? 1 : 0);
        std::printf("title=%s\n", qPrintable(w->windowTitle()));
        if (auto* pages = w->findChild<QTabWidget*>("pcOptions")) {
          for (int i = 0; i < pages->count(); ++i)
            std::printf("page=%s\n", qPrintable(pages->tabText(i)));
          std::printf("current=%d\n", pages->currentIndex());
          // The test may turn to another page before the window closes.
          if (const char* page = std::getenv("CORVINA_PROBE_SET_PAGE"))
            pages->setCurrentIndex(std::atoi(page));
        }
      } else if (w->objectName() == "formWhoisQueryList") {
        std::printf("whoisList visible=%d\n", w->isVisible() ? 1 : 0);
      }
    }
    std::fflush(stdout);
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "formMain") w->close();
  });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Probe)
