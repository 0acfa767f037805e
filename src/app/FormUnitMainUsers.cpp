// The main window's Users page: the local user accounts.
#include <QTreeWidget>
#include <QVBoxLayout>

#include "FormUnitMain.h"
#include "FormUnitMainPages.h"

QWidget* TformMain::CreateUsersPage() {
  tabUsers = CreatePage("tabUsers", this);
  auto* layout = PageLayout(tabUsers);
  lvUsers = CreateReportList("lvUsers", {"Username", "Full Name", "Level", "SID", "Comments"},
                             {96, 128, 72, 300, 128}, tabUsers);
  lvUsers->headerItem()->setTextAlignment(2, Qt::AlignCenter);
  lvUsers->setIconSize(QSize(ilLists.Width(), ilLists.Height()));
  layout->addWidget(lvUsers, 1);
  return tabUsers;
}
