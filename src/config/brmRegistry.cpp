#include "brmRegistry.h"

#include <vector>

#include "utFormat.h"
#include "utStrings.h"

namespace {

bool IsPlainKind(TRegDataType t) {
  return t == rdUnknown || t == rdString || t == rdExpandString || t == rdBinary || t == rdInteger;
}

[[noreturn]] void Raise(const char* format, const std::string& name) {
  throw ERegistryException(Format(format, {name}));
}

}  // namespace

DWORD RegDataToDataType(TRegDataType value) {
  switch (value) {
    case rdString:
      return REG_SZ;
    case rdExpandString:
      return REG_EXPAND_SZ;
    case rdBinary:
      return REG_BINARY;
    case rdInteger:
    case rdLittleEndianInteger:
    case rdCardinal:
      return REG_DWORD;
    case rdBigEndianInteger:
      return REG_DWORD_BIG_ENDIAN;
    case rdLink:
      return REG_LINK;
    case rdMultiString:
      return REG_MULTI_SZ;
    case rdResourceList:
      return REG_RESOURCE_LIST;
    case rdFullResourceDescriptor:
      return REG_FULL_RESOURCE_DESCRIPTOR;
    case rdResourceRequirementsList:
      return REG_RESOURCE_REQUIREMENTS_LIST;
    case rdInt64:
    case rdLittleEndianInt64:
      return REG_QWORD;
    default:
      return REG_NONE;
  }
}

TRegDataType DataTypeToRegData(DWORD value) {
  switch (value) {
    case REG_NONE:
      return rdNone;
    case REG_SZ:
      return rdString;
    case REG_EXPAND_SZ:
      return rdExpandString;
    case REG_BINARY:
      return rdBinary;
    case REG_DWORD:
      return rdInteger;
    case REG_DWORD_BIG_ENDIAN:
      return rdBigEndianInteger;
    case REG_LINK:
      return rdLink;
    case REG_MULTI_SZ:
      return rdMultiString;
    case REG_RESOURCE_LIST:
      return rdResourceList;
    case REG_FULL_RESOURCE_DESCRIPTOR:
      return rdFullResourceDescriptor;
    case REG_RESOURCE_REQUIREMENTS_LIST:
      return rdResourceRequirementsList;
    case REG_QWORD:
      return rdInt64;
    default:
      return rdUnknown;
  }
}

bool IsRelative(const std::string& key) { return key.empty() || key[0] != '\\'; }

// --- TRegistry -------------------------------------------------------------

TRegistry::~TRegistry() {
  CloseKey();
  if (CloseRootKey) RegCloseKey(rootKey_);
}

void TRegistry::SetRootKey(HKEY value) {
  if (value == rootKey_) return;
  if (CloseRootKey) {
    RegCloseKey(rootKey_);
    CloseRootKey = false;
  }
  rootKey_ = value;
  CloseKey();
}

HKEY TRegistry::GetBaseKey(bool Relative) const {
  return (CurrentKey != 0 && Relative) ? CurrentKey : rootKey_;
}

std::string TRegistry::StripPath(const std::string& Key, bool Relative) {
  return Relative ? Key : Key.substr(1);
}

void TRegistry::ChangeKey(HKEY Value, const std::string& Path, bool Relative) {
  const bool wasOpen = CurrentKey != 0;
  const std::string path = (Relative && wasOpen) ? CurrentPath + "\\" + Path : Path;
  CloseKey();
  CurrentKey = Value;
  CurrentPath = path;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
  const bool relative = IsRelative(Key);
  const std::string path = StripPath(Key, relative);
  HKEY key = 0;
  LONG rc;
  if (!CanCreate || path.empty()) {
    rc = RegOpenKeyExA(GetBaseKey(relative), path.c_str(), 0, Access, &key);
  } else {
    DWORD disposition = 0;
    rc = RegCreateKeyExA(GetBaseKey(relative), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         Access, nullptr, &key, &disposition);
  }
  if (rc != ERROR_SUCCESS) return false;
  ChangeKey(key, path, relative);
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key) {
  const bool relative = IsRelative(Key);
  const std::string path = StripPath(Key, relative);
  for (const REGSAM mask : {KEY_READ, kKeyReadLevel2, KEY_QUERY_VALUE}) {
    HKEY key = 0;
    if (RegOpenKeyExA(GetBaseKey(relative), path.c_str(), 0, mask, &key) == ERROR_SUCCESS) {
      Access = mask;
      ChangeKey(key, path, relative);
      return true;
    }
  }
  return false;
}

void TRegistry::CloseKey() {
  if (CurrentKey == 0) return;
  if (!LazyWrite) RegFlushKey(CurrentKey);
  RegCloseKey(CurrentKey);
  CurrentKey = 0;
  CurrentPath.clear();
}

