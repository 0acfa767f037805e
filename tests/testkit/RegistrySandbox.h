// A registry store of the test's own, with a record of the access masks
// that open and create calls received and masks the store refuses (view
// bits aside).
#pragma once

#include <set>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "plRegistry.h"

struct TRegistrySandbox {
  TTempFolder dir;
  std::vector<REGSAM> masks;
  std::set<REGSAM> refused;
  TRegistrySandbox() {
    SetRegistryStoreLocation(UserFolder(), MachineFolder());
    SetRegistryAccessObserver([this](const char*, REGSAM mask) -> LONG {
      masks.push_back(mask);
      return refused.count(mask & ~REGSAM{0x300}) ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
  }
  ~TRegistrySandbox() {
    SetRegistryAccessObserver({});
    SetRegistryStoreLocation(UserFolder() + "closed/", MachineFolder() + "closed/");
  }
  std::string UserFolder() const { return dir.Path() + "user/"; }
  std::string MachineFolder() const { return dir.Path() + "machine/"; }
};
