// Folder templates: texts may name folders as "<$NAME>" ("<$APPDATA>/",
// "<$DESKTOP>/"). One list, GTemplateListAnsi, maps every template to a
// folder of this machine; it is filled once at start.
#pragma once

#include <cstdint>
#include <string>

#include "plRegistry.h"
#include "utStringList.h"

struct TPathSolveConfig {
  int32_t ID;  // CSIDL number, -1 for none
  const char* TemplateName;
};
inline constexpr int kPathSolveConfigCount = 46;
extern const TPathSolveConfig PathSolveConfigs[kPathSolveConfigCount];

struct TPathRegistryUpdaterRecord {
  const char* TemplateName;
  HKEY RootKey;
  const char* RegPath;
  const char* ValueName;
  bool UserSpecific;
  bool UserPrefix;
  bool ValueOverride;
  const char* Suffix;
  const char* Separator;
};
inline constexpr int kPathRegistryUpdaterCount = 21;
extern const TPathRegistryUpdaterRecord PathRegistryUpdaters[kPathRegistryUpdaterCount];

struct TTemplateCopyRecord {
  const char* TemplateFrom;  // the template that is filled
  const char* TemplateTo;    // the template it is filled from
};
inline constexpr int kTemplateCopyCount = 5;
extern const TTemplateCopyRecord TemplateCopies[kTemplateCopyCount];

// The program's template list (lines "<$NAME>=folder"), made by
// utPathSolveInit at start.
extern TStringList GTemplateListAnsi;
void utPathSolveInit();

void FillStandardTemplateAnsi(TStringList& ATemplateList, const std::string& Prefix,
                              int32_t AccessBits);
void UpdateTemplateFromRegistryAnsi(TStringList& AList, const std::string& ATemplate,
                                    HKEY ARootKey, const std::string& AKey,
                                    const std::string& AValue, int32_t AAccessBits,
                                    bool ValueOverride, const std::string& ASuffix,
                                    const std::string& ASeparator);
void UpdateTemplateFromOtherAnsi(TStringList& AList, const std::string& ATemplateTo,
                                 const std::string& ATemplateFrom);
// The text with its templates replaced, the last line of a template first;
// in a "<regexpr>" rule the folders are escaped for the expression.
std::string SolveVirtualStringAnsi(const std::string& ATemplatedPath,
                                   const TStringList& AList = GTemplateListAnsi);
