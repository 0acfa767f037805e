#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "FormUnitWhoisList.h"
#include "RegistrySandbox.h"
#include "WhoisWindow.h"
#include "brmConfig.h"
#include "brmRegTools.h"
#include "utFiles.h"
#include "utMessages.h"
#include "utStrings.h"
#include "utTranslator.h"
#include "utTranslatorForms.h"

namespace {

// A configuration manager and the global translator, as the program has
// them at start.
struct TTranslatorSetup {
  TRegistrySandbox box;
  TBRMConfigManager config;
  TTempFolder runtime;
  std::unique_ptr<TAppTranslator> translator;
  TTranslatorSetup() {
    ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    config.SetProductName("Corvina");
    GConfigManager = &config;
    translator = std::make_unique<TAppTranslator>();
    ApplicationTranslator = translator.get();
    utResetDialogCaptions();
    utMessagesInit();
  }
  ~TTranslatorSetup() {
    ApplicationTranslator = nullptr;
    translator.reset();
    GConfigManager = nullptr;
    utResetDialogCaptions();
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    ::unsetenv("XDG_RUNTIME_DIR");
  }
};

// The shipped translations in the program folder of a test window.
void ShipLanguages(TTempFolder& program) {
  for (const char* file : {"German.crv", "French.crv"})
    program.Write(std::string("Languages/") + file,
                  ReadFileBytes(std::string(CORVINA_LANGUAGES_DIR) + "/" + file));
}

// The texts the live windows have, as a language file would hold them.
TIniDocument LiveTexts(TAppTranslator& translator) {
  TIniDocument live;
  for (TLocalizableForm* form : TranslatedApplication().Forms())
    form->SaveToIni(translator, live, false);
  return live;
}

bool IsFormSection(const std::string& section) {
  for (const char* other : {"Main", "Messages", "Dialogs", "Images"})
    if (SameText(section, other)) return false;
  return true;
}

// Every key of the windows' sections of a language file, against the live
// windows, and no live text that the file lacks.
void ExpectWindowsShow(TAppTranslator& translator, const TIniDocument& file, const char* language) {
  const TIniDocument live = LiveTexts(translator);
  for (const std::string& section : file.SectionNames()) {
    if (!IsFormSection(section)) continue;
    for (const std::string& key : file.KeyNames(section))
      EXPECT_EQ(live.ReadString(section, key, "(missing)"), file.ReadString(section, key, ""))
          << language << ": " << section << "/" << key;
  }
  for (const std::string& section : live.SectionNames())
    for (const std::string& key : live.KeyNames(section))
      EXPECT_TRUE(file.ValueExists(section, key)) << language << " lacks " << section << "/" << key;
}

QAction* MenuItem(TformMain& form, const QString& caption) {
  for (QAction* a : form.miLanguages->actions())
    if (a->text() == caption) return a;
  return nullptr;
}

}  // namespace

