#include <gtest/gtest.h>

#include "ErrorOf.h"
#include "RegistrySandbox.h"
#include "brmRegTools.h"
#include "brmRegistry.h"
#include "utMulticonfigRead.h"

namespace {

// Writes raw bytes with a type code below HKEY_CURRENT_USER\Test.
void PutRaw(const std::string& name, DWORD type, const std::string& bytes) {
  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Test", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

std::string GetRaw(const std::string& name, DWORD* type = nullptr) {
  HKEY key = 0;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Test", 0, KEY_READ, &key) != ERROR_SUCCESS) return "?";
  std::string data(256, '\0');
  DWORD size = static_cast<DWORD>(data.size());
  const LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, type,
                                   reinterpret_cast<BYTE*>(data.data()), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return "?";
  data.resize(size);
  return data;
}

}  // namespace

TEST(RegistryViews, MasksCarryTheViewBitsOfTheSetting) {
  TRegistrySandbox box;
  TMyRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Corvina", true));
  reg.OpenKeyReadOnly("\\Software\\Corvina", false, false);
  reg.KeyExists("\\Software\\Corvina");
  for (const REGSAM m : box.masks) EXPECT_EQ(m & kViewBits, 0u) << std::hex << m;

  box.masks.clear();
  reg.SetAccessBits(64);
  EXPECT_EQ(reg.AccessBitsEx, rab64);
  ASSERT_TRUE(reg.OpenKey("\\Software\\Corvina", true));
  reg.OpenKeyReadOnly("\\Software\\Corvina", false, false);
  reg.KeyExists("\\Software\\Corvina");
  EXPECT_EQ(box.masks.size(), 3u);
  for (const REGSAM m : box.masks) EXPECT_EQ(m & kViewBits, KEY_WOW64_64KEY) << std::hex << m;

  box.masks.clear();
  reg.SetAccessBits(32);
  EXPECT_EQ(reg.AccessBitsEx, rab32);
  ASSERT_TRUE(reg.OpenKey("\\Software\\Corvina", true));
  reg.OpenKeyReadOnly("\\Software\\Corvina", false, false);
  reg.KeyExists("\\Software\\Corvina");
  for (const REGSAM m : box.masks) EXPECT_EQ(m & KEY_WOW64_64KEY, 0u) << std::hex << m;

  EXPECT_EQ(ErrorOf([&] { reg.SetAccessBits(16); }),
            "Windows Registry only supported with 32 or 64 bits!");
  EXPECT_EQ(reg.AccessBits, 32);
}

TEST(RegistryViews, The32BitViewOfMachineSoftwareIsItsWow6432Node) {
  TRegistrySandbox box;
  ASSERT_TRUE(utRegWriteSingleString(HKEY_LOCAL_MACHINE, "\\Software\\Vendor", "v", "native", 64));
  {
    TMyRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    reg.Access |= KEY_WOW64_32KEY;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Vendor", true));
    reg.WriteString("v", "32-bit");
  }
  std::string data;
  EXPECT_TRUE(utRegReadSingleString(HKEY_LOCAL_MACHINE, "\\Software\\Vendor", "v", data, 64));
  EXPECT_EQ(data, "native");
  EXPECT_TRUE(
      utRegReadSingleString(HKEY_LOCAL_MACHINE, "\\Software\\Wow6432Node\\Vendor", "v", data, 32));
  EXPECT_EQ(data, "32-bit");
}

TEST(RegistryAccess, ReadOnlyOpeningFallsBackAndLeavesAccessAsTheClassSays) {
  TRegistrySandbox box;
  ASSERT_TRUE(utRegWriteSingleString(HKEY_CURRENT_USER, "\\Software\\K", "v", "x", 32));
  const struct {
    std::set<REGSAM> refused;
    bool opens;
    REGSAM plainAccess;  // TRegistry's Access afterwards
  } cases[] = {{{}, true, KEY_READ},
               {{KEY_READ}, true, kKeyReadLevel2},
               {{KEY_READ, kKeyReadLevel2}, true, KEY_QUERY_VALUE},
               {{KEY_READ, kKeyReadLevel2, KEY_QUERY_VALUE}, false, KEY_ALL_ACCESS}};
  for (const auto& c : cases) {
    box.refused = c.refused;
    TRegistry plain;
    EXPECT_EQ(plain.OpenKeyReadOnly("\\Software\\K"), c.opens);
    EXPECT_EQ(plain.Access, c.plainAccess);
    TMyRegistry mine;
    mine.SetAccessBits(64);
    const REGSAM before = mine.Access;
    EXPECT_EQ(mine.OpenKeyReadOnly("\\Software\\K", false, false), c.opens);
    EXPECT_EQ(mine.Access, before);
  }
}

TEST(RegistryAccess, RelativeAndAbsolutePaths) {
  TRegistrySandbox box;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software", true));
  EXPECT_EQ(reg.CurrentPath, "Software");
  ASSERT_TRUE(reg.OpenKey("Sub", true));
  EXPECT_EQ(reg.CurrentPath, "Software\\Sub");
  reg.WriteString("where", "relative");
  ASSERT_TRUE(reg.OpenKey("\\System\\X", true));
  EXPECT_EQ(reg.CurrentPath, "System\\X");
  // A failed opening keeps the open key.
  EXPECT_FALSE(reg.OpenKey("\\Missing\\Key", false));
  EXPECT_EQ(reg.CurrentPath, "System\\X");
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\software\\SUB"));
  EXPECT_EQ(reg.ReadString("WHERE"), "relative");
  reg.CloseKey();
  EXPECT_EQ(reg.CurrentKey, 0u);
  EXPECT_EQ(reg.CurrentPath, "");
}

TEST(RegistryValues, MultiStringsByteByByte) {
  TRegistrySandbox box;
  const std::pair<std::string, std::string> reads[] = {
      {std::string("a\0b\0\0", 5), "a\r\nb\r\n"},
      {std::string("a\0b\0", 4), "a\r\nb"},
      {std::string("\0", 1), ""},
      {std::string("\0\0", 2), "\r\n"},
  };
  TMyRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Test", true));
  for (const auto& [bytes, text] : reads) {
    PutRaw("m", REG_MULTI_SZ, bytes);
    EXPECT_EQ(reg.ReadMultiString("m"), text);
  }
  const std::pair<std::string, std::string> writes[] = {
      {"a\r\nb\r\n", std::string("a\0b\0\0", 5)},
      {"a\r\nb", std::string("a\0b\0", 4)},
      {"", std::string("\0", 1)},
  };
  for (const auto& [text, bytes] : writes) {
    reg.WriteMultiString("m", text);
    DWORD type = 0;
    EXPECT_EQ(GetRaw("m", &type), bytes);
    EXPECT_EQ(type, REG_MULTI_SZ);
  }
}

TEST(RegistryValues, TypeMismatchesAndTheHelpers) {
  TRegistrySandbox box;
  PutRaw("s", REG_SZ, std::string("text\0", 5));
  PutRaw("d", REG_DWORD, std::string("\x07\0\0\0", 4));
  PutRaw("e", REG_EXPAND_SZ, std::string("%HOME%\0", 7));
  PutRaw("q", REG_QWORD, std::string(8, '\x01'));
  PutRaw("two", REG_SZ, std::string("2\0", 2));
  TMyRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Test", false));
  EXPECT_EQ(ErrorOf([&] { reg.ReadMultiString("s"); }), "Invalid data type for 's'");
  EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("two"); }), "Invalid data type for 'two'");
  // Longer than 4 bytes: the read itself fails.
  EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("s"); }), "Failed to get data for 's'");
  EXPECT_EQ(ErrorOf([&] { reg.ReadString("d"); }), "Invalid data type for 'd'");
  EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("q"); }), "Failed to get data for 'q'");
  EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("none"); }), "Failed to get data for 'none'");
  EXPECT_EQ(reg.ReadInteger("d"), 7);
  EXPECT_EQ(reg.ReadString("e"), "%HOME%");
  EXPECT_EQ(reg.ReadString("none"), "");
  EXPECT_EQ(reg.GetDataSize("none"), -1);
  EXPECT_EQ(reg.GetDataType("q"), rdInt64);
  EXPECT_EQ(reg.TRegistry::GetDataType("q"), rdUnknown);
  EXPECT_EQ(reg.TRegistry::GetDataType("e"), rdExpandString);
  EXPECT_TRUE(reg.ValueExists("S"));
  TRegDataType kind = rdCardinal;
  int32_t value = 0;
  EXPECT_EQ(reg.GetData("d", &value, 4, kind), 4);
  EXPECT_EQ(kind, rdCardinal);
  kind = rdLink;
  EXPECT_EQ(reg.GetData("d", &value, 4, kind), 4);
  EXPECT_EQ(kind, rdInteger);
  reg.CloseKey();

  std::string data = "unchanged";
  EXPECT_TRUE(utRegReadSingleString(HKEY_CURRENT_USER, "Test", "s", data, 32));
  EXPECT_EQ(data, "text");
  data = "unchanged";
  EXPECT_FALSE(utRegReadSingleString(HKEY_CURRENT_USER, "Test", "d", data, 32));
  EXPECT_FALSE(utRegReadSingleString(HKEY_CURRENT_USER, "Test", "none", data, 32));
  EXPECT_FALSE(utRegReadSingleString(HKEY_CURRENT_USER, "\\No\\Such", "s", data, 32));
  EXPECT_EQ(data, "unchanged");
  EXPECT_TRUE(
      utRegWriteSingleStringByType(HKEY_CURRENT_USER, "Test", "m", "x\r\ny", rdMultiString, 32));
  EXPECT_TRUE(utRegReadSingleString(HKEY_CURRENT_USER, "Test", "m", data, 32));
  EXPECT_EQ(data, "x\r\ny");
  EXPECT_FALSE(
      utRegWriteSingleStringByType(HKEY_CURRENT_USER, "\\Made\\ByBinary", "b", "x", rdBinary, 32));
  EXPECT_TRUE(utRegKeyExists(HKEY_CURRENT_USER, "\\Made\\ByBinary", false));
  EXPECT_TRUE(utRegWriteSingleInteger(HKEY_CURRENT_USER, "Test", "i", -5, 64));
  EXPECT_EQ(GetRaw("i"), std::string("\xfb\xff\xff\xff", 4));
  EXPECT_FALSE(utRegKeyExists(HKEY_CURRENT_USER, "\\Not\\There", true));
  EXPECT_THROW(utRegWriteSingleString(HKEY_CURRENT_USER, "Test", "x", "y", 16), std::runtime_error);
}

