// Version information of program files. On this platform a program carries
// its VS_VERSIONINFO block (the Windows layout: a fixed part and UTF-16
// string tables) in an ELF section of its own, ".corvina_version", which the
// build makes from the project version. The three reading functions keep
// the Windows names and behaviour; strings come back as UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "utStringList.h"

inline constexpr const char* kVersionSectionName = ".corvina_version";

struct TLangAndCodepage {
  uint16_t wLanguage;
  uint16_t wCodepage;
};

// What a version block holds: file and product version numbers (four parts
// each), one translation and its strings.
struct TVersionInfoSource {
  uint16_t fileVersion[4] = {};
  uint16_t productVersion[4] = {};
  TLangAndCodepage translation{0x1809, 0x04E4};
  std::vector<std::pair<std::string, std::string>> strings;  // UTF-8
};

// The VS_VERSIONINFO bytes of a source.
std::vector<uint8_t> MakeVersionInfoBlock(const TVersionInfoSource& source);

// The size of a file's version block, or 0 when it has none (or the file
// cannot be read, or is not an ELF file).
uint32_t GetFileVersionInfoSizeA(const std::string& lptstrFilename, uint32_t* lpdwHandle);
// Reads the block into lpData (dwLen bytes at most); false when it cannot.
bool GetFileVersionInfoA(const std::string& lptstrFilename, uint32_t dwHandle, uint32_t dwLen,
                         void* lpData);
// A value of the block by its path, parts separated by backslashes (empty
// parts skipped, so a doubled separator counts once): the root gives the
// fixed part, VarFileInfo/Translation the translations, and
// StringFileInfo/<lang><codepage>/<name> a string (UTF-8, ending in a zero
// byte).
bool VerQueryValueA(const void* pBlock, const std::string& lpSubBlock, const void** lplpBuffer,
                    uint32_t* puLen);

// Four upper-case hexadecimal digits, high byte first.
std::string WordToHex(uint16_t value);
int32_t GetVersionResCount(const std::string& FileName);
// Appends "name=value" for FileVersion, CompanyName, InternalName, Comments,
// LegalCopyright, LegalTrademarks, OriginalFilename, ProductName,
// ProductVersion, FileDescription, PrivateBuild, SpecialBuild and, when not
// empty, Translators.
bool GetVersionRes(const std::string& FileName, int32_t Index, TStringList& List);