bool TRegistry::QueryDataInfo(const std::string& ValueName, TRegDataInfo& Value) {
  Value = {};
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(CurrentKey, ValueName.c_str(), nullptr, &type, nullptr, &size) !=
      ERROR_SUCCESS)
    return false;
  Value.RegData = DataTypeToRegData(type);
  Value.RegDataID = static_cast<int32_t>(type);
  Value.DataSize = static_cast<int32_t>(size);
  return true;
}

bool TRegistry::GetDataInfo(const std::string& ValueName, TRegDataInfo& Value) {
  if (!QueryDataInfo(ValueName, Value)) return false;
  // The plain registry knows strings, expandable strings, integers and
  // binary data; every other kind is unknown to it.
  if (!IsPlainKind(Value.RegData)) Value.RegData = rdUnknown;
  return true;
}

int32_t TRegistry::GetDataSize(const std::string& ValueName) {
  TRegDataInfo info;
  return TRegistry::GetDataInfo(ValueName, info) ? info.DataSize : -1;
}

TRegDataType TRegistry::GetDataType(const std::string& ValueName) {
  TRegDataInfo info;
  return TRegistry::GetDataInfo(ValueName, info) ? info.RegData : rdUnknown;
}

bool TRegistry::ValueExists(const std::string& Name) {
  TRegDataInfo info;
  return TRegistry::GetDataInfo(Name, info);
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& Value) {
  Value = {};
  DWORD subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueLen = 0, maxDataLen = 0;
  if (RegQueryInfoKeyA(CurrentKey, nullptr, nullptr, nullptr, &subKeys, &maxSubKeyLen, nullptr,
                       &values, &maxValueLen, &maxDataLen, nullptr,
                       &Value.FileTime) != ERROR_SUCCESS)
    return false;
  // The system code page is UTF-8, not a double-byte one: lengths stay as
  // reported.
  Value.NumSubKeys = static_cast<int32_t>(subKeys);
  Value.MaxSubKeyLen = static_cast<int32_t>(maxSubKeyLen);
  Value.NumValues = static_cast<int32_t>(values);
  Value.MaxValueLen = static_cast<int32_t>(maxValueLen);
  Value.MaxDataLen = static_cast<int32_t>(maxDataLen);
  return true;
}

void TRegistry::GetKeyNames(TStringList& Strings) { ListKeyNames(Strings, false); }

void TRegistry::ListKeyNames(TStringList& Strings, bool ByLength) {
  Strings.Clear();
  TRegKeyInfo info;
  if (!TRegistry::GetKeyInfo(info)) return;
  std::vector<char> buffer(static_cast<size_t>(info.MaxSubKeyLen) + 1);
  for (int32_t i = 0; i < info.NumSubKeys; ++i) {
    DWORD length = static_cast<DWORD>(buffer.size());
    // An index whose subkey went away meanwhile adds nothing.
    if (RegEnumKeyExA(CurrentKey, static_cast<DWORD>(i), buffer.data(), &length, nullptr, nullptr,
                      nullptr, nullptr) != ERROR_SUCCESS)
      continue;
    Strings.Add(ByLength ? std::string(buffer.data(), length) : std::string(buffer.data()));
  }
}

int32_t TRegistry::ReadRaw(const std::string& Name, void* Buffer, int32_t BufSize, DWORD& Type) {
  DWORD size = static_cast<DWORD>(BufSize < 0 ? 0 : BufSize);
  if (RegQueryValueExA(CurrentKey, Name.c_str(), nullptr, &Type, static_cast<BYTE*>(Buffer),
                       &size) != ERROR_SUCCESS)
    Raise("Failed to get data for '%s'", Name);
  return static_cast<int32_t>(size);
}

void TRegistry::WriteRaw(const std::string& Name, const void* Buffer, int32_t BufSize, DWORD Type) {
  if (RegSetValueExA(CurrentKey, Name.c_str(), 0, Type, static_cast<const BYTE*>(Buffer),
                     static_cast<DWORD>(BufSize)) != ERROR_SUCCESS)
    Raise("Failed to set data for '%s'", Name);
}