TEST(RegistryKeys, NamesKeepTheirCaseAndListInCaseInsensitiveOrder) {
  TRegistrySandbox box;
  TMyRegistry reg;
  for (const char* name : {"beta", "Alpha", "_under", "gamma", "ALPHA2"})
    ASSERT_TRUE(reg.OpenKey(std::string("\\Keys\\") + name, true));
  ASSERT_TRUE(reg.OpenKey("\\KEYS", false));
  TStringList names({"old entry"});
  reg.GetKeyNames(names);
  EXPECT_EQ(names.Lines(),
            (std::vector<std::string>{"Alpha", "ALPHA2", "beta", "gamma", "_under"}));
  TRegKeyInfo info;
  ASSERT_TRUE(reg.GetKeyInfo(info));
  EXPECT_EQ(info.NumSubKeys, 5);
  EXPECT_EQ(info.MaxSubKeyLen, 6);
  const uint64_t written =
      (uint64_t{info.FileTime.dwHighDateTime} << 32) | info.FileTime.dwLowDateTime;
  EXPECT_GT(written, 116444736000000000ULL);  // after 1970
  ASSERT_TRUE(reg.OpenKey("\\Keys\\beta", false));
  reg.GetKeyNames(names);
  EXPECT_TRUE(names.Empty());
  TRegistry plain;
  ASSERT_TRUE(plain.OpenKeyReadOnly("\\Keys"));
  plain.GetKeyNames(names);
  EXPECT_EQ(names.Count(), 5u);
}

