#include "FormUnitMainPages.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

QTreeWidget* CreateReportList(const QString& name, const QStringList& columns,
                              const QList<int>& widths, QWidget* parent, int fill) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(name);
  list->setRootIsDecorated(false);
  list->setHeaderLabels(columns);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setUniformRowHeights(true);
  list->header()->setStretchLastSection(false);
  for (int i = 0; i < widths.size(); ++i)
    if (widths[i] > 0) list->setColumnWidth(i, widths[i]);
  if (fill >= 0) list->header()->setSectionResizeMode(fill, QHeaderView::Stretch);
  return list;
}

QWidget* CreatePage(const QString& name, QWidget* parent) {
  auto* page = new QWidget(parent);
  page->setObjectName(name);
  return page;
}

QVBoxLayout* PageLayout(QWidget* page) {
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  return layout;
}
