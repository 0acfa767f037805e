// The registry of this platform: our own RegOpenKeyExA, RegCreateKeyExA,
// RegCloseKey, RegFlushKey, RegQueryValueExA, RegSetValueExA, RegEnumKeyExA
// and RegQueryInfoKeyA, with the handles, access masks, view bits, error
// codes and type codes of Windows, over hives kept in SQLite files:
// HKEY_CURRENT_USER per user, HKEY_LOCAL_MACHINE machine-wide. HKEY_USERS
// lists ".DEFAULT" (empty) and the current user's key, which is
// HKEY_CURRENT_USER. HKEY_CLASSES_ROOT is empty.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using HKEY = uintptr_t;
using LONG = int32_t;
using DWORD = uint32_t;
using REGSAM = uint32_t;
using BYTE = uint8_t;

struct FILETIME {
  DWORD dwLowDateTime = 0;
  DWORD dwHighDateTime = 0;
};

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr HKEY HKEY_USERS = 0x80000003;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
inline constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
inline constexpr REGSAM STANDARD_RIGHTS_READ = 0x20000;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
inline constexpr DWORD REG_LINK = 6;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_RESOURCE_LIST = 8;
inline constexpr DWORD REG_FULL_RESOURCE_DESCRIPTOR = 9;
inline constexpr DWORD REG_RESOURCE_REQUIREMENTS_LIST = 10;
inline constexpr DWORD REG_QWORD = 11;
inline constexpr DWORD REG_QWORD_LITTLE_ENDIAN = 11;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

LONG RegOpenKeyExA(HKEY hKey, const char* lpSubKey, DWORD ulOptions, REGSAM samDesired,
                   HKEY* phkResult);
LONG RegCreateKeyExA(HKEY hKey, const char* lpSubKey, DWORD Reserved, const char* lpClass,
                     DWORD dwOptions, REGSAM samDesired, const void* lpSecurityAttributes,
                     HKEY* phkResult, DWORD* lpdwDisposition);
LONG RegCloseKey(HKEY hKey);
LONG RegFlushKey(HKEY hKey);
LONG RegQueryValueExA(HKEY hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType,
                      BYTE* lpData, DWORD* lpcbData);
LONG RegSetValueExA(HKEY hKey, const char* lpValueName, DWORD Reserved, DWORD dwType,
                    const BYTE* lpData, DWORD cbData);
LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, char* lpName, DWORD* lpcchName, DWORD* lpReserved,
                   char* lpClass, DWORD* lpcchClass, FILETIME* lpftLastWriteTime);
LONG RegQueryInfoKeyA(HKEY hKey, char* lpClass, DWORD* lpcchClass, DWORD* lpReserved,
                      DWORD* lpcSubKeys, DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen,
                      DWORD* lpcValues, DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen,
                      DWORD* lpcbSecurityDescriptor, FILETIME* lpftLastWriteTime);

// Where the hives are kept: userFolder holds HKEY_CURRENT_USER, machineFolder
// HKEY_LOCAL_MACHINE. Without a call, the XDG locations are used
// ($XDG_CONFIG_HOME/Brenmoor/ and /etc/xdg/Brenmoor/). Open handles become
// invalid.
void SetRegistryStoreLocation(const std::string& userFolder, const std::string& machineFolder);
// The default locations.
std::string DefaultUserRegistryFolder();
std::string DefaultMachineRegistryFolder();
// Problems met while opening the store (a damaged file set aside), each
// reported once: the call empties the list.
std::vector<std::string> TakeRegistryStoreProblems();
// The name of the current user's key below HKEY_USERS ("S-1-22-1-" + uid).
std::string CurrentUserSid();

// Sees the access mask of every open and create call, for tests: a result
// other than ERROR_SUCCESS makes the call fail with that code.
void SetRegistryAccessObserver(std::function<LONG(const char* function, REGSAM mask)> observer);
