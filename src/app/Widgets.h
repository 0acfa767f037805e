// Small widget helpers shared by the windows.
#pragma once

#include <QIcon>
#include <QLabel>
#include <QList>
#include <QStatusBar>
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QMenu;

// An 8-bit text for display: UTF-8 when it is valid UTF-8, else Windows-1252.
QString ToDisplayText(std::string_view text);
// The lines of a text whose lines end with CR LF (a report), for a text
// view: each line shown as ToDisplayText shows it, joined by line feeds.
QString CrLfTextToDisplayText(std::string_view text);
// A text the user typed, as the 8-bit text the program works with (UTF-8).
std::string FromDisplayText(const QString& text);

// A status bar with fixed panels, each a label.
class TStatusBar : public QStatusBar {
 public:
  TStatusBar(const QString& name, const QList<int>& panelWidths, QWidget* parent);
  QLabel* Panel(int index) const { return panels_.value(index); }
  void SetPanelText(int index, const QString& text);
  QString PanelText(int index) const;

 private:
  QList<QLabel*> panels_;
};

// A list of images of one size, addressed by index.
class TImageList {
 public:
  TImageList() = default;
  TImageList(const QString& name, int width, int height, const QStringList& resourcePaths);
  QIcon operator[](int index) const { return images_.value(index); }
  int Count() const { return static_cast<int>(images_.size()); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  QString Name() const { return name_; }

 private:
  QString name_;
  int width_ = 0, height_ = 0;
  QList<QIcon> images_;
};

// Puts a window in the middle of the primary screen's work area.
void CenterOnScreen(QWidget* window);

// A menu item of its own name that shows and triggers an action.
QAction* AddActionItem(QMenu* menu, const QString& name, QAction* action);

// Calls handler with the character of every key pressed in widget (13 for
// Enter or Return); a key the handler returns true for goes no further.
void OnKeyPress(QWidget* widget, std::function<bool(char key)> handler);
