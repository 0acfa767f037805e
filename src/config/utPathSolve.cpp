#include "utPathSolve.h"

#include "brmFilesPathsWinAPI.h"
#include "brmRegTools.h"
#include "utStrings.h"

namespace {

// A folder without its trailing path delimiter.
std::string NoTrailingDelimiter(std::string folder) {
  if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  return folder;
}

#define SF "Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\"

}  // namespace

const TPathSolveConfig PathSolveConfigs[kPathSolveConfigCount] = {
    {-1, "SYSDRIVE"},        {36, "WINDIR"},          {-1, "WINDIR2"},
    {37, "SYSDIR"},          {-1, "SYSDIR2"},         {20, "FONTS"},
    {3, "CONTROLS"},         {-1, "SYSCPLDIR"},       {-1, "PATH"},
    {38, "PROGRAMFILES"},    {43, "COMMONPROGRAMFILES"}, {62, "PROFILES"},
    {40, "PROFILE"},         {26, "APPDATA"},         {-1, "QUICKLAUNCH"},
    {0, "ADESKTOP"},         {16, "DESKTOP"},         {6, "FAVORITES"},
    {-1, "LOCALSETTINGS"},   {28, "LOCALAPPDATA"},    {5, "PERSONAL"},
    {12, "MYDOCUMENTS"},     {13, "MYMUSIC"},         {14, "MYVIDEO"},
    {19, "NETHOOD"},         {27, "PRINTHOOD"},       {8, "RECENT"},
    {9, "SENDTO"},           {11, "STARTMENU"},       {2, "PROGRAMS"},
    {29, "ALTSTARTUP"},      {7, "STARTUP"},          {21, "TEMPLATES"},
    {35, "COMMONAPPDATA"},   {-1, "COMMONQUICKLAUNCH"}, {25, "COMMONDESKTOP"},
    {46, "COMMONDOCUMENTS"}, {46, "COMMONDOCUMENTS"}, {53, "COMMONMUSIC"},
    {55, "COMMONVIDEO"},     {31, "COMMONFAVORITES"}, {22, "COMMONSTARTMENU"},
    {23, "COMMONPROGRAMS"},  {30, "COMMONALTSTARTUP"}, {24, "COMMONSTARTUP"},
    {45, "COMMONTEMPLATES"},
};

const TPathRegistryUpdaterRecord PathRegistryUpdaters[kPathRegistryUpdaterCount] = {
    {"<$COMMONDESKTOP>", HKEY_LOCAL_MACHINE, SF, "Common Desktop", false, false, false, "", ""},
    {"<$COMMONAPPDATA>", HKEY_LOCAL_MACHINE, SF, "Common AppData", false, false, false, "", ""},
    {"<$COMMONSTARTUP>", HKEY_LOCAL_MACHINE, SF, "Common Startup", false, false, false, "", ""},
    {"<$COMMONSTARTMENU>", HKEY_LOCAL_MACHINE, SF, "Common Start Menu", false, false, false, "",
     ""},
    {"<$COMMONPROGRAMS>", HKEY_LOCAL_MACHINE, SF, "Common Programs", false, false, false, "", ""},
    {"<$COMMONFAVORITES>", HKEY_LOCAL_MACHINE, SF, "Common Favorites", false, false, false, "",
     ""},
    {"<$COMMONTEMPLATES>", HKEY_LOCAL_MACHINE, SF, "Common Templates", false, false, false, "",
     ""},
    {"<$COMMONDOCUMENTS>", HKEY_LOCAL_MACHINE, SF, "Common Documents", false, false, false, "",
     ""},
    // Read through the software prefix like the next row; the shell's folder
    // (CSIDL 43) is what resolution uses in any case.
    {"<$COMMONPROGRAMFILES>", HKEY_LOCAL_MACHINE, "Microsoft\\Windows\\CurrentVersion\\",
     "CommonFilesDir", false, false, true, "", ""},
    {"<$PROGRAMFILES>", HKEY_LOCAL_MACHINE, "Microsoft\\Windows\\CurrentVersion\\",
     "ProgramFilesDir", false, false, true, "", ""},
    {"<$DESKTOP>", HKEY_CURRENT_USER, "Software\\" SF, "Desktop", true, true, false, "", ""},
    {"<$APPDATA>", HKEY_CURRENT_USER, "Software\\" SF, "AppData", true, true, false, "", ""},
    {"<$STARTUP>", HKEY_CURRENT_USER, "Software\\" SF, "Startup", true, true, false, "", ""},
    {"<$STARTMENU>", HKEY_CURRENT_USER, "Software\\" SF, "Start Menu", true, true, false, "", ""},
    {"<$PROGRAMS>", HKEY_CURRENT_USER, "Software\\" SF, "Programs", true, true, false, "", ""},
    {"<$FAVORITES>", HKEY_CURRENT_USER, "Software\\" SF, "Favorites", true, true, false, "", ""},
    {"<$TEMPLATES>", HKEY_CURRENT_USER, "Software\\" SF, "Templates", true, true, false, "", ""},
    {"<$PERSONAL>", HKEY_CURRENT_USER, "Software\\" SF, "Personal", true, true, false, "", ""},
    {"<$LOCALAPPDATA>", HKEY_CURRENT_USER, "Software\\" SF, "Local AppData", true, true, false, "",
     ""},
    {"<$LOCALSETTINGS>", HKEY_CURRENT_USER, "Software\\" SF, "Local Settings", true, true, false,
     "", ""},
    {"<$PATH>", HKEY_CURRENT_USER, "Environment\\", "PATH", false, true, false, "", ";"},
};

