// The modal dialogs the windows use: text input, messages, file choice and
// the error report. Every window asks through Dialogs(), so that tests can
// put a scripted service in place of the toolkit's dialogs.
#pragma once

#include <QString>

#include "utMessages.h"

class QWidget;

struct TFileDialogOptions {
  QString filter;            // "description|*.a;*.b" pairs separated by "|"
  QString defaultExtension;  // without the dot
  QString initialFolder;
  QString fileName;
  QString title;  // empty: the platform's default title
  // Save form: whether the dialog asks before an existing file is replaced.
  bool confirmOverwrite = true;
};

class TDialogService {
 public:
  virtual ~TDialogService() = default;
  // A caption, a prompt and an initial text; true on OK, with value changed.
  virtual bool InputQuery(QWidget* parent, const QString& caption, const QString& prompt,
                          QString& value) = 0;
  // An empty caption gives the dialog kind's translated title ("Error",
  // "Information", "Confirmation").
  virtual void ShowMessage(QWidget* parent, const QString& caption, const QString& text) = 0;
  virtual void ShowError(QWidget* parent, const QString& caption, const QString& text) = 0;
  // A question with the answers Yes and No; true for Yes.
  virtual bool Confirm(QWidget* parent, const QString& caption, const QString& text) = 0;
  virtual bool OpenFile(QWidget* parent, const TFileDialogOptions& options, QString& path) = 0;
  virtual bool SaveFile(QWidget* parent, const TFileDialogOptions& options, QString& path) = 0;
  // The report of an error that no action caught; the user can copy it.
  virtual void ShowErrorReport(QWidget* parent, const QString& report) = 0;
};

// The toolkit's standard dialogs, with the button captions and titles of
// the loaded language.
class TStandardDialogService : public TDialogService {
 public:
  bool InputQuery(QWidget* parent, const QString& caption, const QString& prompt,
                  QString& value) override;
  void ShowMessage(QWidget* parent, const QString& caption, const QString& text) override;
  void ShowError(QWidget* parent, const QString& caption, const QString& text) override;
  bool Confirm(QWidget* parent, const QString& caption, const QString& text) override;
  bool OpenFile(QWidget* parent, const TFileDialogOptions& options, QString& path) override;
  bool SaveFile(QWidget* parent, const TFileDialogOptions& options, QString& path) override;
  void ShowErrorReport(QWidget* parent, const QString& report) override;
};

TDialogService& Dialogs();
// Puts a service in place (nullptr restores the standard one); the caller
// keeps ownership.
void SetDialogService(TDialogService* service);

// The title of a message box: the caller's caption, or the translated
// title of its kind when the caption is empty.
QString DialogCaption(TMsgDlgType kind, const QString& caption);

// "Text files|*.txt;*.log" as a Qt name filter list.
QString ToQtNameFilters(const QString& filter);
