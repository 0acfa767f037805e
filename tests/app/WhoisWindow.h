// The main window with a server table that sends ".test" domains to a
// loopback whois server, in program and data folders of the test's own.
#pragma once

#include <cstdlib>
#include <functional>
#include <memory>

#include "FormUnitMain.h"
#include "utPathSolve.h"
#include "LoopbackServer.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"

inline const std::string kAnswer = "Domain Name: EXAMPLE.TEST\nRegistrant: M\xfcller\n";

struct TWhoisWindow {
  TTempFolder program, appData;
  TLoopbackServer server{TLoopbackServer::Answer(kAnswer)};
  TScriptedDialogs dialogs;
  std::unique_ptr<TformMain> form;
  // prepare runs on the program folder before the window is created.
  explicit TWhoisWindow(const std::function<void(TTempFolder&)>& prepare = {}) {
    ::setenv("XDG_DATA_HOME", appData.Path().c_str(), 1);
    // The folder templates are made at start, as the program makes them.
    utPathSolveInit();
    program.Write("whois-servers.lst", ".test | 127.0.0.1\n");
    if (prepare) prepare(program);
    form = std::make_unique<TformMain>(program.Path());
    form->idWhoIs.Port = server.Port();
  }
  ~TWhoisWindow() {
    form.reset();
    ::unsetenv("XDG_DATA_HOME");
  }
  QString Status() const { return form->sbarWhois->PanelText(0); }
  void Lookup(const QString& domain) {
    dialogs.inputs.push_back(domain);
    form->aWhoisQuerySingle->trigger();
  }
};
