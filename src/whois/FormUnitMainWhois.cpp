// The main window's whois lookup: the "Query domain..." action and the
// lookup that shows, stores and saves its report.
#include <QApplication>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTabWidget>
#include <exception>

#include "DialogService.h"
#include "FormUnitMain.h"
#include "WhoisQuery.h"
#include "WhoisServerList.h"
#include "utFiles.h"
#include "utFormat.h"
#include "utStrings.h"

void TformMain::LoadWhoisServerTable() {
  try {
    LoadWhoisServerList(appPathFixed, *FWhoIsServerList);
  } catch (const EFileError& e) {
    // An unreadable table is reported once; every domain then goes to the
    // default registry server.
    FWhoIsServerList->Clear();
    Dialogs().ShowError(this, "Whois", QString::fromStdString(e.what()));
  }
}

std::string TformMain::WhoisGetServer(std::string_view domain) const {
  return ::WhoisGetServer(*FWhoIsServerList, domain);
}

std::string TformMain::MakeCleanFilename(std::string_view filename) {
  return ::MakeCleanFilename(filename);
}

TWhoisLookup TformMain::WhoisLookup() {
  return TWhoisLookup(idWhoIs, [this](std::string_view domain, std::string_view host) {
    sbarWhois->SetPanelText(0, ToDisplayText(Format(GetMessageStr(sWhoIsTrying), {domain, host})));
    sbarWhois->repaint();
    QApplication::processEvents();
  });
}

void TformMain::WhoisAttachQuery(std::string_view domain, std::deque<std::string>& list,
                                 std::string& report) {
  WhoisLookup().WhoisAttachQuery(domain, list, report);
}

// The domain is the lookup's own copy: the dialog of a lookup started while
// this one waits replaces queryStringWhois.
void TformMain::WhoisProcessQuery(const std::string domain) {
  pcWhoIs->setTabText(pcWhoIs->indexOf(tabWhoIsCurrent), ToDisplayText(domain));
  const std::string header = WhoisReportHeader(GetMessageStr(sWhoIsHeader), domain, Now());
  const std::string report = WhoisLookup().Run(domain, header);

  memoWhois->appendPlainText(CrLfTextToDisplayText(report));

  // The cache stores the lookup before the file is written; a cache that
  // fails must not cost the report file, so its error is passed on after it.
  std::exception_ptr cacheError;
  if (FWhoIsCache && FWhoIsCacheProblem.empty()) {
    try {
      FWhoIsCache->AddDomainInfo(domain, std::string_view(report), Now());
    } catch (const std::exception&) {
      cacheError = std::current_exception();
    }
  }
  SaveWhoisReport(WhoisReportFileName(appPathData, domain), report);
  if (cacheError) std::rethrow_exception(cacheError);
}

void TformMain::aWhoisQuerySingleExecute() {
  QString text = ToDisplayText(queryStringWhois);
  // This lookup's own copy: a lookup started while this one waits replaces
  // queryStringWhois.
  std::string domain = queryStringWhois;
  if (Dialogs().InputQuery(this, "Whois", ToDisplayText(GetMessageStr(sWhoIsDialogDomainTitle)),
                           text)) {
    queryStringWhois = domain = FromDisplayText(text);
    idWhoIs.Host = WhoisGetServer(LowerCaseAZ(domain));
    memoWhois->clear();
    memoWhois->repaint();
    QApplication::processEvents();
    WhoisProcessQuery(domain);
  }
  sbarWhois->SetPanelText(0, ToDisplayText(Format(GetMessageStr(sWhoIsFinished), {domain})));
  pcWhoIs->setCurrentWidget(tabWhoIsCurrent);
}
