// A window as the configuration manager keeps its position: the bounds of
// its own area (without the window manager's frame) and its state. A
// position restored where no screen is shows the window on the primary
// screen instead, so that it can be reached.
#pragma once

#include <QWidget>

#include "brmConfig.h"

class TQtConfigForm : public TConfigForm {
 public:
  explicit TQtConfigForm(QWidget* window) : window_(window) {}
  std::string Name() const override { return window_->objectName().toStdString(); }
  int32_t Left() const override;
  int32_t Top() const override;
  int32_t Width() const override;
  int32_t Height() const override;
  int32_t WindowState() const override;
  void SetLeft(int32_t value) override;
  void SetTop(int32_t value) override;
  void SetWidth(int32_t value) override;
  void SetHeight(int32_t value) override;
  void SetWindowState(int32_t value) override;
  void PositionRestored() override;

 private:
  QWidget* window_;
};

// Registers a window with the configuration manager for as long as it lives.
class TFormRegistration {
 public:
  explicit TFormRegistration(QWidget* window);
  ~TFormRegistration();
  TFormRegistration(const TFormRegistration&) = delete;
  TFormRegistration& operator=(const TFormRegistration&) = delete;
  TQtConfigForm& Form() { return form_; }

 private:
  TQtConfigForm form_;
  TBRMConfigManager* manager_;
};
