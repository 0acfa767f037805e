#include "FormUnitWhoisList.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "Widgets.h"

TformWhoisQueryList* formWhoisQueryList = nullptr;

TformWhoisQueryList::TformWhoisQueryList(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
  setObjectName("formWhoisQueryList");
  setWindowTitle("Corvina Whois list query...");
  setFont(QFont("MS Sans Serif", 8));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  lvDomains = new QTreeWidget(this);
  lvDomains->setObjectName("lvDomains");
  lvDomains->setRootIsDecorated(false);
  lvDomains->setHeaderLabels({"Domain name"});
  lvDomains->header()->setStretchLastSection(true);
  lvDomains->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvDomains->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvDomains->setSortingEnabled(true);
  lvDomains->sortByColumn(0, Qt::AscendingOrder);
  layout->addWidget(lvDomains);
  resize(287, 246);
  CenterOnScreen(this);
}
