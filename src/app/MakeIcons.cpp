// Build tool: writes the program's icon as PNG files of the hicolor icon
// theme's sizes, for installation.
//   mkicons FOLDER   (writes FOLDER/<size>x<size>/apps/corvina.png)
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <cstdlib>

#include "brmUIDlgAbout.h"

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  if (argc != 2) return 2;
  const QIcon icon = CorvinaIcon();
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QString folder = QString("%1/%2x%2/apps").arg(argv[1]).arg(size);
    if (!QDir().mkpath(folder)) return 1;
    if (!icon.pixmap(size, size).save(folder + "/corvina.png")) return 1;
  }
  return 0;
}
