#include "brmUIDlgAbout.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QProgressBar>
#include <QShowEvent>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>

extern char** environ;

#include "DialogService.h"
#include "Widgets.h"
#include "brmConfig.h"
#include "brmPEVersions.h"
#include "plPaths.h"
#include "utFiles.h"
#include "utFormat.h"
#include "utPathSolve.h"
#include "utStrings.h"
#include "utWinINet.h"

std::string BRMAboutUpdateIniName;

namespace {

QLabel* Place(QWidget* parent, const char* name, int x, int y, int w, int h, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(x, y, w, h);
  // "&" shows as it is, never as a shortcut mark.
  label->setTextFormat(Qt::PlainText);
  return label;
}

QPushButton* Button(QWidget* parent, const char* name, int x, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(x, 176, 81, 25);
  return button;
}

// The maker's logo, 137 x 65: drawn, so that the program carries no picture
// file of another's.
QPixmap BrenmoorLogo() {
  QPixmap logo(137, 65);
  logo.fill(Qt::transparent);
  QPainter p(&logo);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(0x1f, 0x4e, 0x79));
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(0, 0, 137, 65, 8, 8);
  p.setPen(Qt::white);
  QFont f("DejaVu Sans", 16, QFont::Bold);
  p.setFont(f);
  p.drawText(QRect(0, 6, 137, 34), Qt::AlignCenter, "Brenmoor");
  f.setPointSize(8);
  f.setBold(false);
  p.setFont(f);
  p.drawText(QRect(0, 38, 137, 20), Qt::AlignCenter, "network tools");
  return logo;
}

// The icon at one size: three linked nodes on a blue badge.
QPixmap IconPixmap(int size) {
  QPixmap icon(size, size);
  icon.fill(Qt::transparent);
  QPainter p(&icon);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size / 32.0;
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1f, 0x4e, 0x79));
  p.drawEllipse(QRectF(1 * s, 1 * s, 30 * s, 30 * s));
  const QPointF nodes[] = {{16 * s, 8 * s}, {9 * s, 22 * s}, {23 * s, 22 * s}};
  p.setPen(QPen(Qt::white, 2 * s));
  p.drawLine(nodes[0], nodes[1]);
  p.drawLine(nodes[0], nodes[2]);
  p.drawLine(nodes[1], nodes[2]);
  p.setBrush(QColor(0xf2, 0xa9, 0x00));
  for (const QPointF& n : nodes) p.drawEllipse(n, 3.5 * s, 3.5 * s);
  return icon;
}

// "0, 4, 2, 0" and "1,2,3" as dotted versions.
std::string DottedVersion(const std::string& text) {
  return ReplaceAll(ReplaceAll(text, ", ", "."), ",", ".");
}

}  // namespace

TdlgAbout::TdlgAbout(QWidget* parent) : QDialog(parent) {
  setObjectName("dlgAbout");
  setWindowTitle("About ...");
  setFont(QFont("MS Shell Dlg 2", 8));
  setFixedSize(393, 209);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
  labelProduct = Place(this, "labelProduct", 8, 8, 377, 33, "A quality BRM product");
  labelProduct->setFont(QFont("Arial", 20));
  labelVersion = Place(this, "labelVersion", 48, 44, 185, 17, "Version unknown");
  imgIcon = Place(this, "imgIcon", 8, 46, 32, 32, "");
  labelDescription = Place(this, "labelDescription", 48, 64, 193, 49, "");
  labelDescription->setWordWrap(true);
  imgBRMLogo = Place(this, "imgBRMLogo", 248, 40, 137, 65, "");
  imgBRMLogo->setPixmap(BrenmoorLogo());
  labelLegal = Place(this, "labelLegal", 8, 128, 377, 41, "");
  labelLegal->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
  labelLegal->setWordWrap(true);
  bnTranslations = Button(this, "bnTranslations", 8, "Translations");
  bnTranslations->hide();
  bnUpdates = Button(this, "bnUpdates", 208, "Updates");
  bnUpdates->hide();
  bnOk = Button(this, "bnOk", 304, "OK");
  bnOk->setDefault(true);
  setTabOrder(bnOk, bnUpdates);
  setTabOrder(bnUpdates, bnTranslations);
  connect(bnOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(bnTranslations, &QPushButton::clicked, this, [this] { bnTranslationsClick(); });
  connect(bnUpdates, &QPushButton::clicked, this, [this] { bnUpdatesClick(); });
  pbDownload = new QProgressBar(this);
  pbDownload->setObjectName("pbDownload");
  pbDownload->setGeometry(8, 150, 377, 18);
  pbDownload->setRange(0, 100);
  pbDownload->hide();
  // A downloaded file is opened by the desktop's program for it, never
  // through a shell.
  OpenFile = [](const std::string& file) {
    pid_t pid = 0;
    const char* argv[] = {"xdg-open", file.c_str(), nullptr};
    if (::posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ) ==
        0)
      ::waitpid(pid, nullptr, WNOHANG);
  };
  CenterOnScreen(this);
}

void TdlgAbout::SetUpdateININame(const std::string& Value) {
  FUpdateININame = Value;
  bnUpdates->setVisible(!Value.empty());
}

