// The idle-processing component of the main window: while it exists, the
// network library's waits on the user-interface thread let pending window
// messages run.
#pragma once

#include <QObject>

class TIdAntiFreeze : public QObject {
 public:
  explicit TIdAntiFreeze(QObject* parent);
  ~TIdAntiFreeze() override;
  // Milliseconds of one wait slice.
  int IdleTimeOut() const;
};
