#include "MainDataFolder.h"

#include "utFiles.h"
#include "utIniFile.h"

std::string ChooseDataFolder(const std::string& appPathFixed, const std::string& appDataFolder) {
  const TIniDocument ini = TIniDocument::FromFile(appPathFixed + "Toolbench.ini");
  if (ini.ReadInteger("Corvina", "BartPE", 0) == 1)
    return IncludeTrailingPathDelimiter(appDataFolder);
  return appPathFixed;
}