std::string TRegistry::ReadString(const std::string& Name) {
  const int32_t size = GetDataSize(Name);
  if (size <= 0) return "";
  std::string text(static_cast<size_t>(size), '\0');
  DWORD type = 0;
  const int32_t read = ReadRaw(Name, text.data(), size, type);
  if (type != REG_SZ && type != REG_EXPAND_SZ) Raise("Invalid data type for '%s'", Name);
  text.resize(static_cast<size_t>(read));
  if (const size_t zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
  return text;
}

int32_t TRegistry::ReadInteger(const std::string& Name) {
  int32_t value = 0;
  DWORD type = 0;
  ReadRaw(Name, &value, sizeof value, type);
  if (type != REG_DWORD) Raise("Invalid data type for '%s'", Name);
  return value;
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
  WriteRaw(Name, Value.c_str(), static_cast<int32_t>(Value.size() + 1), REG_SZ);
}

void TRegistry::WriteExpandString(const std::string& Name, const std::string& Value) {
  WriteRaw(Name, Value.c_str(), static_cast<int32_t>(Value.size() + 1), REG_EXPAND_SZ);
}

void TRegistry::WriteInteger(const std::string& Name, int32_t Value) {
  WriteRaw(Name, &Value, sizeof Value, REG_DWORD);
}

// --- TMyRegistry -----------------------------------------------------------

void TMyRegistry::SetAccessBits(uint8_t Value) {
  if (Value != 32 && Value != 64)
    throw std::runtime_error("Windows Registry only supported with 32 or 64 bits!");
  AccessBits = Value;
  AlignAccess();
  AccessBitsEx = Value == 32 ? rab32 : rab64;
}

void TMyRegistry::AlignAccess() {
  if (AccessBits == 64)
    Access = (Access & ~KEY_WOW64_32KEY) | KEY_WOW64_64KEY;
  else
    Access &= ~KEY_WOW64_64KEY;
}

REGSAM TMyRegistry::GetBitDependedAM(REGSAM Mask) const {
  return AccessBits == 64 ? (Mask | KEY_WOW64_64KEY) : Mask;
}

HKEY TMyRegistry::GetKey(const std::string& Key) {
  const bool relative = IsRelative(Key);
  HKEY key = 0;
  if (RegOpenKeyExA(GetBaseKey(relative), StripPath(Key, relative).c_str(), 0, Access, &key) !=
      ERROR_SUCCESS)
    return 0;
  return key;
}

bool TMyRegistry::OpenKey(const std::string& Key, bool CanCreate) {
  AlignAccess();
  return TRegistry::OpenKey(Key, CanCreate);
}

bool TMyRegistry::OpenKeyReadOnly(const std::string& Key, bool RelativeOverride,
                                  bool RelativeNewValue) {
  const REGSAM saved = Access;
  const bool relative = RelativeOverride ? RelativeNewValue : IsRelative(Key);
  const std::string path = RelativeOverride ? Key : StripPath(Key, relative);
  bool opened = false;
  for (const REGSAM level : {KEY_READ, kKeyReadLevel2, KEY_QUERY_VALUE}) {
    HKEY key = 0;
    if (RegOpenKeyExA(GetBaseKey(relative), path.c_str(), 0,
                      GetBitDependedAM((saved & kViewBits) | level), &key) == ERROR_SUCCESS) {
      ChangeKey(key, path, relative);
      opened = true;
      break;
    }
  }
  Access = saved;
  return opened;
}

bool TMyRegistry::KeyExists(const std::string& Key) {
  const REGSAM saved = Access;
  Access = GetBitDependedAM((saved & kViewBits) | kKeyReadLevel2);
  HKEY key = 0;
  try {
    key = GetKey(Key);
    if (key) RegCloseKey(key);
  } catch (...) {
    Access = saved;
    throw;
  }
  Access = saved;
  return key != 0;
}

bool TMyRegistry::GetDataInfo(const std::string& ValueName, TRegDataInfo& Value) {
  return QueryDataInfo(ValueName, Value);
}

TRegDataType TMyRegistry::GetDataType(const std::string& ValueName) {
  TRegDataInfo info;
  return GetDataInfo(ValueName, info) ? info.RegData : rdUnknown;
}

int32_t TMyRegistry::GetData(const std::string& Name, void* Buffer, int32_t BufSize,
                             TRegDataType& RegData) {
  DWORD type = 0;
  const int32_t size = ReadRaw(Name, Buffer, BufSize, type);
  if (!IsPlainKind(RegData)) {
    const TRegDataType stored = DataTypeToRegData(type);
    const bool keepDword =
        (RegData == rdCardinal || RegData == rdLittleEndianInteger) && stored == rdInteger;
    if (!keepDword) RegData = stored;
  }
  return size;
}

void TMyRegistry::PutData(const std::string& Name, const void* Buffer, int32_t BufSize,
                          TRegDataType RegData) {
  WriteRaw(Name, Buffer, BufSize, RegDataToDataType(RegData));
}

std::string TMyRegistry::ReadMultiString(const std::string& Name) {
  const int32_t n = GetDataSize(Name);
  if (n <= 0) return "";
  std::string text(static_cast<size_t>(n), '\0');
  TRegDataType kind = rdMultiString;
  text.resize(static_cast<size_t>(GetData(Name, text.data(), n, kind)));
  // From the end towards the start, every zero but the last byte becomes
  // CR LF.
  for (size_t i = text.size(); i-- > 0;)
    if (text[i] == '\0' && i + 1 < text.size()) {
      text[i] = '\r';
      text.insert(i + 1, 1, '\n');
    }
  if (kind != rdMultiString) Raise("Invalid data type for '%s'", Name);
  if (const size_t zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
  return text;
}

void TMyRegistry::WriteMultiString(const std::string& Name, const std::string& Value) {
  std::string data = ReplaceAll(Value, "\r\n", std::string(1, '\0'));
  data += '\0';
  PutData(Name, data.data(), static_cast<int32_t>(data.size()), rdMultiString);
}
