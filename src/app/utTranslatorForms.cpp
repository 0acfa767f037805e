#include "utTranslatorForms.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QPixmap>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <exception>

#include "CrashReporter.h"
#include "Widgets.h"
#include "utStrings.h"

namespace {

// Widgets and objects that Qt makes inside other widgets.
bool IsInternal(const QObject* o) {
  const QString name = o->objectName();
  return name.startsWith(QLatin1String("qt_")) || name.startsWith(QLatin1String("_q_"));
}

std::string NameOf(const QObject* o) { return o->objectName().toStdString(); }

QString Shown(const std::string& text) { return ToDisplayText(text); }
std::string Stored(const QString& text) { return FromDisplayText(text); }

bool IsActionList(const QObject* o) { return o->property("actionList").toBool(); }
bool IsMenu(const QObject* o) {
  return qobject_cast<const QMenuBar*>(o) || qobject_cast<const QMenu*>(o);
}

bool IsContainer(const QWidget* w) {
  if (qobject_cast<const QTabWidget*>(w) || qobject_cast<const QSplitter*>(w) ||
      qobject_cast<const QStackedWidget*>(w) || qobject_cast<const QToolBar*>(w) ||
      qobject_cast<const QGroupBox*>(w))
    return true;
  const char* cls = w->metaObject()->className();
  return qstrcmp(cls, "QWidget") == 0 || qstrcmp(cls, "QFrame") == 0;
}

// The controls of a container in child order: a tab widget's pages in tab
// order, a splitter's or stack's widgets, any other container's own
// widgets as they were made.
std::vector<QWidget*> ChildControls(QWidget* w) {
  std::vector<QWidget*> children;
  if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
    for (int i = 0; i < tabs->count(); ++i) children.push_back(tabs->widget(i));
  } else if (auto* split = qobject_cast<QSplitter*>(w)) {
    for (int i = 0; i < split->count(); ++i) children.push_back(split->widget(i));
  } else if (auto* stack = qobject_cast<QStackedWidget*>(w)) {
    for (int i = 0; i < stack->count(); ++i) children.push_back(stack->widget(i));
  } else {
    for (QObject* o : w->children())
      if (auto* c = qobject_cast<QWidget*>(o); c && !c->isWindow() && !IsInternal(c))
        children.push_back(c);
  }
  return children;
}

// The action lists a container owns.
std::vector<QObject*> OwnedActionLists(QObject* owner) {
  std::vector<QObject*> lists;
  for (QObject* o : owner->children())
    if (IsActionList(o)) lists.push_back(o);
  return lists;
}

// The logical parent of a control: a page's tab widget, else its parent
// widget.
QWidget* LogicalParent(QWidget* w) {
  QWidget* parent = w->parentWidget();
  if (parent && qobject_cast<QStackedWidget*>(parent))
    if (auto* tabs = qobject_cast<QTabWidget*>(parent->parentWidget());
        tabs && tabs->indexOf(w) >= 0)
      return tabs;
  return parent;
}

QTabWidget* TabsOfPage(QWidget* w) {
  auto* tabs = qobject_cast<QTabWidget*>(LogicalParent(w));
  return tabs && tabs->indexOf(w) >= 0 ? tabs : nullptr;
}

bool HasCaption(QWidget* w) {
  return TabsOfPage(w) || qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
         qobject_cast<QGroupBox*>(w);
}

QString Caption(QWidget* w) {
  if (QTabWidget* tabs = TabsOfPage(w)) return tabs->tabText(tabs->indexOf(w));
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
  if (auto* group = qobject_cast<QGroupBox*>(w)) return group->title();
  return {};
}

void SetCaption(QWidget* w, const QString& text) {
  if (QTabWidget* tabs = TabsOfPage(w))
    tabs->setTabText(tabs->indexOf(w), text);
  else if (auto* label = qobject_cast<QLabel*>(w))
    label->setText(text);
  else if (auto* button = qobject_cast<QAbstractButton*>(w))
    button->setText(text);
  else if (auto* group = qobject_cast<QGroupBox*>(w))
    group->setTitle(text);
}

bool LinkedToAction(const QWidget* w) {
  const auto* tool = qobject_cast<const QToolButton*>(w);
  return tool && tool->defaultAction();
}

// A label shows accelerator characters only when it has a buddy.
bool IsLabelWithoutAccelerators(const QWidget* w) {
  const auto* label = qobject_cast<const QLabel*>(w);
  return label && !label->buddy();
}

