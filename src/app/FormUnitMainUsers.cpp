// The main window's Users page: the local user accounts with level and SID.
#include <QTreeWidget>
#include <QVBoxLayout>

#include "DialogService.h"
#include "FormUnitMain.h"
#include "FormUnitMainPages.h"
#include "UserList.h"
#include "utFormat.h"

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

void TformMain::RefreshUserList() {
  // The list is repainted once, at the end, however the filling ends.
  lvUsers->setUpdatesEnabled(false);
  struct TEndUpdate {
    QTreeWidget* list;
    ~TEndUpdate() { list->setUpdatesEnabled(true); }
  } endUpdate{lvUsers};
  lvUsers->clear();
  TUserList users(true);
  users.UpdateSIDStrings();
  QList<QTreeWidgetItem*> rows;
  for (size_t i = 0; i < users.Count(); ++i) {
    const TUserRecord u = users.Users(i);
    auto* row = new QTreeWidgetItem(
        QStringList{ToDisplayText(u.Username), ToDisplayText(u.Fullname),
                    QString::fromStdString(UserLevelText(u.UserLevel)),
                    QString::fromStdString(u.SIDString), ToDisplayText(u.Comment)});
    row->setIcon(0, ilLists[0]);
    row->setTextAlignment(2, Qt::AlignCenter);
    rows << row;
  }
  lvUsers->addTopLevelItems(rows);
  // Every account is listed; one whose SID could not be made has an empty
  // SID cell, and the user is told once.
  if (!users.Failures().empty())
    Dialogs().ShowError(
        this, "Users",
        ToDisplayText(GetMessageStr(sUsersWithoutSID) + "\n" + users.Failures().front() +
                      (users.Failures().size() > 1
                           ? "\n" + Format(GetMessageStr(sUsersMoreWithoutSID),
                                           {static_cast<long long>(users.Failures().size() - 1)})
                           : "")));
}
