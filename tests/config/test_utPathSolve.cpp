#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "RegistrySandbox.h"
#include "brmFilesPathsWinAPI.h"
#include "brmRegTools.h"
#include "utPathSolve.h"
#include "utStrings.h"

namespace {

// A home folder of the test's own, with the XDG variables pointing into it.
struct THome {
  TTempFolder dir;
  TRegistrySandbox registry;
  std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  THome() {
    ::setenv("HOME", dir.Path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir.Path() + ".config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir.Path() + "data").c_str(), 1);
    ::unsetenv("XDG_DATA_DIRS");
    dir.Write(".config/user-dirs.dirs",
              "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
              "XDG_DOCUMENTS_DIR=\"/srv/docs/\"\n");
    utPathSolveInit();
  }
  ~THome() {
    ::setenv("HOME", oldHome.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_DATA_HOME");
  }
  std::string Home() const { return dir.Path().substr(0, dir.Path().size() - 1); }
};

}  // namespace

TEST(PathTemplates, TheMachinesFoldersFromXdgAndTheHomeFolder) {
  THome home;
  const struct {
    std::string text, result;
  } cases[] = {
      {"<$DESKTOP>/", home.Home() + "/Schreibtisch/"},
      {"<$ADESKTOP>", home.Home() + "/Schreibtisch"},
      {"<$PERSONAL>/x", "/srv/docs/x"},
      {"<$MYMUSIC>", home.Home() + "/Music"},
      {"<$APPDATA>/", home.Home() + "/data/"},
      {"<$LOCALAPPDATA>", home.Home() + "/data"},
      {"<$PROFILE>", home.Home()},
      {"<$COMMONAPPDATA>", "/usr/share"},
      {"<$WINDIR>/<$WINDIR>", "/usr//usr"},
      {"<$WINDIR2>|<$SYSDIR>|<$SYSDIR2>", "/usr|/usr/lib|/usr/lib"},
      {"<$SYSDRIVE>", "/u"},
      // Templates are recognised as written in the list only.
      {"<$desktop>/x", "<$desktop>/x"},
      {"<$NOSUCH>", "<$NOSUCH>"},
      // Their last line is the empty one of the second pass; a number
      // without a folder here (NETHOOD) is empty too.
      {"[<$LOCALSETTINGS>]", "[]"},
      {"[<$CONTROLS>]", "[]"},
      {"[<$NETHOOD>]", "[]"},
  };
  for (const auto& c : cases) EXPECT_EQ(SolveVirtualStringAnsi(c.text), c.result) << c.text;
  EXPECT_EQ(SpecialDirectoryAnsi(3), "");
  EXPECT_EQ(utSpecialDirectoryAnsi(36), "/usr");
}

TEST(PathTemplates, RegistrySourcesCopiesAndPinnedFolders) {
  TRegistrySandbox registry;
  TStringList list;
  list.Add("<$WINDIR>=C:\\WINDOWS");
  list.Add("<$DESKTOP>=C:\\Documents and Settings\\User\\Desktop");
  list.Add("<$STARTUP>=C:\\S");
  // A prefix of its own: no shell block, only the registry, the copies and
  // the derived templates.
  FillStandardTemplateAnsi(list, "Pinned\\", 32);
  EXPECT_EQ(list.Values("<$SYSDRIVE>"), "C:");
  EXPECT_EQ(list.Values("<$WINDIR2>"), "C:\\WINDOWS");
  EXPECT_EQ(list.Values("<$PROFILE>"), "C:\\Documents and Settings\\User");
  EXPECT_EQ(list.Values("<$PROFILES>"), "C:\\Documents and Settings");
  EXPECT_EQ(list.Values("<$ALTSTARTUP>"), "C:\\S");
  EXPECT_EQ(list.Values("<$SYSCPLDIR>"), "C:\\WINDOWS/Systemsteuerung");

  // A registry value with a separator and a trailing delimiter.
  utRegWriteSingleString(HKEY_CURRENT_USER, "\\Environment\\", "PATH", "C:\\Bin\\;C:\\Other", 32);
  TStringList path;
  UpdateTemplateFromRegistryAnsi(path, "<$PATH>", HKEY_CURRENT_USER, "\\Environment\\", "PATH", 32,
                                 false, "", ";");
  EXPECT_EQ(path.Values("<$PATH>"), "C:\\Bin");
  // Set already, and no override: unchanged.
  UpdateTemplateFromRegistryAnsi(path, "<$PATH>", HKEY_CURRENT_USER, "\\Environment\\", "PATH", 32,
                                 false, "\\x", "");
  EXPECT_EQ(path.Values("<$PATH>"), "C:\\Bin");
}

TEST(PathTemplates, RegularExpressionRulesGetEscapedFoldersAndTheLastLineWins) {
  TStringList list;
  list.Add("<$PF>=first");
  list.Add("<$PF>=C:\\Program Files (x86)");
  EXPECT_EQ(SolveVirtualStringAnsi("<regexpr><$PF>\\a", list),
            "<regexpr>C:\\\\Program Files \\(x86\\)\\a");
  EXPECT_EQ(SolveVirtualStringAnsi("mask=<regexpr><$PF>", list),
            "mask=<regexpr>C:\\\\Program Files \\(x86\\)");
  EXPECT_EQ(SolveVirtualStringAnsi("<$PF> and <$pf>", list),
            "C:\\Program Files (x86) and C:\\Program Files (x86)");
  EXPECT_EQ(StringToRegExpr("a.b(c)\\d"), "a\\.b\\(c\\)\\\\d");
}