std::string JoinItems(const QStringList& items) {
  std::vector<std::string> lines;
  for (const QString& item : items) lines.push_back(Stored(item));
  return JoinLines(lines);
}

// Replaces the items of a list box, combo box or tab bar: in place when
// the count stays (the selection and the items' data stay with them),
// else as a new list that keeps the selected position where it can.
template <class SetText, class Count, class Rebuild>
void ReplaceItems(const std::vector<std::string>& lines, Count count, SetText setText,
                  Rebuild rebuild) {
  if (static_cast<size_t>(count()) == lines.size()) {
    for (size_t i = 0; i < lines.size(); ++i) setText(static_cast<int>(i), Shown(lines[i]));
    return;
  }
  QStringList shown;
  for (const std::string& line : lines) shown << Shown(line);
  rebuild(shown);
}

// A QTreeWidget is a list view with its column titles; one without a
// header is a tree view, which has no item list.
bool IsListView(QWidget* w) {
  auto* tree = qobject_cast<QTreeWidget*>(w);
  return tree && !tree->isHeaderHidden();
}

bool HasItems(QWidget* w) {
  return qobject_cast<QListWidget*>(w) || qobject_cast<QComboBox*>(w) ||
         qobject_cast<QTabBar*>(w) || IsListView(w) || qobject_cast<QTableWidget*>(w) ||
         qobject_cast<QHeaderView*>(w) || dynamic_cast<TStatusBar*>(w);
}

std::string GetItems(QWidget* w) {
  QStringList items;
  if (auto* list = qobject_cast<QListWidget*>(w)) {
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  } else if (auto* bar = qobject_cast<QTabBar*>(w)) {
    for (int i = 0; i < bar->count(); ++i) items << bar->tabText(i);
  } else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
    return GetColumnText(tree);
  } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
    return GetSectionText(table->horizontalHeader());
  } else if (auto* header = qobject_cast<QHeaderView*>(w)) {
    return GetSectionText(header);
  } else if (auto* status = dynamic_cast<TStatusBar*>(w)) {
    return GetPanelText(status);
  }
  return JoinItems(items);
}

void SetItems(QWidget* w, const std::string& text) {
  const std::vector<std::string> lines = SplitLines(text);
  if (auto* list = qobject_cast<QListWidget*>(w)) {
    ReplaceItems(
        lines, [&] { return list->count(); },
        [&](int i, const QString& t) { list->item(i)->setText(t); },
        [&](const QStringList& items) {
          list->clear();
          list->addItems(items);
        });
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    ReplaceItems(
        lines, [&] { return combo->count(); },
        [&](int i, const QString& t) { combo->setItemText(i, t); },
        [&](const QStringList& items) {
          const int current = combo->currentIndex();
          combo->clear();
          combo->addItems(items);
          if (current < combo->count()) combo->setCurrentIndex(current);
        });
  } else if (auto* bar = qobject_cast<QTabBar*>(w)) {
    ReplaceItems(
        lines, [&] { return bar->count(); },
        [&](int i, const QString& t) { bar->setTabText(i, t); },
        [&](const QStringList& items) {
          while (bar->count() > items.size()) bar->removeTab(bar->count() - 1);
          for (int i = 0; i < items.size(); ++i)
            if (i < bar->count())
              bar->setTabText(i, items[i]);
            else
              bar->addTab(items[i]);
        });
  } else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
    SetColumnText(tree, text);
  } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
    SetSectionText(table->horizontalHeader(), text);
  } else if (auto* header = qobject_cast<QHeaderView*>(w)) {
    SetSectionText(header, text);
  } else if (auto* status = dynamic_cast<TStatusBar*>(w)) {
    SetPanelText(status, text);
  }
}

// Assigns line i to element i for every i below both counts; an element
// that fails is left and the next one tried.
template <class Set>
void SetElements(const std::string& text, int count, Set set) {
  const std::vector<std::string> lines = SplitLines(text);
  for (int i = 0; i < count && i < static_cast<int>(lines.size()); ++i) {
    try {
      set(i, Shown(lines[static_cast<size_t>(i)]));
    } catch (const std::exception&) {
    }
  }
}

