#include "FormUnitWhoisList.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
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
  // The batch adds the rows in its own order: sorted without regard to
  // letter case, as the lookups run.
  layout->addWidget(lvDomains);
  // The dialog has no close button in its title bar: a batch of many
  // domains is stopped here.
  auto* buttons = new QHBoxLayout();
  buttons->setContentsMargins(4, 4, 4, 4);
  buttons->addStretch(1);
  bnStop = new QPushButton("Stop", this);
  bnStop->setObjectName("bnStop");
  connect(bnStop, &QPushButton::clicked, this, [this] {
    StopRequested = true;
    bnStop->setEnabled(false);
  });
  buttons->addWidget(bnStop);
  layout->addLayout(buttons);
  resize(287, 246);
  CenterOnScreen(this);
}

TformWhoisQueryList::~TformWhoisQueryList() {
  if (formWhoisQueryList == this) formWhoisQueryList = nullptr;
}
