#include "CrashReporter.h"

#include <QDateTime>
#include <QEvent>
#include <QMetaEnum>

#include "DialogService.h"

QString CorvinaVersion() { return QStringLiteral(CORVINA_VERSION); }

QString MakeErrorReport(const QString& message, const QString& where) {
  return QString(
             "Corvina error report\n"
             "Message: %1\n"
             "Where: %2\n"
             "Version: %3\n"
             "Time: %4\n")
      .arg(message, where, CorvinaVersion(), QDateTime::currentDateTime().toString(Qt::ISODate));
}

void ReportUnhandledError(const QString& where, const QString& message) {
  Dialogs().ShowErrorReport(QApplication::activeWindow(), MakeErrorReport(message, where));
}

bool TCorvinaApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const EIdAbandoned&) {
  } catch (const std::exception& e) {
    const QString where = QString("%1 (%2), event %3")
                              .arg(receiver ? receiver->objectName() : QString(),
                                   receiver ? receiver->metaObject()->className() : "",
                                   QString::number(static_cast<int>(event->type())));
    ReportUnhandledError(where, QString::fromUtf8(e.what()));
  } catch (...) {
    ReportUnhandledError(receiver ? receiver->objectName() : QString(), "Unknown error");
  }
  return false;
}
