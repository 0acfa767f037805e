// Errors that no action catches: the user sees a report (message, where it
// happened, version, time) that can be copied, and the program goes on.
#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <utility>

#include "NetAntiFreeze.h"

// The report text for an error.
QString MakeErrorReport(const QString& message, const QString& where);
// Shows the report through the dialog service.
void ReportUnhandledError(const QString& where, const QString& message);

// Wraps an event handler so that an error it raises ends only that handler
// and reaches the error report. Work abandoned because the window closed
// ends quietly.
template <class F>
auto Guarded(const char* where, F handler) {
  return [where, handler = std::move(handler)](auto&&...) {
    try {
      handler();
    } catch (const EIdAbandoned&) {
    } catch (const std::exception& e) {
      ReportUnhandledError(where, QString::fromUtf8(e.what()));
    } catch (...) {
      ReportUnhandledError(where, "Unknown error");
    }
  };
}

// The application object: errors that escape an event handler are reported
// instead of ending the program.
class TCorvinaApplication : public QApplication {
 public:
  TCorvinaApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

// The program's version text.
QString CorvinaVersion();