TEST(FormTranslation, KeysEscapesTagsAndDefaults) {
  TTranslatorSetup setup;
  QDialog form;
  form.setObjectName("formTest");
  form.setWindowTitle("Test");
  auto* layout = new QVBoxLayout(&form);
  std::vector<QLabel*> named;
  for (int i = 0; i < 4; ++i) {
    named.push_back(new QLabel(QString("Label %1").arg(i), &form));
    named.back()->setObjectName(QString("label%1").arg(i));
    layout->addWidget(named.back());
  }
  auto* separator = new QLabel("-", &form);
  separator->setObjectName("labelSeparator");
  auto* button = new QPushButton("Save && exit", &form);
  button->setObjectName("bnSave");
  auto* tagged = new QComboBox(&form);
  tagged->setObjectName("cbTagged");
  tagged->addItems({"one", "two"});
  tagged->setProperty("tag", 1);
  auto* unnamed = new QLabel("No name", &form);  // component 7
  auto* list = new QTreeWidget(&form);
  list->setObjectName("lvHosts");
  list->setHeaderLabels({"Name", "Value"});
  auto* status = new TStatusBar("sbarTest", {100, 100}, &form);
  status->SetPanelText(0, "Ready");
  QAction action("Linked", &form);
  auto* tool = new QToolButton(&form);
  tool->setObjectName("bnLinked");
  tool->setDefaultAction(&action);

  TIniDocument saved;
  SaveFormToIni(&form, *setup.translator, saved, true);
  EXPECT_EQ(saved.ReadString("Forms", "formTest", ""), "Test");
  EXPECT_EQ(saved.ReadString("formTest", "formTest.7", ""), "No name");
  EXPECT_EQ(saved.ReadString("formTest", "bnSave", ""), "Save && exit");
  EXPECT_EQ(saved.ReadString("formTest", "lvHosts.Items", ""), "Name%0D%0AValue%0D%0A");
  EXPECT_EQ(saved.ReadString("formTest", "sbarTest.Items", ""), "Ready%0D%0A%0D%0A");
  EXPECT_FALSE(saved.ValueExists("formTest", "labelSeparator"));  // a "-" is never written
  EXPECT_FALSE(saved.ValueExists("formTest", "cbTagged.Items"));  // tag 1: nothing written
  EXPECT_FALSE(saved.ValueExists("formTest", "bnLinked"));        // linked to an action
  EXPECT_EQ(saved.ReadString("Main", "FontSize", ""),
            QString::number(form.font().pointSize()).toStdString());

  TIniDocument language(
      "[Forms]\r\nformTest=Prüfung\r\n[formTest]\r\nlabel0=Save && exit\r\nbnSave=Save && exit\r\n"
      "lvHosts.Items=Host%0D%0ATime%0D%0AExtra%0D%0A\r\ncbTagged.Items=uno%0D%0Adue%0D%0A\r\n"
      "label1=50%% done.\r\nlabel2=Two%0D%0Alines\r\nformTest.7=Unnamed\r\n"
      "sbarTest.Items=Bereit%0D%0A\r\nlabel3.Hint=A hint\r\n");
  LoadFormFromIni(&form, *setup.translator, language);
  EXPECT_EQ(form.windowTitle(), "Prüfung");
  EXPECT_EQ(named[0]->text(), "Save & exit");  // a label without accelerators
  EXPECT_EQ(button->text(), "Save && exit");   // shows "&" all the same
  EXPECT_EQ(list->headerItem()->text(0), "Host");
  EXPECT_EQ(list->headerItem()->text(1), "Time");
  EXPECT_EQ(list->columnCount(), 2);
  EXPECT_EQ(tagged->itemText(0), "one");  // tag 1 keeps its items
  EXPECT_EQ(named[1]->text(), "50% done.");
  EXPECT_EQ(named[2]->text(), "Two\r\nlines");
  EXPECT_EQ(unnamed->text(), "Unnamed");
  EXPECT_EQ(status->PanelText(0), "Bereit");
  EXPECT_EQ(status->PanelText(1), "");
  EXPECT_EQ(named[3]->toolTip(), "A hint");
  // Without font keys the window gets the default font.
  EXPECT_EQ(form.font().family(), QFont("MS Sans Serif").family());
  EXPECT_EQ(form.font().pointSize(), 8);
  EXPECT_EQ(setup.translator->FLoadedFont.Name, "MS Sans Serif");
  EXPECT_EQ(setup.translator->FLoadedFont.Charset, 0);
}

TEST(FormTranslation, TheShippedLanguagesTranslateEveryTextOfTheWindows) {
  TTranslatorSetup setup;
  TWhoisWindow w(ShipLanguages);
  TformMain& form = *w.form;
  TformWhoisQueryList list(&form);
  form.show();  // writes English.crv, finds the languages, loads English
  const std::string folder = w.program.Path() + "Languages/";
  const TIniDocument english = TIniDocument::FromFile(folder + "English.crv");
  const TIniDocument german =
      TIniDocument::FromFile(std::string(CORVINA_LANGUAGES_DIR) + "/German.crv");
  const TIniDocument french =
      TIniDocument::FromFile(std::string(CORVINA_LANGUAGES_DIR) + "/French.crv");

  // Every text of the English file has its German and French line.
  for (const auto* other : {&german, &french})
    for (const std::string& section : english.SectionNames())
      for (const std::string& key : english.KeyNames(section))
        EXPECT_TRUE(other->ValueExists(section, key)) << section << "/" << key;

  // The menu lists each language with its flag, in file-name order.
  QStringList captions;
  for (QAction* a : form.miLanguages->actions()) {
    captions << a->text();
    EXPECT_FALSE(a->icon().isNull()) << a->text().toStdString();
  }
  EXPECT_EQ(captions, (QStringList{"English", "Français", "Deutsch"}));

  struct TStep {
    QString caption;
    const TIniDocument* file;
    const char* name;
    const char* finished;
    const char* yes;
  };
  const TStep steps[] = {{"Deutsch", &german, "German", "Fertig.", "Ja"},
                         {"Français", &french, "French", "Terminé.", "Oui"},
                         {"English", &english, "English", "Finished.", "Yes"}};
  for (const TStep& step : steps) {
    QAction* item = MenuItem(form, step.caption);
    ASSERT_NE(item, nullptr) << step.name;
    item->trigger();
    ExpectWindowsShow(*setup.translator, *step.file, step.name);
    EXPECT_EQ(form.GetMessageStr(sActionFinished), step.finished);
    EXPECT_EQ(utDlgButtonCaptions[mbYes], step.yes);
    std::string stored;
    utRegReadSingleString(HKEY_CURRENT_USER, "\\Software\\Brenmoor\\Probeworks\\Corvina",
                          "Language", stored, 32);
    EXPECT_EQ(stored, step.name);
    // The menu items follow their actions.
    EXPECT_EQ(form.miGotoHTTP->text(), form.aGotoHTTP->text());
  }
}

