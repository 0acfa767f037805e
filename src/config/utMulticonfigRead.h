// Chained registry reads: a value is looked for below several root keys and
// paths, and the one found last wins (the first root key added has the last
// word, and within a root the last path).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plRegistry.h"
#include "utStringList.h"

class TMultiConfigReader {
 public:
  TStringList RegistryPaths;

  int32_t AddRootKey(HKEY ARootKey);
  int32_t GetRootKeyCount() const { return static_cast<int32_t>(rootKeys_.size()); }
  HKEY GetRootKeys(int32_t AIndex) const { return rootKeys_.at(static_cast<size_t>(AIndex)); }

  // REG_DWORD values only; AData keeps the caller's value when none is found.
  bool ReadInteger(const std::string& AValue, int32_t& AData);
  // REG_SZ values only (REG_EXPAND_SZ is passed over).
  bool ReadString(const std::string& AValue, std::string& AName);

 private:
  std::vector<HKEY> rootKeys_;
};

bool utMultiRegReadSingleInteger(const std::vector<HKEY>& RootKeys,
                                 const std::vector<std::string>& Keys, const std::string& Value,
                                 int32_t& Data);
bool utMultiRegReadSingleString(const std::vector<HKEY>& RootKeys,
                                const std::vector<std::string>& Keys, const std::string& Value,
                                std::string& Data);

// The subkeys of HKEY_USERS, filled at start by utMulticonfigReadInit.
extern TStringList GUsers;
void utMulticonfigReadInit();
void utMulticonfigReadFinalize();
