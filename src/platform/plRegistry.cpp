#include "plRegistry.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "plLiveSystemHive.h"
#include "plPaths.h"
#include "plRegistryHive.h"

namespace {

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = std::min(path.find('\\', start), path.size());
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// What a handle stands for.
struct TKeyRef {
  enum TKind { kHive, kUsersRoot, kEmpty, kLive } kind = kEmpty;
  TRegistryHive* hive = nullptr;
  bool machine = false;
  int64_t id = TRegistryHive::kRoot;
  std::vector<std::string> path;  // below the hive's root
  // A key of the tree made from the running machine (kind kLive), kept alive
  // with the tree it belongs to.
  std::shared_ptr<const TLiveKey> live;
};

// True for a path of HKEY_LOCAL_MACHINE below SYSTEM\CurrentControlSet.
bool IsLivePath(const std::vector<std::string>& full);

struct TOpenKey {
  TKeyRef ref;
  REGSAM access = 0;
  // The subkey names of an enumeration, read afresh when it starts at index 0.
  std::vector<std::string> enumeration;
};

constexpr REGSAM kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK;

struct TRegistryState {
  std::mutex mutex;
  std::string userFolder, machineFolder;
  bool located = false;
  std::unique_ptr<TRegistryHive> user, machine;
  std::map<HKEY, TOpenKey> handles;
  HKEY nextHandle = 0x1000;
  std::vector<std::string> problems;
  std::function<LONG(const char*, REGSAM)> observer;

  TRegistryHive& Hive(bool machineHive) {
    if (!located) {
      userFolder = DefaultUserRegistryFolder();
      machineFolder = DefaultMachineRegistryFolder();
      located = true;
    }
    auto& hive = machineHive ? machine : user;
    if (!hive) {
      hive = std::make_unique<TRegistryHive>(
          (machineHive ? machineFolder : userFolder) +
              (machineHive ? "HKEY_LOCAL_MACHINE.sqlite" : "HKEY_CURRENT_USER.sqlite"),
          !machineHive);
      if (!hive->Problem().empty()) problems.push_back(hive->Problem());
    }
    return *hive;
  }

  std::optional<TOpenKey> Lookup(HKEY key) {
    // A predefined root: the root of a hive, or one of the keys made up here.
    const auto root = [](TKeyRef::TKind kind, TRegistryHive* hive, bool machine, REGSAM access) {
      TOpenKey open;
      open.ref.kind = kind;
      open.ref.hive = hive;
      open.ref.machine = machine;
      open.access = access;
      return open;
    };
    switch (key) {
      case HKEY_CURRENT_USER:
        return root(TKeyRef::kHive, &Hive(false), false, KEY_ALL_ACCESS);
      case HKEY_LOCAL_MACHINE:
        return root(TKeyRef::kHive, &Hive(true), true, KEY_ALL_ACCESS);
      case HKEY_USERS:
        return root(TKeyRef::kUsersRoot, nullptr, false, KEY_READ);
      case HKEY_CLASSES_ROOT:
        return root(TKeyRef::kEmpty, nullptr, false, KEY_READ);
      default:
        break;
    }
    const auto it = handles.find(key);
    if (it == handles.end()) return std::nullopt;
    return it->second;
  }

  // The open key behind a handle when the handle grants the needed rights;
  // otherwise rc says why not.
  std::optional<TOpenKey> LookupWithRights(HKEY key, REGSAM needed, LONG& rc) {
    auto open = Lookup(key);
    rc = !open                               ? ERROR_INVALID_HANDLE
         : (open->access & needed) != needed ? ERROR_ACCESS_DENIED
                                             : ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS) open.reset();
    return open;
  }

  LONG Open(const char* function, HKEY base, const char* subKey, REGSAM sam, bool create,
            HKEY* result, DWORD* disposition);
};

TRegistryState& State() {
  static TRegistryState state;
  return state;
}

