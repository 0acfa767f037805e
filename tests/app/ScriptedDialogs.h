// A dialog service that answers from a script and records what was asked.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

#include "DialogService.h"

class TScriptedDialogs : public TDialogService {
 public:
  TScriptedDialogs() { SetDialogService(this); }
  ~TScriptedDialogs() override { SetDialogService(nullptr); }

  // The next InputQuery answers: a text means OK with that text, nullopt Cancel.
  std::deque<std::optional<QString>> inputs;
  QStringList asked;     // "caption|prompt|initial text" of every InputQuery
  QStringList messages;  // every message and error shown
  QStringList reports;   // every error report

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
    messages << caption + ": " + text;
  }
  void ShowError(QWidget*, const QString& caption, const QString& text) override {
    messages << caption + ": " + text;
  }
  bool OpenFile(QWidget*, const TFileDialogOptions&, QString&) override { return false; }
  bool SaveFile(QWidget*, const TFileDialogOptions&, QString&) override { return false; }
  void ShowErrorReport(QWidget*, const QString& report) override { reports << report; }
};
