// The History page's list as the lookup cache fills it: the rows are
// gathered and added at once, with repainting suspended meanwhile.
#pragma once

#include <QList>
#include <QStringList>
#include <QTreeWidget>

#include "WhoisCache.h"
#include "Widgets.h"

class TTreeHistoryList : public THistoryListView {
 public:
  explicit TTreeHistoryList(QTreeWidget* list) : list_(list) {}
  void BeginUpdate() override { list_->setUpdatesEnabled(false); }
  void EndUpdate() override {
    list_->addTopLevelItems(items_);
    items_.clear();
    list_->setUpdatesEnabled(true);
  }
  void Clear() override { list_->clear(); }
  void AddRow(const std::string& caption, const std::string& dateTime,
              const std::string& id) override {
    items_ << new QTreeWidgetItem(
        QStringList{ToDisplayText(caption), ToDisplayText(dateTime), QString::fromStdString(id)});
  }

 private:
  QTreeWidget* list_;
  QList<QTreeWidgetItem*> items_;
};
