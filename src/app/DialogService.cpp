#include "DialogService.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "utMessages.h"

namespace {
TDialogService* gService = nullptr;

bool RunFileDialog(QWidget* parent, const TFileDialogOptions& o, QString& path,
                   QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, o.title, o.initialFolder);
  dialog.setAcceptMode(mode);
  dialog.setNameFilters(ToQtNameFilters(o.filter).split(";;", Qt::SkipEmptyParts));
  dialog.setDefaultSuffix(o.defaultExtension);
  if (!o.fileName.isEmpty()) dialog.selectFile(o.fileName);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !o.confirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  path = dialog.selectedFiles().first();
  return true;
}
}  // namespace

QString DialogCaption(TMsgDlgType kind, const QString& caption) {
  return caption.isEmpty() ? QString::fromStdString(utDlgFormCaptions[kind]) : caption;
}

TDialogService& Dialogs() {
  static TStandardDialogService standard;
  return gService ? *gService : standard;
}

void SetDialogService(TDialogService* service) { gService = service; }

QString ToQtNameFilters(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    filters << parts[i] + " (" + patterns + ")";
  }
  return filters.join(";;");
}

namespace {

QString DialogText(TMsgDlgBtn button) {
  return QString::fromStdString(utDlgButtonCaptions[button]);
}

// A message box whose buttons and (when the caller names none) title come
// from the translated dialog captions.
QMessageBox::StandardButton RunMessageBox(QWidget* parent, QMessageBox::Icon icon, TMsgDlgType kind,
                                          const QString& caption, const QString& text,
                                          QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, DialogCaption(kind, caption), text, buttons, parent);
  const std::pair<QMessageBox::StandardButton, TMsgDlgBtn> captions[] = {
      {QMessageBox::Ok, mbOK},
      {QMessageBox::Yes, mbYes},
      {QMessageBox::No, mbNo},
      {QMessageBox::Cancel, mbCancel}};
  for (const auto& [standard, button] : captions)
    if (QAbstractButton* b = box.button(standard)) b->setText(DialogText(button));
  box.exec();
  return box.standardButton(box.clickedButton());
}

}  // namespace

bool TStandardDialogService::InputQuery(QWidget* parent, const QString& caption,
                                        const QString& prompt, QString& value) {
  QInputDialog dialog(parent);
  dialog.setWindowTitle(caption);
  dialog.setLabelText(prompt);
  dialog.setTextValue(value);
  dialog.setOkButtonText(DialogText(mbOK));
  dialog.setCancelButtonText(DialogText(mbCancel));
  if (dialog.exec() != QDialog::Accepted) return false;
  value = dialog.textValue();
  return true;
}

void TStandardDialogService::ShowMessage(QWidget* parent, const QString& caption,
                                         const QString& text) {
  RunMessageBox(parent, QMessageBox::Information, mtInformation, caption, text, QMessageBox::Ok);
}

void TStandardDialogService::ShowError(QWidget* parent, const QString& caption,
                                       const QString& text) {
  RunMessageBox(parent, QMessageBox::Warning, mtError, caption, text, QMessageBox::Ok);
}

bool TStandardDialogService::Confirm(QWidget* parent, const QString& caption, const QString& text) {
  return RunMessageBox(parent, QMessageBox::Question, mtConfirmation, caption, text,
                       QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool TStandardDialogService::OpenFile(QWidget* parent, const TFileDialogOptions& options,
                                      QString& path) {
  return RunFileDialog(parent, options, path, QFileDialog::AcceptOpen);
}

bool TStandardDialogService::SaveFile(QWidget* parent, const TFileDialogOptions& options,
                                      QString& path) {
  return RunFileDialog(parent, options, path, QFileDialog::AcceptSave);
}

void TStandardDialogService::ShowErrorReport(QWidget* parent, const QString& report) {
  QDialog dialog(parent);
  dialog.setObjectName("dlgErrorReport");
  dialog.setWindowTitle("Corvina - error report");
  auto* layout = new QVBoxLayout(&dialog);
  auto* text = new QPlainTextEdit(report, &dialog);
  text->setReadOnly(true);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  text->setMinimumSize(520, 220);
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(&dialog);
  auto* copy = buttons->addButton("&Copy report", QDialogButtonBox::ActionRole);
  buttons->addButton("C&ontinue", QDialogButtonBox::AcceptRole);
  QObject::connect(copy, &QPushButton::clicked,
                   [report] { QApplication::clipboard()->setText(report); });
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  layout->addWidget(buttons);
  dialog.exec();
}
