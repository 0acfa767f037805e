// The main window's Adapters page: the network adapters of this machine
// with their TCP/IP settings.
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "FormUnitMain.h"
#include "FormUnitMainPages.h"

QWidget* TformMain::CreateAdaptersPage() {
  tsAdapterInfo = CreatePage("tsAdapterInfo", this);
  auto* layout = PageLayout(tsAdapterInfo);

  panelAdapterInfo = new QFrame(tsAdapterInfo);
  panelAdapterInfo->setObjectName("panelAdapterInfo");
  panelAdapterInfo->setFixedHeight(37);
  panelAdapterInfo->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* row = new QHBoxLayout(panelAdapterInfo);
  labelAdapterChoice = new QLabel("Adapter:", panelAdapterInfo);
  labelAdapterChoice->setObjectName("labelAdapterChoice");
  cbAdapterInfos = new QComboBox(panelAdapterInfo);
  cbAdapterInfos->setObjectName("cbAdapterInfos");
  cbAdapterInfos->setMaxVisibleItems(16);
  row->addWidget(labelAdapterChoice);
  row->addWidget(cbAdapterInfos, 1);
  layout->addWidget(panelAdapterInfo);

  vleAdapterInfo = new QTableWidget(0, 2, tsAdapterInfo);
  vleAdapterInfo->setObjectName("vleAdapterInfo");
  vleAdapterInfo->setHorizontalHeaderLabels({"Key", "Value"});
  vleAdapterInfo->verticalHeader()->hide();
  vleAdapterInfo->setEditTriggers(QAbstractItemView::NoEditTriggers);
  vleAdapterInfo->setColumnWidth(0, 150);
  vleAdapterInfo->setColumnWidth(1, 465);
  layout->addWidget(vleAdapterInfo, 1);
  return tsAdapterInfo;
}
