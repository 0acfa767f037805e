// Registry access: TRegistry holds one open key, resolves relative and
// absolute key paths and reads and writes strings and integers; TMyRegistry
// adds the 32-bit and 64-bit views, every value kind, multi-strings, a
// read-only opening that keeps the view, and subkey names by their length.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "plRegistry.h"
#include "utStringList.h"

class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum TRegDataType {
  rdUnknown = 0,
  rdNone = 1,
  rdString = 2,
  rdExpandString = 3,
  rdBinary = 4,
  rdInteger = 5,
  rdLittleEndianInteger = 6,
  rdBigEndianInteger = 7,
  rdLink = 8,
  rdMultiString = 9,
  rdResourceList = 10,
  rdFullResourceDescriptor = 11,
  rdResourceRequirementsList = 12,
  rdInt64 = 13,
  rdLittleEndianInt64 = 14,
  rdCardinal = 15,
};

enum TRegAccessBits { rabGlobal = 0, rab32 = 1, rab64 = 2 };

inline constexpr REGSAM kViewBits = KEY_WOW64_64KEY | KEY_WOW64_32KEY;
inline constexpr REGSAM kKeyReadLevel2 =
    STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;

struct TRegDataInfo {
  TRegDataType RegData = rdUnknown;
  int32_t RegDataID = 0;
  int32_t DataSize = 0;
};

struct TRegKeyInfo {
  int32_t NumSubKeys = 0, MaxSubKeyLen = 0, NumValues = 0, MaxValueLen = 0, MaxDataLen = 0;
  FILETIME FileTime;
};

DWORD RegDataToDataType(TRegDataType value);
TRegDataType DataTypeToRegData(DWORD value);
// A path is absolute when it begins with "\".
bool IsRelative(const std::string& key);

class TRegistry {
 public:
  TRegistry() = default;
  virtual ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY CurrentKey = 0;
  bool LazyWrite = true;
  std::string CurrentPath;
  bool CloseRootKey = false;
  REGSAM Access = KEY_ALL_ACCESS;

  HKEY RootKey() const { return rootKey_; }
  void SetRootKey(HKEY value);

  bool OpenKey(const std::string& Key, bool CanCreate);
  bool OpenKeyReadOnly(const std::string& Key);
  void CloseKey();

  bool GetDataInfo(const std::string& ValueName, TRegDataInfo& Value);
  int32_t GetDataSize(const std::string& ValueName);
  TRegDataType GetDataType(const std::string& ValueName);
  bool ValueExists(const std::string& Name);
  bool GetKeyInfo(TRegKeyInfo& Value);
  void GetKeyNames(TStringList& Strings);

  std::string ReadString(const std::string& Name);
  int32_t ReadInteger(const std::string& Name);
  void WriteString(const std::string& Name, const std::string& Value);
  void WriteExpandString(const std::string& Name, const std::string& Value);
  void WriteInteger(const std::string& Name, int32_t Value);

 protected:
  HKEY GetBaseKey(bool Relative) const;
  // Makes a newly opened handle the open key (the path as the caller gave it).
  void ChangeKey(HKEY Value, const std::string& Path, bool Relative);
  // Type and size of a value, its kind read back from every type code.
  bool QueryDataInfo(const std::string& ValueName, TRegDataInfo& Value);
  // The value's bytes into the buffer; raises "Failed to get data for '%s'".
  int32_t ReadRaw(const std::string& Name, void* Buffer, int32_t BufSize, DWORD& Type);
  // Raises "Failed to set data for '%s'".
  void WriteRaw(const std::string& Name, const void* Buffer, int32_t BufSize, DWORD Type);
  // The path without its leading "\" when it is absolute.
  static std::string StripPath(const std::string& Key, bool Relative);
  void ListKeyNames(TStringList& Strings, bool ByLength);

 private:
  HKEY rootKey_ = HKEY_CURRENT_USER;
};

class TMyRegistry : public TRegistry {
 public:
  TMyRegistry() = default;

  uint8_t AccessBits = 32;
  TRegAccessBits AccessBitsEx = rabGlobal;

  virtual void SetAccessBits(uint8_t Value);
  REGSAM GetBitDependedAM(REGSAM Mask) const;
  HKEY GetBaseKey(bool Relative) const { return TRegistry::GetBaseKey(Relative); }
  HKEY GetKey(const std::string& Key);

  bool OpenKey(const std::string& Key, bool CanCreate);
  bool OpenKeyReadOnly(const std::string& Key, bool RelativeOverride, bool RelativeNewValue);
  bool KeyExists(const std::string& Key);
  bool GetKeyInfo(TRegKeyInfo& Value) { return TRegistry::GetKeyInfo(Value); }
  void GetKeyNames(TStringList& Strings) { ListKeyNames(Strings, true); }
  bool GetDataInfo(const std::string& ValueName, TRegDataInfo& Value);
  TRegDataType GetDataType(const std::string& ValueName);
  int32_t GetData(const std::string& Name, void* Buffer, int32_t BufSize, TRegDataType& RegData);
  void PutData(const std::string& Name, const void* Buffer, int32_t BufSize, TRegDataType RegData);
  std::string ReadMultiString(const std::string& Name);
  void WriteMultiString(const std::string& Name, const std::string& Value);

 private:
  // Access made to fit the view: no 64-bit bit in the 32-bit setting; the
  // 64-bit bit and no 32-bit bit in the 64-bit setting.
  void AlignAccess();
};
