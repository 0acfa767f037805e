#include "utMulticonfigRead.h"

#include "brmRegistry.h"

TStringList GUsers;

namespace {

// Visits every root (last added first), prefix and path; read() runs on each
// key that opens and holds the value with the wanted type.
template <class TRead>
bool ChainedRead(const std::vector<HKEY>& roots, const TStringList& paths, const std::string& value,
                 DWORD type, TRead read) {
  TRegistry reg;
  bool found = false;
  for (auto root = roots.rbegin(); root != roots.rend(); ++root) {
    reg.SetRootKey(*root);
    std::vector<std::string> prefixes{""};
    if (*root == HKEY_USERS) {
      prefixes.clear();
      for (const std::string& user : GUsers.Lines()) prefixes.push_back("\\" + user);
    }
    for (const std::string& prefix : prefixes)
      for (const std::string& path : paths.Lines()) {
        if (!reg.OpenKeyReadOnly(prefix + path)) continue;
        TRegDataInfo info;
        if (reg.GetDataInfo(value, info) && static_cast<DWORD>(info.RegDataID) == type) {
          read(reg);
          found = true;
        }
        reg.CloseKey();
      }
  }
  return found;
}

}  // namespace

int32_t TMultiConfigReader::AddRootKey(HKEY ARootKey) {
  rootKeys_.push_back(ARootKey);
  return GetRootKeyCount() - 1;
}

bool TMultiConfigReader::ReadInteger(const std::string& AValue, int32_t& AData) {
  return ChainedRead(rootKeys_, RegistryPaths, AValue, REG_DWORD,
                     [&](TRegistry& reg) { AData = reg.ReadInteger(AValue); });
}

bool TMultiConfigReader::ReadString(const std::string& AValue, std::string& AName) {
  return ChainedRead(rootKeys_, RegistryPaths, AValue, REG_SZ,
                     [&](TRegistry& reg) { AName = reg.ReadString(AValue); });
}

namespace {
TMultiConfigReader MakeReader(const std::vector<HKEY>& roots,
                              const std::vector<std::string>& keys) {
  TMultiConfigReader reader;
  for (const HKEY root : roots) reader.AddRootKey(root);
  for (const std::string& key : keys) reader.RegistryPaths.Add(key);
  return reader;
}
}  // namespace

bool utMultiRegReadSingleInteger(const std::vector<HKEY>& RootKeys,
                                 const std::vector<std::string>& Keys, const std::string& Value,
                                 int32_t& Data) {
  return MakeReader(RootKeys, Keys).ReadInteger(Value, Data);
}

bool utMultiRegReadSingleString(const std::vector<HKEY>& RootKeys,
                                const std::vector<std::string>& Keys, const std::string& Value,
                                std::string& Data) {
  return MakeReader(RootKeys, Keys).ReadString(Value, Data);
}

void utMulticonfigReadInit() {
  GUsers.Clear();
  TRegistry reg;
  reg.SetRootKey(HKEY_USERS);
  if (reg.OpenKeyReadOnly("\\")) {
    reg.GetKeyNames(GUsers);
    reg.CloseKey();
  }
}

void utMulticonfigReadFinalize() { GUsers.Clear(); }