// The key of a control: its name, or its parent's name and its index.
std::string KeyName(QWidget* w, int index, const std::string& formName) {
  if (!w->objectName().isEmpty()) return NameOf(w);
  QWidget* parent = LogicalParent(w);
  if (!parent) return std::to_string(index);
  return (parent->isWindow() ? formName : NameOf(parent)) + "." + std::to_string(index);
}

// The sub-items of a menu or menu item.
QList<QAction*> SubItems(QObject* node) {
  if (auto* bar = qobject_cast<QMenuBar*>(node)) return bar->actions();
  if (auto* menu = qobject_cast<QMenu*>(node)) return menu->actions();
  return {};
}

std::string ItemName(const QAction* item) {
  return item->menu() ? NameOf(item->menu()) : NameOf(item);
}

void SetActionHint(QAction* action, const QString& hint) {
  action->setStatusTip(hint);
  action->setToolTip(hint);
}

// The window's components in the order they were made: its controls, its
// menus and action lists, and whatever else it owns; Qt's own parts and
// other windows are left out.
std::vector<QObject*> FormComponents(QWidget* form) {
  std::vector<QObject*> components;
  for (QObject* o : form->children()) {
    if (qobject_cast<QLayout*>(o) || IsInternal(o)) continue;
    if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow() && !qobject_cast<QMenu*>(w))
      continue;
    components.push_back(o);
  }
  return components;
}

struct TFormContext {
  TAppTranslator& translator;
  std::string formName;
};

void ReadAction(const TIniDocument& ini, const std::string& section, QObject* list) {
  for (QObject* o : list->children()) {
    auto* action = qobject_cast<QAction*>(o);
    if (!action || action->objectName().isEmpty()) continue;
    const std::string name = NameOf(action);
    action->setText(Shown(ini.ReadString(section, name, Stored(action->text()))));
    SetActionHint(action,
                  Shown(ini.ReadString(section, name + ".Hint", Stored(action->statusTip()))));
  }
}

void WriteAction(TIniDocument& ini, const std::string& section, QObject* list) {
  for (QObject* o : list->children()) {
    auto* action = qobject_cast<QAction*>(o);
    if (!action || action->objectName().isEmpty()) continue;
    try {
      const std::string name = NameOf(action);
      const std::string caption = Stored(action->text()), hint = Stored(action->statusTip());
      if (!caption.empty() && caption != "-") ini.WriteString(section, name, caption);
      if (!hint.empty()) ini.WriteString(section, name + ".Hint", hint);
    } catch (const std::exception&) {
    }
  }
}

void ReadMenuItem(const TIniDocument& ini, const std::string& section, QObject* node) {
  for (QAction* item : SubItems(node)) {
    const std::string name = ItemName(item);
    if (name.empty()) continue;
    item->setText(Shown(ini.ReadString(section, name, Stored(item->text()))));
    if (item->menu()) ReadMenuItem(ini, section + "." + name, item->menu());
  }
}

void WriteMenuItem(TIniDocument& ini, const std::string& section, QObject* node) {
  for (QAction* item : SubItems(node)) {
    const std::string name = ItemName(item);
    if (!item->property("linkedAction").isValid() && !name.empty()) {
      const std::string caption = Stored(item->text()), hint = Stored(item->statusTip());
      if (!caption.empty() && caption != "-") ini.WriteString(section, name, caption);
      if (!hint.empty()) ini.WriteString(section, name + ".Hint", hint);
    }
    if (item->menu()) WriteMenuItem(ini, section + "." + name, item->menu());
  }
}

void ReadControl(const TFormContext& ctx, const TIniDocument& ini, const std::string& section,
                 QWidget* control, int index) {
  if (!control) return;
  const std::string key = KeyName(control, index, ctx.formName);
  try {
    if (HasCaption(control)) {
      std::string caption = ini.ReadString(section, key, Stored(Caption(control)));
      IniStringToFreeString(caption);
      caption = ReplaceAll(caption, "%%", "%");
      if (IsLabelWithoutAccelerators(control)) caption = ReplaceAll(caption, "&&", "&");
      SetCaption(control, Shown(caption));
    }
  } catch (const std::exception&) {
  }
  try {
    std::string hint = ini.ReadString(section, key + ".Hint", Stored(control->toolTip()));
    IniStringToFreeString(hint);
    control->setToolTip(Shown(hint));
  } catch (const std::exception&) {
  }
  if (TagOf(control) == 0 && HasItems(control)) {
    try {
      std::string items = ini.ReadString(section, key + ".Items", GetItems(control));
      IniStringToFreeString(items);
      SetItems(control, items);
    } catch (const std::exception&) {
    }
  }
  if (!IsContainer(control) || control->objectName().isEmpty()) return;
  const std::string inner = section + "." + NameOf(control);
  const std::vector<QWidget*> children = ChildControls(control);
  for (size_t j = 0; j < children.size(); ++j) {
    try {
      ReadControl(ctx, ini, inner, children[j], static_cast<int>(j));
    } catch (const std::exception&) {
    }
  }
  for (QObject* list : OwnedActionLists(control)) {
    try {
      ReadAction(ini, inner + "." + NameOf(list), list);
    } catch (const std::exception&) {
    }
  }
}