LONG TRegistryState::Open(const char* function, HKEY base, const char* subKey, REGSAM sam,
                          bool create, HKEY* result, DWORD* disposition) {
  if (observer)
    if (const LONG denied = observer(function, sam); denied != ERROR_SUCCESS) return denied;
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = 0;
  const auto from = Lookup(base);
  if (!from) return ERROR_INVALID_HANDLE;
  std::vector<std::string> parts = SplitPath(subKey ? subKey : "");
  TKeyRef ref = from->ref;

  if (ref.kind == TKeyRef::kUsersRoot && !parts.empty()) {
    if (SameName(parts.front(), CurrentUserSid())) {
      ref = {TKeyRef::kHive, &Hive(false), false, TRegistryHive::kRoot, {}, {}};
    } else if (SameName(parts.front(), ".DEFAULT")) {
      ref = {TKeyRef::kEmpty, nullptr, false, TRegistryHive::kRoot, {}, {}};
    } else {
      return ERROR_FILE_NOT_FOUND;
    }
    parts.erase(parts.begin());
  }
  if (ref.kind != TKeyRef::kHive) {
    if (!parts.empty()) return create ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;
  } else {
    std::vector<std::string> full = ref.path;
    full.insert(full.end(), parts.begin(), parts.end());
    // The 32-bit view of HKEY_LOCAL_MACHINE\Software is its Wow6432Node.
    if (ref.machine && (sam & KEY_WOW64_32KEY) && !full.empty() && SameName(full[0], "Software") &&
        (full.size() < 2 || !SameName(full[1], "Wow6432Node")))
      full.insert(full.begin() + 1, "Wow6432Node");
    // SYSTEM\CurrentControlSet comes from the running machine and cannot be
    // written.
    if (ref.machine && IsLivePath(full)) {
      if (std::shared_ptr<const TLiveKey> tree = CurrentLiveHive()) {
        if (create || (sam & kWriteRights)) return ERROR_ACCESS_DENIED;
        const TLiveKey* node = tree.get();
        for (size_t i = 2; i < full.size() && node; ++i) node = node->Find(full[i]);
        if (!node) return ERROR_FILE_NOT_FOUND;
        ref.kind = TKeyRef::kLive;
        ref.live = std::shared_ptr<const TLiveKey>(tree, node);
        ref.path = std::move(full);
        const HKEY handle = nextHandle;
        nextHandle += 4;
        handles[handle] = {std::move(ref), sam, {}};
        *result = handle;
        if (disposition) *disposition = REG_OPENED_EXISTING_KEY;
        return ERROR_SUCCESS;
      }
    }
    if ((sam & kWriteRights) && !ref.hive->Writable()) return ERROR_ACCESS_DENIED;
    int64_t id = TRegistryHive::kRoot;
    bool anyCreated = false;
    for (const std::string& part : full) {
      std::optional<int64_t> next;
      if (create) {
        bool created = false;
        next = ref.hive->CreateSubKey(id, part, created);
        anyCreated = anyCreated || created;
        if (!next) return ERROR_ACCESS_DENIED;
      } else {
        next = ref.hive->FindSubKey(id, part);
        if (!next) return ERROR_FILE_NOT_FOUND;
      }
      id = *next;
    }
    ref.id = id;
    ref.path = std::move(full);
    if (disposition) *disposition = anyCreated ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  }
  const HKEY handle = nextHandle;
  nextHandle += 4;
  handles[handle] = {std::move(ref), sam, {}};
  *result = handle;
  return ERROR_SUCCESS;
}

bool IsLivePath(const std::vector<std::string>& full) {
  return full.size() >= 2 && SameName(full[0], "SYSTEM") && SameName(full[1], "CurrentControlSet");
}

std::vector<std::string> SubKeyNames(const TKeyRef& ref) {
  switch (ref.kind) {
    case TKeyRef::kUsersRoot:
      return {".DEFAULT", CurrentUserSid()};
    case TKeyRef::kEmpty:
      return {};
    case TKeyRef::kLive: {
      std::vector<std::string> names;
      for (const auto& [folded, key] : ref.live->subkeys) names.push_back(key->name);
      return names;
    }
    case TKeyRef::kHive:
      break;
  }
  std::vector<std::string> names;
  for (auto& [name, id] : ref.hive->SubKeys(ref.id)) names.push_back(name);
  return names;
}

void ToFileTime(int64_t t, FILETIME* ft) {
  if (!ft) return;
  ft->dwLowDateTime = static_cast<DWORD>(t & 0xFFFFFFFF);
  ft->dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(t) >> 32);
}

}  // namespace

