// The about dialog: name, version, description and legal text of the
// running program, read from its own version block; the translators named
// there; and the start of the update check.
#pragma once

#include <QDialog>
#include <QIcon>
#include <string>

#include "utStringList.h"

class QLabel;
class QPushButton;

class TdlgAbout : public QDialog {
 public:
  explicit TdlgAbout(QWidget* parent = nullptr);

  QLabel* labelProduct = nullptr;
  QLabel* labelVersion = nullptr;
  QLabel* imgIcon = nullptr;
  QLabel* labelDescription = nullptr;
  QLabel* imgBRMLogo = nullptr;
  QLabel* labelLegal = nullptr;
  QPushButton* bnTranslations = nullptr;
  QPushButton* bnUpdates = nullptr;
  QPushButton* bnOk = nullptr;

  TStringList FTranslators;
  std::string FProductNameOverride;
  std::string FUpdateININame;
  std::string FAppVersion;
  bool FDoLookForUpdates = false;

  // Stores the update description's name; "Updates" shows only with one.
  void SetUpdateININame(const std::string& Value);
  // Fills the captions from the version block of a program file; a file
  // without one leaves the first texts.
  void LoadInformation(const std::string& Filename);
  void FormShow();
  void bnTranslationsClick();
  void bnUpdatesClick();

 protected:
  void showEvent(QShowEvent* event) override;
};

// The program's icon, drawn: a network node in a round badge.
QIcon CorvinaIcon();

// The update description name the about dialog is given ("" at start).
extern std::string BRMAboutUpdateIniName;

// Makes, shows (modally) and frees the about dialog for the running program.
void ShowBRMAboutDialog(const std::string& ProductName, bool LookForUpdates,
                        QWidget* parent = nullptr);
