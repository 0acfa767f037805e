#include "FormPositions.h"

#include <QGuiApplication>
#include <QScreen>

// The stored bounds are those of the window's own area, without the frame
// the window manager adds: that rectangle is read and set the same way
// before and after the window is shown, so a window ends where it started.
// (A frame's size is not known before it is shown; outer bounds stored and
// then restored as inner ones made the window grow and creep at every start.)
int32_t TQtConfigForm::Left() const { return window_->geometry().x(); }
int32_t TQtConfigForm::Top() const { return window_->geometry().y(); }
int32_t TQtConfigForm::Width() const { return window_->geometry().width(); }
int32_t TQtConfigForm::Height() const { return window_->geometry().height(); }

int32_t TQtConfigForm::WindowState() const {
  if (window_->isMaximized()) return 2;
  if (window_->isMinimized()) return 1;
  return 0;
}

// Where the window manager lets a program place its windows (not under
// Wayland) the window moves; its size and state are restored everywhere.
void TQtConfigForm::SetLeft(int32_t value) {
  QRect r = window_->geometry();
  r.moveLeft(value);
  window_->setGeometry(r);
}

void TQtConfigForm::SetTop(int32_t value) {
  QRect r = window_->geometry();
  r.moveTop(value);
  window_->setGeometry(r);
}

void TQtConfigForm::SetWidth(int32_t value) {
  QRect r = window_->geometry();
  r.setWidth(std::max(1, value));
  window_->setGeometry(r);
}

void TQtConfigForm::SetHeight(int32_t value) {
  QRect r = window_->geometry();
  r.setHeight(std::max(1, value));
  window_->setGeometry(r);
}

void TQtConfigForm::SetWindowState(int32_t value) {
  Qt::WindowStates state = window_->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
  if (value == 1) state |= Qt::WindowMinimized;
  if (value == 2) state |= Qt::WindowMaximized;
  window_->setWindowState(state);
}

void TQtConfigForm::PositionRestored() {
  const QRect frame = window_->frameGeometry();
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen->geometry().intersects(frame)) return;
  if (const QScreen* primary = QGuiApplication::primaryScreen())
    window_->move(primary->availableGeometry().topLeft());
}

TFormRegistration::TFormRegistration(QWidget* window) : form_(window), manager_(GConfigManager) {
  if (manager_) manager_->AddForm(&form_);
}

TFormRegistration::~TFormRegistration() {
  if (manager_) manager_->RemoveForm(&form_);
}
