#include <gtest/gtest.h>

#include <QAction>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>

#include "WhoisWindow.h"

extern bool gTraceNamespace;

namespace {

QStringList Rows(const QTreeWidget* list) {
  QStringList rows;
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* r = list->topLevelItem(i);
    rows << r->text(0) + "|" + (r->text(1).endsWith(" ms") ? "t ms" : r->text(1)) + "|" +
                r->text(2) + "|" + r->text(3);
  }
  return rows;
}

void Trace(TWhoisWindow& w, const QString& target) {
  w.dialogs.inputs.push_back(target);
  w.form->aTracerouteQuerySingle->trigger();
}

}  // namespace

TEST(TracePage, CancelKeepsTheListAndTheTextIsSharedWithTheWhoisDialog) {
  TWhoisWindow w;
  w.form->lvTraceroute->addTopLevelItem(new QTreeWidgetItem(QStringList{"1", "old"}));
  w.Lookup("shared.test");
  w.dialogs.inputs.push_back(std::nullopt);
  w.form->aTracerouteQuerySingle->trigger();
  EXPECT_EQ(w.dialogs.asked.last(), "Traceroute|Please enter domain name or IP|shared.test");
  EXPECT_EQ(w.form->lvTraceroute->topLevelItemCount(), 1);
  EXPECT_EQ(w.form->sbarTraceroute->PanelText(0), "Query (traceroute) for shared.test finished.");
}

TEST(TracePage, ALocalTargetIsOneRowWithTimeAddressAndName) {
  if (!gTraceNamespace) GTEST_SKIP() << "needs root for a network namespace of its own";
  TWhoisWindow w;
  Trace(w, "LOCALHOST");
  EXPECT_EQ(Rows(w.form->lvTraceroute), QStringList{"1|t ms|127.0.0.1|localhost"});
  EXPECT_EQ(w.form->sbarTraceroute->PanelText(0), "Query (traceroute) for LOCALHOST finished.");
  EXPECT_EQ(w.form->sbarTraceroute->toolTip(), "Traced with a raw ICMP socket.");
  // The whois dialog offers the trace's text.
  w.Lookup("x.test");
  EXPECT_EQ(w.dialogs.asked.last(), "Whois|Please enter domain name|LOCALHOST");
}

TEST(TracePage, TheActionIsOffWhileATraceWaitsAndClosingTheWindowEndsIt) {
  if (!gTraceNamespace) GTEST_SKIP() << "needs root for a network namespace of its own";
  TWhoisWindow w;
  w.form->show();
  w.form->idIcmpClient.ReceiveTimeout = 3000;
  bool enabledDuringTrace = true;
  QString statusDuringTrace;
  QTimer::singleShot(300, [&] {
    enabledDuringTrace = w.form->aTracerouteQuerySingle->isEnabled();
    statusDuringTrace = w.form->sbarTraceroute->PanelText(0);
    w.form->close();
  });
  const auto start = std::chrono::steady_clock::now();
  Trace(w, "10.201.96.2");
  const auto spent = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(enabledDuringTrace);
  EXPECT_EQ(statusDuringTrace, "Tracing 10.201.96.2...");
  // The probe would wait 3 s; the closed window ends it at once.
  EXPECT_LT(spent, std::chrono::milliseconds(1500));
  EXPECT_EQ(Rows(w.form->lvTraceroute), QStringList{"1|...|...|..."});
  EXPECT_TRUE(w.form->aTracerouteQuerySingle->isEnabled());
  EXPECT_TRUE(w.dialogs.reports.isEmpty());
}

TEST(TracePage, ASilentHopEndsTheTraceWithItsTimeOut) {
  if (!gTraceNamespace) GTEST_SKIP() << "needs root for a network namespace of its own";
  TWhoisWindow w;
  w.form->idIcmpClient.ReceiveTimeout = 300;
  Trace(w, "10.201.96.2");
  ASSERT_EQ(w.form->lvTraceroute->topLevelItemCount(), 1);
  EXPECT_EQ(Rows(w.form->lvTraceroute), QStringList{"1|t ms|0.0.0.0|..."});
  EXPECT_TRUE(w.form->aTracerouteQuerySingle->isEnabled());
}
