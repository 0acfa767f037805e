// The main window's Trace route page.
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "FormUnitMain.h"
#include "FormUnitMainPages.h"

QWidget* TformMain::CreateTraceroutePage() {
  tabTraceroute = CreatePage("tabTraceroute", this);
  auto* layout = PageLayout(tabTraceroute);
  toolbarTraceroute = CreatePageToolBar("toolbarTraceroute", kToolButtonWidth);
  bnTracerouteQuerySingle = AddToolButton(toolbarTraceroute, "bnTracerouteQuerySingle",
                                          aTracerouteQuerySingle, kToolButtonWidth);
  layout->addWidget(toolbarTraceroute);
  lvTraceroute = CreateReportList("lvTraceroute", {"#", "Time", "IP", "Domain"}, {32, 64, 128, 0},
                                  tabTraceroute, 3);
  lvTraceroute->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvTraceroute->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  lvTraceroute->headerItem()->setTextAlignment(2, Qt::AlignCenter);
  layout->addWidget(lvTraceroute, 1);
  sbarTraceroute = new TStatusBar("sbarTraceroute", {300}, tabTraceroute);
  layout->addWidget(sbarTraceroute);
  return tabTraceroute;
}
