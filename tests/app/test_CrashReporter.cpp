#include <gtest/gtest.h>

#include <QTimer>
#include <stdexcept>

#include "CrashReporter.h"
#include "ScriptedDialogs.h"

TEST(ErrorReport, AnErrorNoHandlerCatchesIsReportedAndTheProgramGoesOn) {
  TScriptedDialogs dialogs;
  bool after = false;
  Guarded("someHandler", [] { throw std::runtime_error("disk on fire"); })();
  after = true;
  ASSERT_EQ(dialogs.reports.size(), 1);
  const QString report = dialogs.reports[0];
  EXPECT_TRUE(report.contains("Message: disk on fire"));
  EXPECT_TRUE(report.contains("Where: someHandler"));
  EXPECT_TRUE(report.contains("Version: " + CorvinaVersion()));
  EXPECT_TRUE(report.contains("Time: "));
  EXPECT_TRUE(after);
}

TEST(ErrorReport, AnErrorThatEscapesAnEventIsCaughtByTheApplication) {
  TScriptedDialogs dialogs;
  QObject target;
  target.setObjectName("someTimer");
  QTimer::singleShot(0, &target, [] { throw std::runtime_error("late failure"); });
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  ASSERT_EQ(dialogs.reports.size(), 1);
  EXPECT_TRUE(dialogs.reports[0].contains("late failure"));
}