TEST(FormTranslation, ARestartComesUpInTheStoredLanguage) {
  TTranslatorSetup setup;
  utRegWriteSingleString(HKEY_CURRENT_USER, "\\Software\\Brenmoor\\Probeworks\\Corvina", "Language",
                         "German", 32);
  TWhoisWindow w(ShipLanguages);
  w.form->show();
  EXPECT_EQ(w.form->labelHTTPUrl->text(), "Basis-URL:");
  EXPECT_EQ(w.form->pcOptions->tabText(1), "&Benutzer");
  EXPECT_EQ(w.form->lvHTTPCookies->headerItem()->text(3), "Ablauf");
  EXPECT_EQ(w.form->aWhoisQuerySingle->text(), "Domain abfragen...");
  // The whois dialog asks in German.
  w.dialogs.inputs.push_back(std::nullopt);
  w.form->aWhoisQuerySingle->trigger();
  EXPECT_EQ(w.dialogs.asked.last(), "Whois|Bitte geben Sie den Domainnamen ein|");
}

TEST(FormTranslation, ARightToLeftLanguageMirrorsTheLayout) {
  TTranslatorSetup setup;
  TWhoisWindow w([](TTempFolder& program) {
    program.Write("Languages/Mirror.crv",
                  "[Main]\r\nLanguageName=Mirror\r\nBiDiMode=RL\r\n"
                  "[formMain.pcOptions.tabHTTP.panelHTTP]\r\nlabelHTTPUrl=URL:\r\n");
  });
  TformMain& form = *w.form;
  form.resize(800, 600);
  form.show();
  form.pcOptions->setCurrentWidget(form.tabHTTP);
  QCoreApplication::processEvents();
  EXPECT_LT(form.labelHTTPUrl->x(), form.cbHTTPQueryMethod->x());
  setup.translator->LanguageMenuItemClick("Mirror");
  QCoreApplication::processEvents();
  EXPECT_EQ(form.layoutDirection(), Qt::RightToLeft);
  EXPECT_EQ(form.labelHTTPUrl->text(), "URL:");
  // The label stands at the right end of its row now, the method at the left.
  EXPECT_GT(form.labelHTTPUrl->x(), form.cbHTTPQueryMethod->x());
  setup.translator->LanguageMenuItemClick("English");
  QCoreApplication::processEvents();
  EXPECT_EQ(form.layoutDirection(), Qt::LeftToRight);
}

TEST(FormTranslation, TheStandardMessageBoxesTakeTheTranslatedCaptions) {
  TTranslatorSetup setup;
  TWhoisWindow w(ShipLanguages);
  w.form->show();
  setup.translator->LanguageMenuItemClick("German");
  QStringList seen;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    seen << box->windowTitle();
    for (QAbstractButton* b : box->buttons()) seen << b->text();
    box->button(QMessageBox::Yes)->click();
  });
  TStandardDialogService standard;
  EXPECT_TRUE(standard.Confirm(w.form.get(), "", "Weiter?"));
  EXPECT_EQ(seen.value(0), "Bestätigung");
  EXPECT_TRUE(seen.contains("Ja"));
  EXPECT_TRUE(seen.contains("Nein"));
}
