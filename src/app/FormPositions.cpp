#include "FormPositions.h"

#include <QGuiApplication>
#include <QScreen>

int32_t TQtConfigForm::Left() const { return window_->frameGeometry().x(); }
int32_t TQtConfigForm::Top() const { return window_->frameGeometry().y(); }
int32_t TQtConfigForm::Width() const { return window_->frameGeometry().width(); }
int32_t TQtConfigForm::Height() const { return window_->frameGeometry().height(); }

int32_t TQtConfigForm::WindowState() const {
  if (window_->isMaximized()) return 2;
  if (window_->isMinimized()) return 1;
  return 0;
}

QSize TQtConfigForm::FrameExtra() const {
  return window_->frameGeometry().size() - window_->size();
}

// Where the window manager lets a program place its windows (not under
// Wayland) the window moves; its size and state are restored everywhere.
void TQtConfigForm::SetLeft(int32_t value) { window_->move(value, window_->frameGeometry().y()); }
void TQtConfigForm::SetTop(int32_t value) { window_->move(window_->frameGeometry().x(), value); }

void TQtConfigForm::SetWidth(int32_t value) {
  window_->resize(std::max(1, value - FrameExtra().width()), window_->height());
}

void TQtConfigForm::SetHeight(int32_t value) {
  window_->resize(window_->width(), std::max(1, value - FrameExtra().height()));
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
