#include <gtest/gtest.h>

#include <QTreeWidget>

#include "WhoisWindow.h"
#include "utSecurity.h"

TEST(UsersPage, EveryAccountIsARowAndAMissingSidIsToldOnce) {
  TWhoisWindow w;
  TTempFolder db;
  SetAccountDatabase(db.Write("passwd", "root:x:0:0:Root,,,,:/root:/bin/sh\n"
                                        "dup:x:bad:1::/:/bin/sh\ndup:x:7:7:D,Lab:/:/bin/sh\n"),
                     db.Write("group", ""));
  w.form->lvUsers->addTopLevelItem(new QTreeWidgetItem(QStringList{"old row"}));
  w.form->RefreshUserList();
  SetAccountDatabase("/etc/passwd", "/etc/group");
  QStringList rows;
  for (int i = 0; i < w.form->lvUsers->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* r = w.form->lvUsers->topLevelItem(i);
    rows << QStringList{r->text(0), r->text(1), r->text(2), r->text(3), r->text(4)}.join("|");
    EXPECT_FALSE(r->icon(0).isNull());
  }
  EXPECT_EQ(rows, (QStringList{"root|Root|Administrator|S-1-22-1-0|", "dup|D|User||Lab"}));
  ASSERT_EQ(w.dialogs.messages.size(), 1);
  EXPECT_TRUE(w.dialogs.messages[0].contains("dup: utLookupAccountName")) << w.dialogs.messages[0].toStdString();
  EXPECT_TRUE(w.form->lvUsers->updatesEnabled());
}
