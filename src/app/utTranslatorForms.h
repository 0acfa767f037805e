// Form translation: the texts of a window's widgets moved between the
// window and a language document, every text named by a dotted path of
// widget names (section: the window and the containers down to the
// control's parent; key: the control's name, with ".Hint" and ".Items").
//
// The kinds of control of the language files, in Qt:
// - window: QMainWindow or QDialog; its caption is the window title;
// - container: QWidget and QFrame themselves, QTabWidget (its pages in tab
//   order), QSplitter, QStackedWidget, QToolBar, QGroupBox (caption: the
//   title); a page of a QTabWidget has its tab text as caption;
// - label: QLabel (caption: its text; it shows accelerator characters only
//   when it has a buddy); button: QAbstractButton (caption: its text;
//   linked to an action when it has a default action);
// - list box: QListWidget; combo box: QComboBox; tab control: a QTabBar of
//   its own (item lists: the items, the tab texts);
// - list view: QTreeWidget (item list: the column titles; one without a
//   header is a tree view, which has none); header
//   control: a QTableWidget's horizontal header or a QHeaderView of its
//   own (the section titles); status bar: TStatusBar (the panel texts);
// - every other widget (text boxes, memos, the preview) has no caption: what
//   it holds is the user's data, never read from or written to a language;
// - menu: QMenuBar (the main menu) and the window's pop-up QMenus, their
//   items QActions named like the item (a sub-menu by its QMenu's name);
//   an item made by AddActionItem is linked to its action;
// - action list: a QObject with the property "actionList" holding QActions;
// - hint: a widget's tool tip, an action's status tip; tag: the integer
//   property "tag" (0 when it has none);
// - reading order: the layout direction; every right-to-left order mirrors
//   the layout (Qt has no reading order of its own), SetExStyleParamRL
//   sets it;
// - font: the window's font; widgets without a font of their own take it
//   from the window; character sets do not exist in Qt and are kept only
//   as numbers.
#pragma once

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QWidget>
#include <string>
#include <vector>

#include "utIniFile.h"
#include "utTranslator.h"

class QHeaderView;
class QTreeWidget;
class TStatusBar;

// The integer tag of a widget, an action or a window.
int TagOf(const QObject* object);

void LoadFormFromIni(QWidget* Form, TAppTranslator& translator, const TIniDocument& Ini);
void SaveFormToIni(QWidget* Form, TAppTranslator& translator, TIniDocument& Ini,
                   bool SaveMainProperties);

// The item-list accessors: texts joined with CR LF after each; the setters
// assign line i to element i for every i below both counts.
std::string GetColumnText(const QTreeWidget* list);
void SetColumnText(QTreeWidget* list, const std::string& text);
std::string GetSectionText(const QHeaderView* header);
void SetSectionText(QHeaderView* header, const std::string& text);
std::string GetPanelText(const TStatusBar* bar);
void SetPanelText(TStatusBar* bar, const std::string& text);

void SetExStyleParamRL(QWidget* window, TBiDiMode BidiMode, bool doLayout);

// A window the translator applies languages to, for as long as it lives.
class TTranslatedForm : public TLocalizableForm {
 public:
  explicit TTranslatedForm(QWidget* form);
  ~TTranslatedForm() override;
  TTranslatedForm(const TTranslatedForm&) = delete;
  TTranslatedForm& operator=(const TTranslatedForm&) = delete;
  std::string Name() const override;
  int Tag() const override { return TagOf(form_); }
  void LoadFromIni(TAppTranslator& translator, const TIniDocument& ini) override;
  void SaveToIni(TAppTranslator& translator, TIniDocument& ini, bool saveMainProperties) override;

 private:
  QWidget* form_;
};

// The application as the translator sees it: the translated windows in
// the order they were made.
class TTranslatedApplication : public TLocalizableApplication {
 public:
  std::vector<TLocalizableForm*> Forms() override { return forms_; }
  void SetBiDiMode(TBiDiMode mode) override;
  void SetHelpFile(const std::string& path) override { helpFile_ = path; }
  void SetApplicationFont(const TFontSettings& font) override;
  const std::string& HelpFile() const { return helpFile_; }
  void Add(TLocalizableForm* form) { forms_.push_back(form); }
  void Remove(TLocalizableForm* form);

 private:
  std::vector<TLocalizableForm*> forms_;
  std::string helpFile_;
};
TTranslatedApplication& TranslatedApplication();

// The Languages menu: one item per language with its flag; a click
// stores the choice and loads the language.
class TLanguageMenuItems : public TLanguageMenu {
 public:
  explicit TLanguageMenuItems(QMenu* menu) : menu_(menu) {}
  void Clear() override;
  void AddItem(const std::string& caption, const std::string& hint, const QImage* image) override;
  QMenu* Menu() const { return menu_; }

 private:
  QMenu* menu_;
};