void WriteControl(const TFormContext& ctx, TIniDocument& ini, const std::string& section,
                  QWidget* control, int index) {
  try {
    if (!LinkedToAction(control) && TagOf(control) <= 0) {
      std::string caption = HasCaption(control) ? Stored(Caption(control)) : "";
      std::string hint = Stored(control->toolTip());
      std::string items = HasItems(control) ? GetItems(control) : "";
      FreeStringToIniString(caption);
      FreeStringToIniString(hint);
      FreeStringToIniString(items);
      const std::string key = KeyName(control, index, ctx.formName);
      if (!caption.empty() && caption != "-") ini.WriteString(section, key, caption);
      if (!hint.empty()) ini.WriteString(section, key + ".Hint", hint);
      if (!items.empty()) ini.WriteString(section, key + ".Items", items);
    }
  } catch (const std::exception&) {
  }
  if (!IsContainer(control)) return;
  const std::string inner = section + "." + NameOf(control);
  const std::vector<QWidget*> children = ChildControls(control);
  for (size_t j = 0; j < children.size(); ++j)
    WriteControl(ctx, ini, inner, children[j], static_cast<int>(j));
  for (QObject* list : OwnedActionLists(control))
    WriteAction(ini, inner + "." + NameOf(list), list);
}

}  // namespace

int TagOf(const QObject* object) { return object->property("tag").toInt(); }

std::string GetColumnText(const QTreeWidget* list) {
  QStringList titles;
  for (int i = 0; i < list->columnCount(); ++i) titles << list->headerItem()->text(i);
  return JoinItems(titles);
}

void SetColumnText(QTreeWidget* list, const std::string& text) {
  SetElements(text, list->columnCount(),
              [list](int i, const QString& t) { list->headerItem()->setText(i, t); });
}

std::string GetSectionText(const QHeaderView* header) {
  QStringList titles;
  if (const QAbstractItemModel* model = header->model())
    for (int i = 0; i < header->count(); ++i)
      titles << model->headerData(i, header->orientation()).toString();
  return JoinItems(titles);
}

void SetSectionText(QHeaderView* header, const std::string& text) {
  QAbstractItemModel* model = header->model();
  if (!model) return;
  SetElements(text, header->count(), [header, model](int i, const QString& t) {
    model->setHeaderData(i, header->orientation(), t);
  });
}

std::string GetPanelText(const TStatusBar* bar) {
  QStringList texts;
  for (int i = 0; bar->Panel(i); ++i) texts << bar->PanelText(i);
  return JoinItems(texts);
}

void SetPanelText(TStatusBar* bar, const std::string& text) {
  int count = 0;
  while (bar->Panel(count)) ++count;
  SetElements(text, count, [bar](int i, const QString& t) { bar->SetPanelText(i, t); });
}

void SetExStyleParamRL(QWidget* window, TBiDiMode BidiMode, bool doLayout) {
  window->setLayoutDirection(BidiMode == bdLeftToRight ? Qt::LeftToRight : Qt::RightToLeft);
}

