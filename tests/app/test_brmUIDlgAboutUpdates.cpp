#include <gtest/gtest.h>

#include "LoopbackServer.h"
#include "RegistrySandbox.h"
#include "ScriptedDialogs.h"
#include "brmConfig.h"
#include "brmUIDlgAbout.h"
#include "utFiles.h"
#include "utPathSolve.h"

namespace {

// The about dialog of a program at version 0.4.2.0, asking a loopback
// update server, with a desktop folder of the test's own.
struct TUpdateCheck {
  TRegistrySandbox box;
  TBRMConfigManager config;
  TScriptedDialogs dialogs;
  TTempFolder home;
  std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  std::vector<std::string> opened;
  TdlgAbout dialog;
  explicit TUpdateCheck(const TLoopbackServer& server) {
    config.SetProductName("Corvina");
    GConfigManager = &config;
    config.WriteString("UpdateHost", "127.0.0.1:" + std::to_string(server.Port()), false);
    ::setenv("HOME", home.Path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home.Path() + ".config").c_str(), 1);
    utPathSolveInit();
    dialog.SetUpdateININame("corvina.ini");
    dialog.FAppVersion = "0.4.2.0";
    dialog.OpenFile = [this](const std::string& file) { opened.push_back(file); };
  }
  ~TUpdateCheck() {
    GConfigManager = nullptr;
    ::setenv("HOME", oldHome.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    utPathSolveInit();
  }
  std::string Desktop() const { return home.Path() + "Desktop/"; }
};

// A server that answers the description, then the file.
TLoopbackServer::THandler UpdateServer(const std::string& description, int fileStatus = 200) {
  return [=](int fd, const std::string& request, int) {
    const bool file = request.find("/updates/") == std::string::npos;
    SkipHttpHeaders(fd);
    const std::string body = file ? std::string("PACKAGE BYTES") : description;
    SendAll(fd, "HTTP/1.1 " + std::to_string(file ? fileStatus : 200) + " X\r\nContent-Length: " +
                    std::to_string(body.size()) + "\r\n\r\n" + body);
  };
}

}  // namespace

TEST(UpdateCheck, VersionsCompareAsTextsAndAreOfferedWithOrWithoutAnAddress) {
  const struct {
    std::string description, message;
  } cases[] = {
      {"CurrentVersion=0.4.2.0", "Nothing to update - you're still using the newest version."},
      {"CurrentVersion=0.4.10.0", "Nothing to update - you're still using the newest version."},
      {"NotifyText=x", "Nothing to update - you're still using the newest version."},
      {"CurrentVersion=0.4.3.0\r\nNotifyText=Faster traces",
       "There's a new version, 0.4.3.0, available.\r\nFaster traces"},
  };
  for (const auto& c : cases) {
    TLoopbackServer server(UpdateServer(c.description));
    TUpdateCheck check(server);
    check.dialog.LookForUpdates();
    ASSERT_EQ(check.dialogs.messages.size(), 1) << c.description;
    EXPECT_TRUE(check.dialogs.messages[0].endsWith(QString::fromStdString(c.message)))
        << check.dialogs.messages[0].toStdString();
    EXPECT_EQ(server.Requests().at(0), "GET /updates/corvina.ini HTTP/1.1");
  }
}

TEST(UpdateCheck, DownloadsToTheDesktopAndOpensPackages) {
  {
    // The description names a package on a second loopback server.
    TLoopbackServer files(UpdateServer(""));
    TLoopbackServer description(UpdateServer("CurrentVersion=0.4.3.0\r\nNotifyText=N\r\nURL=http://127.0.0.1:" +
                                             std::to_string(files.Port()) + "/dl/corvina_0.4.3.deb"));
    TUpdateCheck check(description);
    check.dialogs.confirms.push_back(true);
    check.dialog.LookForUpdates();
    ASSERT_GE(check.dialogs.messages.size(), 1);
    EXPECT_TRUE(check.dialogs.messages[0].endsWith(
        "There's a new version, 0.4.3.0, available.\r\nN\r\nDo you want to download and install it?"));
    EXPECT_EQ(ReadFileBytes(check.Desktop() + "corvina_0.4.3.deb"), "PACKAGE BYTES");
    EXPECT_EQ(check.opened, std::vector<std::string>{check.Desktop() + "corvina_0.4.3.deb"});
  }
  {
    TLoopbackServer files(UpdateServer(""));
    TLoopbackServer description(UpdateServer("CurrentVersion=0.5\r\nURL=http://127.0.0.1:" +
                                             std::to_string(files.Port()) + "/dl/corvina.zip"));
    TUpdateCheck check(description);
    check.dialogs.confirms.push_back(true);
    check.dialog.LookForUpdates();
    ASSERT_EQ(check.dialogs.messages.size(), 2);
    EXPECT_TRUE(check.dialogs.messages[0].endsWith("Do you want to download it?"));
    EXPECT_TRUE(check.dialogs.messages[1].endsWith(
        "The update has been downloaded and saved as corvina.zip on your desktop."));
    EXPECT_TRUE(check.opened.empty());
  }
  {
    // No: nothing is downloaded. A 404 file: the error, and the empty file stays.
    TLoopbackServer files(UpdateServer("", 404));
    TLoopbackServer description(UpdateServer("CurrentVersion=0.5\r\nURL=http://127.0.0.1:" +
                                             std::to_string(files.Port()) + "/dl/c.deb"));
    TUpdateCheck check(description);
    check.dialogs.confirms = {false, true};
    check.dialog.LookForUpdates();
    EXPECT_FALSE(FileExists(check.Desktop() + "c.deb"));
    check.dialog.LookForUpdates();
    EXPECT_TRUE(check.dialogs.messages.last().endsWith(
        "An unknown error occured while trying to download the update:\r\nFile not found on "
        "server!"));
  }
  {
    // An address whose file name would leave the desktop is refused.
    TLoopbackServer description(UpdateServer("CurrentVersion=0.5\r\nURL=http://h/dl/.."));
    TUpdateCheck check(description);
    check.dialogs.confirms.push_back(true);
    check.dialog.LookForUpdates();
    EXPECT_TRUE(check.dialogs.messages.last().contains("names no file"));
  }
}

TEST(UpdateCheck, AServerThatCannotBeAskedIsAnError) {
  TLoopbackServer unused(UpdateServer(""));
  TUpdateCheck check(unused);
  check.config.WriteString("UpdateHost", "127.0.0.1:" + std::to_string(UnusedLoopbackPort()), false);
  check.dialog.LookForUpdates();
  ASSERT_EQ(check.dialogs.messages.size(), 1);
  EXPECT_TRUE(check.dialogs.messages[0].endsWith(
      "An unknown error occured while trying to search for updates:\r\nCould not connect to "
      "server!"));
}