std::string CurrentUserSid() { return "S-1-22-1-" + std::to_string(::getuid()); }

std::string DefaultUserRegistryFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/Brenmoor/";
  return GetHomeFolder() + ".config/Brenmoor/";
}

std::string DefaultMachineRegistryFolder() { return "/etc/xdg/Brenmoor/"; }

void SetRegistryStoreLocation(const std::string& userFolder, const std::string& machineFolder) {
  TRegistryState& s = State();
  std::lock_guard lock(s.mutex);
  s.handles.clear();
  s.user.reset();
  s.machine.reset();
  s.userFolder = userFolder;
  s.machineFolder = machineFolder;
  s.located = true;
}

std::vector<std::string> TakeRegistryStoreProblems() {
  TRegistryState& s = State();
  std::lock_guard lock(s.mutex);
  s.Hive(false);
  s.Hive(true);
  return std::exchange(s.problems, {});
}

void SetRegistryAccessObserver(std::function<LONG(const char*, REGSAM)> observer) {
  TRegistryState& s = State();
  std::lock_guard lock(s.mutex);
  s.observer = std::move(observer);
}

LONG RegOpenKeyExA(HKEY hKey, const char* lpSubKey, DWORD, REGSAM samDesired, HKEY* phkResult) {
  TRegistryState& s = State();
  std::lock_guard lock(s.mutex);
  return s.Open("RegOpenKeyExA", hKey, lpSubKey, samDesired, false, phkResult, nullptr);
}

LONG RegCreateKeyExA(HKEY hKey, const char* lpSubKey, DWORD, const char*, DWORD, REGSAM samDesired,
                     const void*, HKEY* phkResult, DWORD* lpdwDisposition) {
  TRegistryState& s = State();
  std::lock_guard lock(s.mutex);
  return s.Open("RegCreateKeyExA", hKey, lpSubKey, samDesired, true, phkResult, lpdwDisposition);
}

