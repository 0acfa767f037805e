// Loaded into the built program by the start-up tests (LD_PRELOAD): once the
// application runs (300 ms on), it prints the main window's title, page
// captions and active page, turns to the page CORVINA_PROBE_SET_PAGE names
// (when set), and then closes the window as the user would. With
// CORVINA_PROBE_FRAME set it first waits (up to 10 s) until a window
// manager has framed and placed the window, and prints its bounds.
#include <QApplication>
#include <QCoreApplication>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {

QWidget* MainWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "formMain") return w;
  return nullptr;
}

void Report();

// Waits until the window manager has framed the main window (its outer
// bounds differ from its own area) and the window has held still for half a
// second, then prints the bounds of its own area as the X server reports
// them. (The frame's bounds are not printed: Qt reads the frame's margins
// once, and may read them while the window manager's frame is still being
// made.)
void WaitForFrame(int triesLeft, QRect last, int still) {
  QWidget* w = MainWindow();
  if (!w) return Report();
  const QRect area = w->geometry();
  still = area == last && w->frameGeometry() != area ? still + 1 : 0;
  if (still < 5 && triesLeft > 0) {
    QTimer::singleShot(100, [=] { WaitForFrame(triesLeft - 1, area, still); });
    return;
  }
  std::printf("geometry=%d,%d,%d,%d\n", area.x(), area.y(), area.width(), area.height());
  Report();
}

void Probe() {
  QTimer::singleShot(300, [] {
    if (std::getenv("CORVINA_PROBE_FRAME"))
      WaitForFrame(100, QRect(), 0);
    else
      Report();
  });
}

void Report() {
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
  if (QWidget* w = MainWindow()) w->close();
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Probe)
