// A dialog service that answers from a script and records what was asked.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

#include "DialogService.h"
#include "QtPrinters.h"

class TScriptedDialogs : public TDialogService {
 public:
  TScriptedDialogs() { SetDialogService(this); }
  ~TScriptedDialogs() override { SetDialogService(nullptr); }

  // The next InputQuery answers: a text means OK with that text, nullopt Cancel.
  std::deque<std::optional<QString>> inputs;
  QStringList asked;     // "caption|prompt|initial text" of every InputQuery
  QStringList messages;  // every message and error shown
  QStringList reports;   // every error report
  // The next file dialog answers: a path means OK with that path, nullopt
  // Cancel; the options of every file dialog shown.
  std::deque<std::optional<QString>> files;
  std::vector<TFileDialogOptions> fileDialogs;
  // The next Yes/No answers (No when none is left).
  std::deque<bool> confirms;

  bool InputQuery(QWidget*, const QString& caption, const QString& prompt,
                  QString& value) override {
    asked << caption + "|" + prompt + "|" + value;
    if (inputs.empty()) return false;
    const auto answer = inputs.front();
    inputs.pop_front();
    if (!answer) return false;
    value = *answer;
    return true;
  }
  void ShowMessage(QWidget*, const QString& caption, const QString& text) override {
    messages << DialogCaption(mtInformation, caption) + ": " + text;
  }
  void ShowError(QWidget*, const QString& caption, const QString& text) override {
    messages << DialogCaption(mtError, caption) + ": " + text;
  }
  bool Confirm(QWidget*, const QString& caption, const QString& text) override {
    messages << DialogCaption(mtConfirmation, caption) + "? " + text;
    if (confirms.empty()) return false;
    const bool yes = confirms.front();
    confirms.pop_front();
    return yes;
  }
  bool OpenFile(QWidget*, const TFileDialogOptions& options, QString& path) override {
    return FileAnswer(options, path);
  }
  bool SaveFile(QWidget*, const TFileDialogOptions& options, QString& path) override {
    return FileAnswer(options, path);
  }
  void ShowErrorReport(QWidget*, const QString& report) override { reports << report; }

 private:
  bool FileAnswer(const TFileDialogOptions& options, QString& path) {
    fileDialogs.push_back(options);
    if (files.empty()) return false;
    const auto answer = files.front();
    files.pop_front();
    if (!answer) return false;
    path = *answer;
    return true;
  }
};