const TTemplateCopyRecord TemplateCopies[kTemplateCopyCount] = {
    {"<$COMMONALTSTARTUP>", "<$COMMONSTARTUP>"}, {"<$COMMONSTARTMENU>", "<$STARTMENU>"},
    {"<$COMMONPROGRAMS>", "<$PROGRAMS>"},        {"<$COMMONFAVORITES>", "<$FAVORITES>"},
    {"<$ALTSTARTUP>", "<$STARTUP>"},
};

TStringList GTemplateListAnsi;

void utPathSolveInit() {
  GTemplateListAnsi.Clear();
  FillStandardTemplateAnsi(GTemplateListAnsi, "", 64);
  FillStandardTemplateAnsi(GTemplateListAnsi, "", 32);
}

void UpdateTemplateFromRegistryAnsi(TStringList& AList, const std::string& ATemplate,
                                    HKEY ARootKey, const std::string& AKey,
                                    const std::string& AValue, int32_t AAccessBits,
                                    bool ValueOverride, const std::string& ASuffix,
                                    const std::string& ASeparator) {
  if (!AList.Values(ATemplate).empty() && !ValueOverride) return;
  std::string s;
  if (!utRegReadSingleString(ARootKey, AKey, AValue, s, static_cast<uint8_t>(AAccessBits))) return;
  if (!ASeparator.empty())
    if (const size_t at = s.find(ASeparator); at != std::string::npos)
      s = NoTrailingDelimiter(s.substr(0, at));
  AList.SetValue(ATemplate, NoTrailingDelimiter(s + ASuffix));
}

void UpdateTemplateFromOtherAnsi(TStringList& AList, const std::string& ATemplateTo,
                                 const std::string& ATemplateFrom) {
  if (!AList.Values(ATemplateTo).empty()) return;
  AList.SetValue(ATemplateTo, NoTrailingDelimiter(AList.Values(ATemplateFrom)));
}