LONG RegCloseKey(HKEY hKey) {
  TRegistryState& s = State();
  std::lock_guard lock(s.mutex);
  if (hKey >= HKEY_CLASSES_ROOT && hKey <= HKEY_USERS) return ERROR_SUCCESS;
  return s.handles.erase(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegFlushKey(HKEY hKey) {
  // Every change is committed when it is made.
  TRegistryState& s = State();
  std::lock_guard lock(s.mutex);
  return s.Lookup(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueExA(HKEY hKey, const char* lpValueName, DWORD*, DWORD* lpType, BYTE* lpData,
                      DWORD* lpcbData) {
  TRegistryState& s = State();
  std::lock_guard lock(s.mutex);
  LONG rc = ERROR_SUCCESS;
  const auto key = s.LookupWithRights(hKey, KEY_QUERY_VALUE, rc);
  if (!key) return rc;
  if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
  std::optional<THiveValue> value;
  if (key->ref.kind == TKeyRef::kLive) {
    if (const TLiveValue* live = key->ref.live->Value(lpValueName ? lpValueName : ""))
      value = THiveValue{live->type, live->data};
  } else if (key->ref.kind == TKeyRef::kHive) {
    value = key->ref.hive->GetValue(key->ref.id, lpValueName ? lpValueName : "");
  }
  if (!value) return ERROR_FILE_NOT_FOUND;
  if (lpType) *lpType = value->type;
  const auto size = static_cast<DWORD>(value->data.size());
  if (lpData) {
    if (*lpcbData < size) {
      *lpcbData = size;
      return ERROR_MORE_DATA;
    }
    std::memcpy(lpData, value->data.data(), size);
  }
  if (lpcbData) *lpcbData = size;
  return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY hKey, const char* lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
  TRegistryState& s = State();
  std::lock_guard lock(s.mutex);
  LONG rc = ERROR_SUCCESS;
  const auto key = s.LookupWithRights(hKey, KEY_SET_VALUE, rc);
  if (!key) return rc;
  if (key->ref.kind != TKeyRef::kHive) return ERROR_ACCESS_DENIED;
  if (!lpData && cbData > 0) return ERROR_INVALID_PARAMETER;
  THiveValue value{dwType, std::string(reinterpret_cast<const char*>(lpData), lpData ? cbData : 0)};
  return key->ref.hive->SetValue(key->ref.id, lpValueName ? lpValueName : "", value)
             ? ERROR_SUCCESS
             : ERROR_ACCESS_DENIED;
}

LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, char* lpName, DWORD* lpcchName, DWORD*, char* lpClass,
                   DWORD* lpcchClass, FILETIME* lpftLastWriteTime) {
  TRegistryState& s = State();
  std::lock_guard lock(s.mutex);
  LONG rc = ERROR_SUCCESS;
  const auto key = s.LookupWithRights(hKey, KEY_ENUMERATE_SUB_KEYS, rc);
  if (!key) return rc;
  if (!lpName || !lpcchName) return ERROR_INVALID_PARAMETER;
  // An enumeration asks for index 0, 1, 2 ...: the names are listed once for
  // it instead of once per index.
  const auto open = s.handles.find(hKey);
  std::vector<std::string> listed;
  std::vector<std::string>* cached = open != s.handles.end() ? &open->second.enumeration : &listed;
  if (dwIndex == 0 || cached->empty()) *cached = SubKeyNames(key->ref);
  const std::vector<std::string>& names = *cached;
  if (dwIndex >= names.size()) return ERROR_NO_MORE_ITEMS;
  const std::string& name = names[dwIndex];
  if (name.size() + 1 > *lpcchName) return ERROR_MORE_DATA;
  std::memcpy(lpName, name.c_str(), name.size() + 1);
  *lpcchName = static_cast<DWORD>(name.size());
  if (lpClass && lpcchClass && *lpcchClass > 0) lpClass[0] = '\0';
  if (lpcchClass) *lpcchClass = 0;
  if (lpftLastWriteTime) {
    int64_t written = 0;
    if (key->ref.kind == TKeyRef::kHive)
      if (const auto id = key->ref.hive->FindSubKey(key->ref.id, name))
        written = key->ref.hive->LastWrite(*id);
    ToFileTime(written, lpftLastWriteTime);
  }
  return ERROR_SUCCESS;
}

LONG RegQueryInfoKeyA(HKEY hKey, char* lpClass, DWORD* lpcchClass, DWORD*, DWORD* lpcSubKeys,
                      DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen, DWORD* lpcValues,
                      DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen,
                      DWORD* lpcbSecurityDescriptor, FILETIME* lpftLastWriteTime) {
  TRegistryState& s = State();
  std::lock_guard lock(s.mutex);
  LONG rc = ERROR_SUCCESS;
  const auto key = s.LookupWithRights(hKey, KEY_QUERY_VALUE, rc);
  if (!key) return rc;
  THiveKeyInfo info;
  if (key->ref.kind == TKeyRef::kHive) {
    info = key->ref.hive->KeyInfo(key->ref.id);
  } else if (key->ref.kind == TKeyRef::kLive) {
    for (const auto& [folded, sub] : key->ref.live->subkeys) {
      ++info.subKeys;
      info.maxSubKeyLen = std::max(info.maxSubKeyLen, static_cast<uint32_t>(sub->name.size()));
    }
    for (const auto& [name, value] : key->ref.live->values) {
      ++info.values;
      info.maxValueNameLen = std::max(info.maxValueNameLen, static_cast<uint32_t>(name.size()));
      info.maxValueLen = std::max(info.maxValueLen, static_cast<uint32_t>(value.data.size()));
    }
  } else {
    for (const std::string& name : SubKeyNames(key->ref)) {
      ++info.subKeys;
      info.maxSubKeyLen = std::max(info.maxSubKeyLen, static_cast<uint32_t>(name.size()));
    }
  }
  if (lpClass && lpcchClass && *lpcchClass > 0) lpClass[0] = '\0';
  if (lpcchClass) *lpcchClass = 0;
  if (lpcSubKeys) *lpcSubKeys = info.subKeys;
  if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = info.maxSubKeyLen;
  if (lpcbMaxClassLen) *lpcbMaxClassLen = 0;
  if (lpcValues) *lpcValues = info.values;
  if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = info.maxValueNameLen;
  if (lpcbMaxValueLen) *lpcbMaxValueLen = info.maxValueLen;
  if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
  ToFileTime(info.lastWrite, lpftLastWriteTime);
  return ERROR_SUCCESS;
}
