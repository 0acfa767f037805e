// The main window's Adapters page: the network adapters of this machine
// with their TCP/IP settings, chosen from a list and shown as key and value.
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <exception>

#include "FormUnitMain.h"
#include "FormUnitMainPages.h"
#include "NetworkAdapters.h"

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
  // Its items are the machine's adapters, not texts of a language.
  cbAdapterInfos->setProperty("tag", 1);
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

void TformMain::RefreshAdapterList() {
  TNetworkAdapters adapters;
  // A value of the wrong type ends the reading with an error; the adapters
  // read before it are shown all the same, and the error is passed on.
  std::exception_ptr error;
  try {
    adapters.ReadFromRegistry();
  } catch (const std::exception&) {
    error = std::current_exception();
  }
  cbAdapterInfos->clear();
  FAdapterDetails.clear();
  for (size_t i = 0; i < adapters.Count(); ++i) {
    const TNetworkAdapter& a = adapters.Items(i);
    auto details = std::make_unique<TStringList>();
    a.AssignToStrings(*details);
    std::string text = a.Name();
    if (a.IpConfigCount() > 1)
      text += " (" + (a.EnableDHCP() <= 0 ? a.IPAddress() : a.DhcpIPAddress()) + ")";
    cbAdapterInfos->addItem(ToDisplayText(text), static_cast<qulonglong>(FAdapterDetails.size()));
    FAdapterDetails.push_back(std::move(details));
  }
  if (cbAdapterInfos->count() > 0) {
    cbAdapterInfos->setCurrentIndex(0);
    cbAdapterInfosSelect();
  }
  if (error) std::rethrow_exception(error);
}

void TformMain::cbAdapterInfosSelect() {
  vleAdapterInfo->setRowCount(0);
  const int chosen = cbAdapterInfos->currentIndex();
  if (chosen < 0) return;
  const size_t index = cbAdapterInfos->itemData(chosen).toULongLong();
  if (index >= FAdapterDetails.size()) return;
  for (const std::string& line : FAdapterDetails[index]->Lines()) {
    const QString key = ToDisplayText(TStringList::NameOf(line));
    // A key that is there already gets the new value.
    int row = 0;
    while (row < vleAdapterInfo->rowCount() && vleAdapterInfo->item(row, 0)->text() != key) ++row;
    if (row == vleAdapterInfo->rowCount()) {
      vleAdapterInfo->insertRow(row);
      vleAdapterInfo->setItem(row, 0, new QTableWidgetItem(key));
    }
    // Multi-strings keep their CR LF in the value, as the registry gives them.
    auto* value = new QTableWidgetItem(ToDisplayText(TStringList::ValueOf(line)));
    value->setFlags(value->flags() & ~Qt::ItemIsEditable);
    vleAdapterInfo->setItem(row, 1, value);
    vleAdapterInfo->item(row, 0)->setFlags(vleAdapterInfo->item(row, 0)->flags() &
                                           ~Qt::ItemIsEditable);
  }
}
