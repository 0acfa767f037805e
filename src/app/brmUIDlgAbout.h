// The about dialog: name, version, description and legal text of the
// running program, read from its own version block; the translators named
// there; and the start of the update check.
#pragma once

#include <QDialog>
#include <QIcon>
#include <functional>
#include <string>

#include "utStringList.h"

class QLabel;
class QProgressBar;
class QPushButton;

// The update server asked when the configuration names none.
inline constexpr const char* kDefaultUpdateHost = "updates.brenmoor.example";

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
  // Shown while an update downloads.
  QProgressBar* pbDownload = nullptr;

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
  // Asks the update server for its description, compares versions, offers
  // the new one and downloads it to the desktop.
  void LookForUpdates();
  // Where the description is fetched from: "http://" + the update host
  // (configuration value "UpdateHost", default kDefaultUpdateHost) +
  // "/updates/" + FUpdateININame.
  std::string UpdateAddress() const;
  // Opens a downloaded file with the desktop's program for it (xdg-open).
  std::function<void(const std::string& file)> OpenFile;

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