TEST(RegistryKeys, UsersListsTheDefaultProfileAndTheCurrentUser) {
  TRegistrySandbox box;
  ASSERT_TRUE(utRegWriteSingleString(HKEY_CURRENT_USER, "\\Software\\X", "v", "mine", 32));
  utMulticonfigReadInit();
  EXPECT_EQ(GUsers.Lines(), (std::vector<std::string>{".DEFAULT", CurrentUserSid()}));
  std::string data;
  EXPECT_TRUE(
      utRegReadSingleString(HKEY_USERS, "\\" + CurrentUserSid() + "\\Software\\X", "v", data, 32));
  EXPECT_EQ(data, "mine");
  EXPECT_FALSE(utRegKeyExists(HKEY_USERS, "\\.DEFAULT\\Software", false));
  EXPECT_FALSE(utRegWriteSingleString(HKEY_USERS, "\\S-1-5-99\\X", "v", "x", 32));
  utMulticonfigReadFinalize();
  EXPECT_TRUE(GUsers.Empty());
}

TEST(RegistryApi, ErrorCodesAndBufferSizes) {
  TRegistrySandbox box;
  PutRaw("v", REG_BINARY, "12345");
  HKEY key = 0;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "test", 0, KEY_READ, &key), ERROR_SUCCESS);
  BYTE small[2];
  DWORD size = sizeof small, type = 0;
  EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, &type, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(type, REG_BINARY);
  size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(RegQueryValueExA(key, "none", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  // A key opened for reading refuses writes.
  EXPECT_EQ(RegSetValueExA(key, "w", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2),
            ERROR_ACCESS_DENIED);
  char name[4];
  DWORD length = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "no\\such", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "LongerName", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  length = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(HKEY_CURRENT_USER, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
}
