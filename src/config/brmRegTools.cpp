#include "brmRegTools.h"

namespace {
// A registry object on the given root in the given view.
struct TRegAt : TMyRegistry {
  TRegAt(HKEY root, uint8_t bits) {
    SetRootKey(root);
    SetAccessBits(bits);
  }
};
}  // namespace

bool utRegWriteSingleStringByType(HKEY RootKey, const std::string& Key, const std::string& Value,
                                  const std::string& Data, TRegDataType DataType,
                                  uint8_t AccessBits) {
  TRegAt reg(RootKey, AccessBits);
  if (!reg.OpenKey(Key, true)) return false;
  switch (DataType) {
    case rdString:
      reg.WriteString(Value, Data);
      break;
    case rdExpandString:
      reg.WriteExpandString(Value, Data);
      break;
    case rdMultiString:
      reg.WriteMultiString(Value, Data);
      break;
    default:
      return false;
  }
  reg.CloseKey();
  return true;
}

bool utRegWriteSingleString(HKEY RootKey, const std::string& Key, const std::string& Value,
                            const std::string& Data, uint8_t AccessBits) {
  return utRegWriteSingleStringByType(RootKey, Key, Value, Data, rdString, AccessBits);
}

bool utRegReadSingleString(HKEY RootKey, const std::string& Key, const std::string& Value,
                           std::string& Data, uint8_t AccessBits) {
  TRegAt reg(RootKey, AccessBits);
  if (!reg.OpenKeyReadOnly(Key, false, false)) return false;
  switch (reg.GetDataType(Value)) {
    case rdString:
    case rdExpandString:
      Data = reg.ReadString(Value);
      return true;
    case rdMultiString:
      Data = reg.ReadMultiString(Value);
      return true;
    default:
      return false;
  }
}

bool utRegWriteSingleInteger(HKEY RootKey, const std::string& Key, const std::string& Value,
                             int32_t Data, uint8_t AccessBits) {
  TRegAt reg(RootKey, AccessBits);
  if (!reg.OpenKey(Key, true)) return false;
  reg.WriteInteger(Value, Data);
  reg.CloseKey();
  return true;
}

bool utRegKeyExists(HKEY RootKey, const std::string& Key, bool Lookup64Bit) {
  try {
    TRegAt reg(RootKey, Lookup64Bit ? 64 : 32);
    return reg.KeyExists(Key);
  } catch (const std::exception&) {
    return false;
  }
}
