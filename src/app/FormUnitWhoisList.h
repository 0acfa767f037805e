// The whois list dialog: the domains of a batch lookup, each ticked off when
// its lookup is done. Created hidden at start; shown only during a batch.
#pragma once

#include <QDialog>

#include "FormPositions.h"
#include "utTranslatorForms.h"

class QPushButton;
class QTreeWidget;

class TformWhoisQueryList : public QDialog {
 public:
  explicit TformWhoisQueryList(QWidget* parent = nullptr);
  // The program's instance leaves formWhoisQueryList empty behind it.
  ~TformWhoisQueryList() override;
  QTreeWidget* lvDomains = nullptr;
  // Ends the batch after the lookup that runs; the rows ticked so far stay.
  QPushButton* bnStop = nullptr;
  // Set by bnStop, cleared when a batch starts.
  bool StopRequested = false;

 private:
  TFormRegistration positionEntry_{this};
  TTranslatedForm translationEntry_{this};
};

// The program's one instance, created at start.
extern TformWhoisQueryList* formWhoisQueryList;
