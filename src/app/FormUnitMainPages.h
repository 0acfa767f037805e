// What the pages of the main window are built from: the window's layout
// sizes and the helpers every page uses. Each page is built beside its
// handlers (FormUnitMainAdapters.cpp, FormUnitMainWhois.cpp, ...).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QTreeWidget;
class QVBoxLayout;
class QWidget;

inline constexpr int kClientWidth = 629;
inline constexpr int kClientHeight = 556;
inline constexpr int kToolButtonWidth = 141;
inline constexpr int kToolButtonHeight = 30;
inline constexpr int kHTTPToolButtonWidth = 133;

// A read-only list in report view. Columns keep their widths; the column
// fill (when >= 0) takes the rest of the list's width.
QTreeWidget* CreateReportList(const QString& name, const QStringList& columns,
                              const QList<int>& widths, QWidget* parent, int fill = -1);
// A page (or any named container) of a page control.
QWidget* CreatePage(const QString& name, QWidget* parent);
// A vertical layout without margins for a page.
QVBoxLayout* PageLayout(QWidget* page);
