// The whois list dialog: the domains of a batch lookup, each ticked off when
// its lookup is done. Created hidden at start; shown only during a batch.
#pragma once

#include <QDialog>

#include "FormPositions.h"

class QTreeWidget;

class TformWhoisQueryList : public QDialog {
 public:
  explicit TformWhoisQueryList(QWidget* parent = nullptr);
  QTreeWidget* lvDomains = nullptr;

 private:
  TFormRegistration positionEntry_{this};
};

// The program's one instance, created at start.
extern TformWhoisQueryList* formWhoisQueryList;