void FillStandardTemplateAnsi(TStringList& ATemplateList, const std::string& Prefix,
                              int32_t AccessBits) {
  TStringList& list = ATemplateList;
  if (Prefix.empty()) {
    list.Add("<$LOCALSETTINGS>=");
    list.Add("<$WINDIR2>=" + NoTrailingDelimiter(utGetWindowsDirectoryAnsi()));
    list.Add("<$SYSDIR2>=" + NoTrailingDelimiter(utGetSystemDirectoryAnsi()));
    list.Add("<$QUICKLAUNCH>=" + utSpecialDirectoryAnsi(26) +
             "/Microsoft/Internet Explorer/Quick Launch");
    list.Add("<$COMMONQUICKLAUNCH>=" + utSpecialDirectoryAnsi(35) +
             "/Microsoft/Internet Explorer/Quick Launch");
    for (const TPathSolveConfig& c : PathSolveConfigs) {
      if (c.ID < 0) continue;
      try {
        list.Add("<$" + std::string(c.TemplateName) + ">=" +
                 utSpecialDirectoryAnsi(static_cast<uint32_t>(c.ID)));
      } catch (const std::exception&) {
      }
    }
  }
  std::string software = Prefix + "Software\\";
  if (AccessBits == 32 &&
      utRegKeyExists(HKEY_LOCAL_MACHINE, "\\" + Prefix + "Software\\Wow6432Node\\", false))
    software = Prefix + "Software\\Wow6432Node\\";
  for (const TPathRegistryUpdaterRecord& r : PathRegistryUpdaters) {
    if (r.UserSpecific && AccessBits != 32) continue;
    const std::string key = "\\" + (r.UserPrefix ? Prefix : software) + r.RegPath;
    UpdateTemplateFromRegistryAnsi(list, r.TemplateName, r.RootKey, key, r.ValueName, AccessBits,
                                   r.ValueOverride, r.Suffix, r.Separator);
  }
  for (const TTemplateCopyRecord& c : TemplateCopies)
    UpdateTemplateFromOtherAnsi(list, c.TemplateFrom, c.TemplateTo);

  list.SetValue("<$SYSDRIVE>", list.Values("<$WINDIR>").substr(0, 2));
  for (const auto& [to, from] : {std::pair<const char*, const char*>{"<$PROFILE>", "<$DESKTOP>"},
                                 {"<$PROFILES>", "<$PROFILE>"}}) {
    if (!list.Values(to).empty()) continue;
    const std::string source = list.Values(from);
    const size_t slash = source.find_last_of("/\\");
    if (slash != std::string::npos && slash > 0) list.SetValue(to, source.substr(0, slash));
  }

  const std::string nt = "\\" + Prefix + "Software\\Microsoft\\Windows NT\\CurrentVersion\\";
  const std::string win = "\\" + Prefix + "Software\\Microsoft\\Windows\\CurrentVersion\\";
  const auto fixed = [&](const char* templ, const std::string& key, const char* value,
                         const char* suffix, int32_t bits) {
    UpdateTemplateFromRegistryAnsi(list, templ, HKEY_LOCAL_MACHINE, key, value, bits, false,
                                   suffix, "");
  };
  fixed("<$WINDIR>", nt, "SystemRoot", "", 32);
  fixed("<$WINDIR>", nt, "PathName", "", 32);
  fixed("<$SYSDIR>", win + "Setup\\", "WinDir", "", 32);
  fixed("<$WINDIR>", win, "SystemRoot", "", 32);
  UpdateTemplateFromOtherAnsi(list, "<$WINDIR2>", "<$WINDIR>");
  const std::string softwareNt = "\\" + software + "Microsoft\\Windows NT\\CurrentVersion\\";
  const std::string softwareWin = "\\" + software + "Microsoft\\Windows\\CurrentVersion\\";
  fixed("<$TEMP>", softwareNt, "SystemRoot", "/Temp", AccessBits);
  fixed("<$TEMP>", softwareNt, "PathName", "/Temp", AccessBits);
  fixed("<$TEMP>", softwareWin, "SystemRoot", "/Temp", AccessBits);
  fixed("<$SYSDIR>", win + "Setup\\", "SysDir", "", 32);
  fixed("<$SYSDIR>", win + "Installer\\", "InstallerLocation", "", 32);
  UpdateTemplateFromOtherAnsi(list, "<$SYSDIR2>", "<$SYSDIR>");

  list.SetValue("<$SYSCPLDIR>", utGetSysCplNameAnsi(Prefix, list.Values("<$WINDIR>")));
  UpdateTemplateFromOtherAnsi(list, "<$CONTROLS>", "<$SYSCPLDIR>");
}

std::string SolveVirtualStringAnsi(const std::string& ATemplatedPath, const TStringList& AList) {
  std::string text = ATemplatedPath;
  const bool regexpr = StartsWith(text, "<regexpr>") || text.find("=<regexpr>") != std::string::npos;
  for (size_t i = AList.Count(); i-- > 0;) {
    const std::string templ = AList.Names(i);
    if (templ.empty() || text.find(templ) == std::string::npos) continue;
    const std::string folder = AList.ValueFromIndex(i);
    const std::string replacement = regexpr ? StringToRegExpr(folder) : folder;
    // Every occurrence, now without regard to letter case.
    std::string result;
    const std::string upperText = UpperCaseAZ(text), upperTempl = UpperCaseAZ(templ);
    size_t at = 0;
    for (size_t found; (found = upperText.find(upperTempl, at)) != std::string::npos;
         at = found + templ.size())
      result += text.substr(at, found - at) + replacement;
    text = result + text.substr(at);
  }
  return text;
}