void LoadFormFromIni(QWidget* Form, TAppTranslator& translator, const TIniDocument& Ini) {
  TFontSettings font;
  font.Name = Ini.ReadString("Main", "FontName", "MS Sans Serif");
  font.Size = static_cast<int>(Ini.ReadInteger("Main", "FontSize", 8));
  font.Charset = static_cast<uint8_t>(Ini.ReadInteger("Main", "FontCharset", 0));
  font.BiDiMode = TAppTranslator::BidiFromIni(Ini);
  translator.FLoadedFont = font;
  if (font.Size > 0) Form->setFont(QFont(Shown(font.Name), font.Size));

  const TFormContext ctx{translator, NameOf(Form)};
  Form->setWindowTitle(Shown(Ini.ReadString("Forms", ctx.formName, Stored(Form->windowTitle()))));
  SetExStyleParamRL(Form, font.BiDiMode, false);
  const std::vector<QObject*> components = FormComponents(Form);
  for (size_t i = 0; i < components.size(); ++i) {
    QObject* c = components[i];
    if (IsMenu(c))
      ReadMenuItem(Ini, ctx.formName + "." + NameOf(c), c);
    else if (IsActionList(c))
      ReadAction(Ini, ctx.formName + "." + NameOf(c), c);
    else if (auto* control = qobject_cast<QWidget*>(c))
      ReadControl(ctx, Ini, ctx.formName, control, static_cast<int>(i));
    if (translator.FOwnerLoad) translator.FOwnerLoad(ctx.formName + "." + NameOf(c), c, Ini);
  }
}

void SaveFormToIni(QWidget* Form, TAppTranslator& translator, TIniDocument& Ini,
                   bool SaveMainProperties) {
  const TFormContext ctx{translator, NameOf(Form)};
  if (TagOf(Form) == 0) Ini.WriteString("Forms", ctx.formName, Stored(Form->windowTitle()));
  if (SaveMainProperties) {
    Ini.WriteString("Main", "FontName", Stored(Form->font().family()));
    Ini.WriteInteger("Main", "FontSize", Form->font().pointSize());
    Ini.WriteInteger("Main", "FontCharset", translator.FLoadedFont.Charset);
    Ini.WriteString("Main", "HelpFile", translator.FHelpFile);
  }
  const std::vector<QObject*> components = FormComponents(Form);
  for (size_t i = 0; i < components.size(); ++i) {
    QObject* c = components[i];
    try {
      if (translator.FOwnerSave) translator.FOwnerSave(ctx.formName + "." + NameOf(c), c, Ini);
      if (IsMenu(c))
        WriteMenuItem(Ini, ctx.formName + "." + NameOf(c), c);
      else if (IsActionList(c))
        WriteAction(Ini, ctx.formName + "." + NameOf(c), c);
      else if (auto* control = qobject_cast<QWidget*>(c))
        WriteControl(ctx, Ini, ctx.formName, control, static_cast<int>(i));
    } catch (const std::exception&) {
    }
  }
}

TTranslatedForm::TTranslatedForm(QWidget* form) : form_(form) { TranslatedApplication().Add(this); }

TTranslatedForm::~TTranslatedForm() { TranslatedApplication().Remove(this); }

std::string TTranslatedForm::Name() const { return NameOf(form_); }

void TTranslatedForm::LoadFromIni(TAppTranslator& translator, const TIniDocument& ini) {
  LoadFormFromIni(form_, translator, ini);
}

void TTranslatedForm::SaveToIni(TAppTranslator& translator, TIniDocument& ini,
                                bool saveMainProperties) {
  SaveFormToIni(form_, translator, ini, saveMainProperties);
}

void TTranslatedApplication::Remove(TLocalizableForm* form) { std::erase(forms_, form); }

void TTranslatedApplication::SetBiDiMode(TBiDiMode mode) {
  QGuiApplication::setLayoutDirection(mode == bdLeftToRight ? Qt::LeftToRight : Qt::RightToLeft);
}

void TTranslatedApplication::SetApplicationFont(const TFontSettings& font) {
  if (font.Size <= 0) return;
  const QFont f(Shown(font.Name), font.Size);
  QApplication::setFont(f, "QMenu");
  QToolTip::setFont(f);
}

TTranslatedApplication& TranslatedApplication() {
  static TTranslatedApplication application;
  return application;
}

void TLanguageMenuItems::Clear() { menu_->clear(); }

void TLanguageMenuItems::AddItem(const std::string& caption, const std::string& hint,
                                 const QImage* image) {
  QAction* item = menu_->addAction(QString::fromStdString(caption));
  if (image) item->setIcon(QIcon(QPixmap::fromImage(*image)));
  item->setStatusTip(QString::fromStdString(hint));
  QObject::connect(item, &QAction::triggered, menu_, Guarded("LanguageMenuItemClick", [hint] {
                     if (ApplicationTranslator) ApplicationTranslator->LanguageMenuItemClick(hint);
                   }));
}