void TdlgAbout::LoadInformation(const std::string& Filename) {
  if (GetVersionResCount(Filename) <= 0) return;
  TStringList info;
  GetVersionRes(Filename, 0, info);
  FAppVersion = DottedVersion(info.Values("ProductVersion"));
  const std::string product = info.Values("ProductName");
  setWindowTitle(ToDisplayText("About " + (FProductNameOverride.empty() ? product
                                                                         : FProductNameOverride)));
  labelProduct->setText(ToDisplayText(product));
  labelVersion->setText(ToDisplayText("Version " + FAppVersion));
  labelDescription->setText(ToDisplayText(info.Values("FileDescription") + " " +
                                          DottedVersion(info.Values("FileVersion"))));
  labelLegal->setText(
      ToDisplayText(info.Values("LegalCopyright") + "\r\n" + info.Values("LegalTrademarks")));
  FTranslators.SetText(info.Values("Translators"));
  bnTranslations->setVisible(FTranslators.Count() > 0);
}

void TdlgAbout::FormShow() {
  if (FDoLookForUpdates) bnUpdatesClick();
}

void TdlgAbout::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TdlgAbout::bnTranslationsClick() {
  std::string text;
  for (size_t i = 0; i < FTranslators.Count(); ++i)
    text += FTranslators.Names(i) + ": " + FTranslators.ValueFromIndex(i) + "\r\n";
  Dialogs().ShowMessage(this, windowTitle(), ToDisplayText(text));
}

void TdlgAbout::bnUpdatesClick() { LookForUpdates(); }

std::string TdlgAbout::UpdateAddress() const {
  std::string host = kDefaultUpdateHost;
  if (GConfigManager) GConfigManager->ReadString("UpdateHost", host);
  return "http://" + host + "/updates/" + FUpdateININame;
}

void TdlgAbout::LookForUpdates() {
  const QString caption = windowTitle();
  const auto searchFailed = [&](const std::string& why) {
    Dialogs().ShowError(this, caption,
                        ToDisplayText("An unknown error occured while trying to search for "
                                      "updates:\r\n" + why));
  };
  const auto downloadFailed = [&](const std::string& why) {
    Dialogs().ShowError(this, caption,
                        ToDisplayText("An unknown error occured while trying to download the "
                                      "update:\r\n" + why));
  };
  std::string url, localFile, fileName;
  bool installable = false;
  try {
    utInetSetUserAgent(FromDisplayText(labelProduct->text()));
    TStringList description;
    uint32_t code = 0;
    if (!utHTTPDownload(UpdateAddress(), description, code)) {
      searchFailed(WinINetErrorMessage(static_cast<int32_t>(code)));
      return;
    }
    const std::string online = description.Values("CurrentVersion");
    const std::string notice = description.Values("NotifyText");
    // Versions compare as texts in the locale's order, letter case aside:
    // "0.4.10.0" sorts before "0.4.2.0".
    if (AnsiCompareText(online, FAppVersion) <= 0) {
      Dialogs().ShowMessage(this, caption,
                            "Nothing to update - you're still using the newest version.");
      return;
    }
    const std::string offer =
        Format("There's a new version, %s, available.", {online}) + "\r\n" + notice;
    if (description.IndexOfName("URL") < 0) {
      Dialogs().ShowMessage(this, caption, ToDisplayText(offer));
      return;
    }
    url = description.Values("URL");
    // A name with a folder part, or none, would write outside the desktop.
    if (!DownloadFileName(url, fileName)) {
      searchFailed("The update's address \"" + url + "\" names no file.");
      return;
    }
    // A package or program the desktop can install or start.
    installable = EndsWith(fileName, ".deb") || EndsWith(fileName, ".AppImage");
    if (!Dialogs().Confirm(this, caption,
                           ToDisplayText(offer + "\r\n" +
                                         (installable ? "Do you want to download and install it?"
                                                      : "Do you want to download it?"))))
      return;
  } catch (const std::exception& e) {
    searchFailed(e.what());
    return;
  }
  try {
    localFile = IncludeTrailingPathDelimiter(SolveVirtualStringAnsi("<$DESKTOP>/")) + fileName;
    ForceDirectories(ExtractFilePath(localFile));
    std::ofstream file(localFile, std::ios::binary | std::ios::trunc);
    if (!file) throw std::runtime_error("Cannot create \"" + localFile + "\"");
    TutInternetHTTP http;
    // The dialog repaints and shows how far the download is.
    pbDownload->setValue(0);
    pbDownload->show();
    http.FOnProgress = [this](int64_t, int64_t, uint8_t percent) {
      pbDownload->setValue(percent);
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    const bool ok = http.Download(url, file);
    pbDownload->hide();
    file.close();
    if (!ok) {
      downloadFailed(WinINetErrorMessage(static_cast<int32_t>(http.FErrorCode)));
      return;
    }
    if (!installable) {
      Dialogs().ShowMessage(
          this, caption,
          ToDisplayText(Format("The update has been downloaded and saved as %s on your desktop.",
                               {fileName})));
      return;
    }
    if (OpenFile) OpenFile(localFile);
  } catch (const std::exception& e) {
    pbDownload->hide();
    downloadFailed(e.what());
  }
}

void ShowBRMAboutDialog(const std::string& ProductName, bool LookForUpdates, QWidget* parent) {
  TdlgAbout dialog(parent);
  dialog.FProductNameOverride = ProductName;
  dialog.SetUpdateININame(BRMAboutUpdateIniName);
  dialog.LoadInformation(GetProgramFile());
  dialog.FDoLookForUpdates = LookForUpdates;
  dialog.imgIcon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
  dialog.exec();
}

QIcon CorvinaIcon() {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(IconPixmap(size));
  return icon;
}
