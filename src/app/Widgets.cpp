#include "Widgets.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QStringList>

#include "utCodePage.h"

QString ToDisplayText(std::string_view text) {
  return QString::fromStdString(DisplayTextToUtf8(text));
}

QString CrLfTextToDisplayText(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    if (start > 0) shown += '\n';
    shown += DisplayTextToUtf8(text.substr(start, end - start));
    start = end + 2;
  }
  return QString::fromStdString(shown);
}

std::string FromDisplayText(const QString& text) { return text.toStdString(); }

TStatusBar::TStatusBar(const QString& name, const QList<int>& panelWidths, QWidget* parent)
    : QStatusBar(parent) {
  setObjectName(name);
  setSizeGripEnabled(false);
  for (int i = 0; i < panelWidths.size(); ++i) {
    auto* panel = new QLabel(this);
    panel->setObjectName(QString("%1Panel%2").arg(name).arg(i));
    panel->setFixedWidth(panelWidths[i]);
    addWidget(panel);
    panels_ << panel;
  }
}

void TStatusBar::SetPanelText(int index, const QString& text) {
  if (QLabel* p = Panel(index)) p->setText(text);
}

QString TStatusBar::PanelText(int index) const {
  const QLabel* p = Panel(index);
  return p ? p->text() : QString();
}

TImageList::TImageList(const QString& name, int width, int height, const QStringList& paths)
    : name_(name), width_(width), height_(height) {
  for (const QString& path : paths) {
    QPixmap pixmap(path);
    if (!pixmap.isNull() && (pixmap.width() != width || pixmap.height() != height))
      pixmap = pixmap.scaled(width, height, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    images_ << QIcon(pixmap);
  }
}

QAction* AddActionItem(QMenu* menu, const QString& name, QAction* action) {
  auto* item = new QAction(action->icon(), action->text(), menu);
  item->setObjectName(name);
  // Its texts are the action's: a language translates the action.
  item->setProperty("linkedAction", true);
  QObject::connect(item, &QAction::triggered, action, &QAction::trigger);
  QObject::connect(action, &QAction::changed, item, [item, action] {
    item->setText(action->text());
    item->setIcon(action->icon());
    item->setEnabled(action->isEnabled());
    item->setVisible(action->isVisible());
  });
  menu->addAction(item);
  return item;
}

void CenterOnScreen(QWidget* window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect frame(QPoint(), window->size());
  frame.moveCenter(screen->availableGeometry().center());
  window->move(frame.topLeft());
}

namespace {

class TKeyPressFilter : public QObject {
 public:
  TKeyPressFilter(QObject* parent, std::function<bool(char)> handler)
      : QObject(parent), handler_(std::move(handler)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    char c = 0;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
      c = '\r';
    else if (key->text().size() == 1 && key->text()[0].unicode() < 128)
      c = static_cast<char>(key->text()[0].unicode());
    return c != 0 && handler_(c);
  }

 private:
  std::function<bool(char)> handler_;
};

}  // namespace

void OnKeyPress(QWidget* widget, std::function<bool(char key)> handler) {
  widget->installEventFilter(new TKeyPressFilter(widget, std::move(handler)));
}
