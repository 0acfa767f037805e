#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "VersionElf.h"
#include "brmUIDlgAbout.h"

TEST(AboutDialog, ShowsTheProgramsVersionBlock) {
  TdlgAbout dialog;
  EXPECT_EQ(dialog.windowTitle(), "About ...");
  EXPECT_EQ(dialog.labelVersion->text(), "Version unknown");
  EXPECT_EQ(dialog.size(), QSize(393, 209));
  dialog.LoadInformation(CORVINA_PROGRAM);
  EXPECT_EQ(dialog.windowTitle(), "About Corvina");
  EXPECT_EQ(dialog.labelProduct->text(), "Corvina");
  EXPECT_EQ(dialog.labelVersion->text(), "Version 0.4.2.0");
  EXPECT_EQ(dialog.labelDescription->text(), " 0.4.2.4");
  EXPECT_TRUE(dialog.labelLegal->text().startsWith(QString::fromUtf8("Copyright \xc2\xa9 2026 Brenmoor")));
  EXPECT_EQ(dialog.FAppVersion, "0.4.2.0");
  EXPECT_TRUE(dialog.bnTranslations->isHidden());
  dialog.SetUpdateININame("");
  EXPECT_TRUE(dialog.bnUpdates->isHidden());
  dialog.SetUpdateININame("corvina.ini");
  EXPECT_FALSE(dialog.bnUpdates->isHidden());
}

TEST(AboutDialog, CommaVersionsTranslatorsAndTheCaptionOverride) {
  TTempFolder dir;
  TVersionInfoSource source;
  source.strings = {{"ProductName", "Tool & Co"},
                    {"ProductVersion", "0, 4, 2, 0"},
                    {"FileVersion", "1,2,3"},
                    {"FileDescription", "Desc"},
                    {"Translators", "German=Team A\r\nFrench=Team B"}};
  const std::string file = dir.Path() + "program";
  WriteElfWithVersionBlock(file, MakeVersionInfoBlock(source));
  TScriptedDialogs dialogs;
  TdlgAbout dialog;
  dialog.FProductNameOverride = "Other";
  dialog.LoadInformation(file);
  EXPECT_EQ(dialog.windowTitle(), "About Other");
  EXPECT_EQ(dialog.labelProduct->text(), "Tool & Co");  // shown as it is, "&" too
  EXPECT_EQ(dialog.labelVersion->text(), "Version 0.4.2.0");
  EXPECT_EQ(dialog.labelDescription->text(), "Desc 1.2.3");
  EXPECT_FALSE(dialog.bnTranslations->isHidden());
  dialog.bnTranslations->click();
  ASSERT_EQ(dialogs.messages.size(), 1);
  EXPECT_EQ(dialogs.messages[0], "About Other: German: Team A\r\nFrench: Team B\r\n");
}
