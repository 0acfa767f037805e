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

bool TStandardDialogService::InputQuery(QWidget* parent, const QString& caption,
                                        const QString& prompt, QString& value) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, value, &ok);
  if (ok) value = text;
  return ok;
}

void TStandardDialogService::ShowMessage(QWidget* parent, const QString& caption,
                                         const QString& text) {
  QMessageBox::information(parent, caption, text);
}

void TStandardDialogService::ShowError(QWidget* parent, const QString& caption,
                                       const QString& text) {
  QMessageBox::warning(parent, caption, text);
}

bool TStandardDialogService::Confirm(QWidget* parent, const QString& caption,
                                     const QString& text) {
  return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
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
