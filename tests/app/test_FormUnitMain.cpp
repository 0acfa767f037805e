#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolButton>
#include <cstdlib>

#include "FormUnitMain.h"
#include "utPathSolve.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "utFiles.h"

namespace {

// A program folder and an application-data folder of the test's own.
struct TFolders {
  TTempFolder program, appData;
  TFolders() {
    ::setenv("XDG_DATA_HOME", appData.Path().c_str(), 1);
    utPathSolveInit();
  }
  ~TFolders() { ::unsetenv("XDG_DATA_HOME"); }
};

}  // namespace

TEST(MainWindow, PagesActionsAndMenusAreThere) {
  TFolders folders;
  TScriptedDialogs dialogs;
  TformMain form(folders.program.Path());
  EXPECT_EQ(form.objectName(), "formMain");
  EXPECT_EQ(form.windowTitle(), "Corvina");
  const QStringList captions = {"Adapters", "&Users", "Trace route", "WhoIs", "HTTP query"};
  const QStringList names = {"tsAdapterInfo", "tabUsers", "tabTraceroute", "tabWhois", "tabHTTP"};
  ASSERT_EQ(form.pcOptions->count(), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(form.pcOptions->tabText(i), captions[i]);
    EXPECT_EQ(form.pcOptions->widget(i)->objectName(), names[i]);
    EXPECT_FALSE(form.pcOptions->tabIcon(i).isNull()) << i;
  }
  EXPECT_EQ(form.img24.Count(), 10);
  EXPECT_EQ(form.ilLists.Count(), 1);
  for (const char* name : {"aWhoisQuerySingle", "aWhoisFilterSave", "aGotoUsers", "aHelpAbout"})
    EXPECT_NE(form.findChild<QAction*>(name), nullptr) << name;
  EXPECT_EQ(form.aWhoisQuerySingle->text(), "Query domain...");
  EXPECT_EQ(form.aWhoisQuerySingle->property("category").toString(), "Whois");
  EXPECT_TRUE(form.aWhoisQuerySingle->shortcut().isEmpty());
  EXPECT_EQ(form.miGotoWhois->text(), "WhoIs");
  QStringList menus;
  for (QAction* a : form.menuMain->actions()) menus << a->text();
  EXPECT_EQ(menus, (QStringList{"&File", "&Actions", "&Languages", "&Help"}));
  EXPECT_EQ(form.pcWhoIs->tabText(0), "Current lookup");
  EXPECT_EQ(form.pcWhoIs->tabText(1), "History");
  EXPECT_EQ(form.pcHTTP->currentWidget(), form.tabHTTPHeaders);
  EXPECT_FALSE(form.pcHTTP->isTabVisible(0));
  EXPECT_EQ(form.idWhoIs.Port, 43);
  EXPECT_EQ(form.idWhoIs.ReadTimeout, 10000);
  EXPECT_EQ(form.idWhoIs.Host, "whois.verisign-grs.com");
}

TEST(MainWindow, PageActionsMakeTheirPageActive) {
  TFolders folders;
  TScriptedDialogs dialogs;
  TformMain form(folders.program.Path());
  const std::pair<QAction*, QWidget*> cases[] = {
      {form.aGotoUsers, form.tabUsers}, {form.aGotoTraceroute, form.tabTraceroute},
      {form.aGotoWhois, form.tabWhois}, {form.aGotoWhois, form.tabWhois},
      {form.aGotoHTTP, form.tabHTTP},   {form.aGotoAdapters, form.tsAdapterInfo}};
  for (const auto& [action, page] : cases) {
    action->trigger();
    EXPECT_EQ(form.pcOptions->currentWidget(), page) << action->objectName().toStdString();
  }
  // The Actions menu items trigger the same actions.
  form.miGotoHTTP->trigger();
  EXPECT_EQ(form.pcOptions->currentWidget(), form.tabHTTP);
}

TEST(MainWindow, DataFolderSwitch) {
  struct Case {
    const char* ini;  // nullptr: no file
    bool appData;
  } cases[] = {
      {"[Corvina]\nBartPE=1\n", true},    {"[corvina]\nbartpe = 1\n", true},
      {"[Corvina]\nBartPE=0\n", false},   {"[Corvina]\nBartPE=2\n", false},
      {"[Corvina]\nBartPE=yes\n", false}, {"[Corvina]\nOther=1\n", false},
      {"[Other]\nBartPE=1\n", false},     {nullptr, false},
  };
  for (const auto& c : cases) {
    TFolders folders;
    TScriptedDialogs dialogs;
    if (c.ini) folders.program.Write("Toolbench.ini", c.ini);
    TformMain form(folders.program.Path());
    const std::string expected = c.appData ? folders.appData.Path() : folders.program.Path();
    EXPECT_EQ(form.appPathFixed, folders.program.Path());
    EXPECT_EQ(form.appPathData, expected) << (c.ini ? c.ini : "(no file)");
    EXPECT_TRUE(DirectoryExists(expected + "Query/Whois"));
    EXPECT_TRUE(DirectoryExists(expected + "Filter/Whois"));
  }
}

TEST(MainWindow, MessagesComeFromTheTable) {
  TFolders folders;
  TScriptedDialogs dialogs;
  TformMain form(folders.program.Path());
  EXPECT_EQ(MyTranslationStrings.size(), 16u);
  EXPECT_EQ(form.GetMessageStr(sWhoIsHeader), "Corvina WhoIs query for %s on %s");
  EXPECT_EQ(form.GetMessageStr(sHTTPRedirected), "Redirected (%d) to: %s");
  EXPECT_EQ(MyTranslationStrings[sWhoIsFilterFinished][0], "WhoIsFilterFinished");
}

TEST(MainWindow, ExitClosesTheWindow) {
  TFolders folders;
  TScriptedDialogs dialogs;
  TformMain form(folders.program.Path());
  form.show();
  ASSERT_TRUE(form.isVisible());
  form.miExit->trigger();
  EXPECT_FALSE(form.isVisible());
}

TEST(MainWindow, NamedColumnsFillTheListsAndTheOthersKeepTheirWidths) {
  TFolders folders;
  TScriptedDialogs dialogs;
  TformMain form(folders.program.Path());
  form.resize(1200, 800);
  form.show();
  const struct {
    QTreeWidget* list;
    QList<int> widths;  // -1: the column that takes the rest
  } cases[] = {
      {form.lvWhoIsHistory, {256, 150}},
      {form.lvUsers, {96, 128, 72, 300, 128}},
      {form.lvTraceroute, {32, 64, 128, -1}},
      {form.lvHTTPHeaders, {128, -1}},
      {form.lvHTTPCookies, {128, 80, -1, 160}},
  };
  for (const auto& c : cases) {
    // Bring the list's pages to the front, so that it has its size.
    for (QWidget* w = c.list; w->parentWidget(); w = w->parentWidget())
      if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget()))
        tabs->setCurrentWidget(w);
    QApplication::processEvents();
    const QHeaderView* header = c.list->header();
    const std::string name = c.list->objectName().toStdString();
    for (int i = 0; i < c.widths.size(); ++i) {
      if (c.widths[i] >= 0) {
        EXPECT_EQ(header->sectionSize(i), c.widths[i]) << name << " " << i;
      }
    }
    if (c.widths.contains(-1)) {
      EXPECT_EQ(header->length(), header->viewport()->width()) << name;
    }
  }
  EXPECT_EQ(form.memoHTTP->height(), 56);
}
