#include "brmUIDlgAbout.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

#include "DialogService.h"
#include "Widgets.h"
#include "brmPEVersions.h"
#include "plPaths.h"
#include "utStrings.h"

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

void TdlgAbout::bnUpdatesClick() {
  // The update check arrives with the update download; until then the
  // button is not shown (the main window passes no update name).
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
