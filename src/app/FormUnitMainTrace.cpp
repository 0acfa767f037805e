// The main window's Trace route page: the page and the trace, hop by hop,
// with round-trip time, address and host name.
#include <QAction>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "DialogService.h"
#include "FormUnitMain.h"
#include "FormUnitMainPages.h"
#include "NetAntiFreeze.h"
#include "TraceRoute.h"
#include "utFormat.h"

namespace {

// The hop list as the trace fills it: each step is shown at once, and the
// window has its turn after it.
class TTreeTraceView : public TTraceRouteView {
 public:
  explicit TTreeTraceView(QTreeWidget* list) : list_(list) {}
  void AddHop(int hop) override {
    row_ = new QTreeWidgetItem(QStringList{QString::number(hop), "...", "...", "..."});
    row_->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    row_->setTextAlignment(2, Qt::AlignCenter);
    list_->addTopLevelItem(row_);
    list_->setCurrentItem(row_);
    list_->scrollToItem(row_);
    Show();
  }
  void SetTimeAndAddress(const std::string& time, const std::string& address) override {
    row_->setText(1, QString::fromStdString(time));
    row_->setText(2, QString::fromStdString(address));
    Show();
  }
  void SetDomain(const std::string& domain) override {
    row_->setText(3, ToDisplayText(domain));
    Show();
  }

 private:
  void Show() {
    list_->repaint();
    ProcessPendingMessages();
  }
  QTreeWidget* list_;
  QTreeWidgetItem* row_ = nullptr;
};

// What the status bar's hint says about the socket the trace used.
TMyAddedStrings SocketHint(TIcmpSocketKind kind) {
  switch (kind) {
    case TIcmpSocketKind::skRaw:
      return sTraceRouteRawSocket;
    case TIcmpSocketKind::skDatagram:
      return sTraceRouteDatagramSocket;
    case TIcmpSocketKind::skHelper:
      return sTraceRouteHelperSocket;
    case TIcmpSocketKind::skNone:
      break;
  }
  return sTraceRouteNoSocket;
}

}  // namespace

void TformMain::aTracerouteQuerySingleExecute() {
  QString text = ToDisplayText(queryStringWhois);
  // The trace's own copy: the whois dialog may replace queryStringWhois
  // while the trace waits.
  std::string target = queryStringWhois;
  if (Dialogs().InputQuery(this, "Traceroute", ToDisplayText(GetMessageStr(sTraceRouteDialogTitle)),
                           text)) {
    queryStringWhois = target = FromDisplayText(text);
    // One trace at a time: the action comes back however the trace ends.
    aTracerouteQuerySingle->setEnabled(false);
    struct TEnable {
      QAction* action;
      ~TEnable() { action->setEnabled(true); }
    } enable{aTracerouteQuerySingle};
    sbarTraceroute->SetPanelText(
        0, ToDisplayText(Format(GetMessageStr(sTraceRouteTracing), {target})));
    sbarTraceroute->repaint();
    ProcessPendingMessages();
    lvTraceroute->clear();
    TTreeTraceView view(lvTraceroute);
    TraceRoute(idIcmpClient, target, view);
    sbarTraceroute->setToolTip(ToDisplayText(GetMessageStr(SocketHint(idIcmpClient.SocketKind()))));
    if (idIcmpClient.SocketKind() == TIcmpSocketKind::skNone)
      Dialogs().ShowError(this, "Traceroute", ToDisplayText(GetMessageStr(sTraceRouteNoSocket)));
  }
  sbarTraceroute->SetPanelText(0,
                               ToDisplayText(Format(GetMessageStr(sTraceRouteFinished), {target})));
}

QWidget* TformMain::CreateTraceroutePage() {
  tabTraceroute = CreatePage("tabTraceroute", this);
  auto* layout = PageLayout(tabTraceroute);
  toolbarTraceroute = CreatePageToolBar("toolbarTraceroute", kToolButtonWidth);
  bnTracerouteQuerySingle = AddToolButton(toolbarTraceroute, "bnTracerouteQuerySingle",
                                          aTracerouteQuerySingle, kToolButtonWidth);
  layout->addWidget(toolbarTraceroute);
  lvTraceroute = CreateReportList("lvTraceroute", {"#", "Time", "IP", "Domain"}, {32, 64, 128, 0},
                                  tabTraceroute, 3);
  lvTraceroute->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvTraceroute->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  lvTraceroute->headerItem()->setTextAlignment(2, Qt::AlignCenter);
  layout->addWidget(lvTraceroute, 1);
  sbarTraceroute = new TStatusBar("sbarTraceroute", {300}, tabTraceroute);
  layout->addWidget(sbarTraceroute);
  return tabTraceroute;
}
