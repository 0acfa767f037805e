#include <gtest/gtest.h>

#include "NetworkAdapters.h"
#include "RegistrySandbox.h"
#include "brmRegistry.h"
#include "plLiveSystemHive.h"

namespace {

using V = std::vector<std::string>;

// A machine hive of the test's own, with the live tree turned off so that
// hand-made keys stand under SYSTEM\CurrentControlSet.
struct TAdapterHive {
  TRegistrySandbox box;
  TAdapterHive() { SetLiveHiveProvider({}); }
  ~TAdapterHive() { SetLiveHiveProvider(MachineLiveHive()); }
  void String(const std::string& key, const std::string& name, const std::string& value) {
    Write(key, name, REG_SZ, value + std::string(1, '\0'));
  }
  void Dword(const std::string& key, const std::string& name, uint32_t value) {
    Write(key, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4));
  }
  void Multi(const std::string& key, const std::string& name, const V& values) {
    std::string data;
    for (const auto& v : values) data += v + std::string(1, '\0');
    Write(key, name, REG_MULTI_SZ, data + std::string(1, '\0'));
  }
  void Write(const std::string& key, const std::string& name, DWORD type, const std::string& data) {
    HKEY h = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &h, nullptr),
              ERROR_SUCCESS)
        << key;
    RegSetValueExA(h, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(h);
  }
};

const std::string kNet = "SYSTEM\\CurrentControlSet\\Control\\Network\\";
const std::string kClass = "{4D36E972-E325-11CE-BFC1-08002BE10318}";
const std::string kTcpip = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Adapters\\";
const std::string kServices = "SYSTEM\\CurrentControlSet\\Services\\";

V Lines(const TNetworkAdapter& a) {
  TStringList sl;
  a.AssignToStrings(sl);
  return sl.Lines();
}

}  // namespace

TEST(NetworkAdapters, TheNtLayoutWithStaticAndDhcpAdapters) {
  TAdapterHive hive;
  hive.String(kNet + "{OTHER}", "Class", "NetClient");
  hive.String(kNet + kClass, "Class", "Net");
  // {A}: static, two interface entries, two addresses; {B}: DHCP, no media
  // subtype; {C}: no IpConfig, so no adapter.
  hive.String(kNet + kClass + "\\{A}\\Connection", "Name", "Wired");
  hive.String(kNet + kClass + "\\{A}\\Connection", "PnpInstanceID", "PCI\\VEN_8086&DEV_100E\\3");
  hive.Dword(kNet + kClass + "\\{A}\\Connection", "MediaSubType", 1);
  hive.String("SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_8086&DEV_100E\\3", "DeviceDesc",
              "Intel PRO/1000");
  hive.Multi(kTcpip + "{A}", "IpConfig", {"Tcpip\\Parameters\\Interfaces\\{A}", "Tcpip\\X"});
  hive.Dword(kServices + "Tcpip\\Parameters\\Interfaces\\{A}", "EnableDHCP", 0);
  hive.Multi(kServices + "Tcpip\\Parameters\\Interfaces\\{A}", "IPAddress",
             {"10.0.0.5", "10.0.0.6"});
  hive.Multi(kServices + "Tcpip\\Parameters\\Interfaces\\{A}", "SubnetMask", {"255.0.0.0"});
  hive.String(kServices + "Tcpip\\Parameters\\Interfaces\\{A}", "DhcpServer", "not shown");
  hive.Dword(kServices + "Tcpip\\X", "EnableDHCP", 0);
  hive.String(kNet + kClass + "\\{B}\\Connection", "Name", "Wireless");
  hive.Multi(kTcpip + "{B}", "IpConfig", {"Tcpip\\Parameters\\Interfaces\\{B}"});
  hive.Dword(kServices + "Tcpip\\Parameters\\Interfaces\\{B}", "EnableDHCP", 1);
  hive.String(kServices + "Tcpip\\Parameters\\Interfaces\\{B}", "DhcpIPAddress", "192.0.2.9");
  hive.String(kServices + "Tcpip\\Parameters\\Interfaces\\{B}", "DhcpServer", "192.0.2.1");
  hive.String(kNet + kClass + "\\{C}\\Connection", "Name", "Unbound");

  TNetworkAdapters adapters;
  adapters.ReadFromRegistry();
  ASSERT_EQ(adapters.Count(), 3u);
  EXPECT_EQ(Lines(adapters.Items(0)),
            (V{"Name=Wired", "Adapter=Intel PRO/1000", "AdapterID={A}",
               "PnpInstanceID=PCI\\VEN_8086&DEV_100E\\3", "MediaSubType=0x00000001",
               "IPAddress=10.0.0.5\r\n10.0.0.6\r\n", "SubnetMask=255.0.0.0\r\n",
               "EnableDHCP=0x00000000"}));
  EXPECT_EQ(adapters.Items(0).IpConfigCount(), 2);
  EXPECT_EQ(adapters.Items(1).AdapterID(), "{A}");
  EXPECT_EQ(Lines(adapters.Items(2)),
            (V{"Name=Wireless", "Adapter=", "AdapterID={B}", "PnpInstanceID=",
               "MediaSubType=0x00000000", "EnableDHCP=0x00000001", "DhcpServer=192.0.2.1",
               "DhcpIPAddress=192.0.2.9"}));

  // A value of the wrong type ends the reading; what was read stays.
  hive.String(kServices + "Tcpip\\Parameters\\Interfaces\\{B}", "EnableDHCP", "1");
  TNetworkAdapters again;
  EXPECT_THROW(again.ReadFromRegistry(), ERegistryException);
  EXPECT_EQ(again.Count(), 3u);
}

TEST(NetworkAdapters, NoNetClassGivesNothingAndTheOlderLayoutIsRead) {
  {
    TAdapterHive hive;
    hive.String(kNet + "{OTHER}", "Class", "net");
    hive.String("SYSTEM\\CurrentControlSet\\Services\\Class\\Net\\0000", "DriverDesc", "Old");
    TNetworkAdapters adapters;
    adapters.ReadFromRegistry();
    EXPECT_EQ(adapters.Count(), 0u);  // no "Net" class: no second walk
  }
  TAdapterHive hive;
  hive.String(kNet + kClass, "Class", "Net");
  hive.String("SYSTEM\\CurrentControlSet\\Services\\Class\\Net\\0000", "DriverDesc", "Old NIC");
  hive.String("SYSTEM\\CurrentControlSet\\Services\\Class\\Net\\0000", "MatchingDeviceId",
              "PCI\\VEN_1&DEV_2");
  hive.String("Enum\\PCI\\VEN_1&DEV_2&SUBSYS\\INST", "ClassGUID", "{CLASS}");
  TNetworkAdapters adapters;
  adapters.ReadFromRegistry();
  ASSERT_EQ(adapters.Count(), 1u);
  EXPECT_EQ(adapters.Items(0).Name(), "Old NIC");
  EXPECT_EQ(adapters.Items(0).Adapter(), "Old NIC");
  EXPECT_EQ(adapters.Items(0).AdapterID(), "{CLASS}");
  EXPECT_EQ(HexDword(-1), "0xFFFFFFFF");
}

TEST(NetworkAdapters, TheLiveTreeIsReadOnlyAndNamesThisMachinesInterfaces) {
  TRegistrySandbox box;
  TNetworkAdapters adapters;
  adapters.ReadFromRegistry();
  bool loopback = false;
  for (size_t i = 0; i < adapters.Count(); ++i)
    if (adapters.Items(i).Name() == "lo") {
      loopback = true;
      EXPECT_EQ(adapters.Items(i).MediaSubType(), 3);
      EXPECT_EQ(adapters.Items(i).IPAddress(), "127.0.0.1\r\n");
      EXPECT_EQ(adapters.Items(i).PnpInstanceID(), "ROOT\\NET\\lo");
    }
  EXPECT_TRUE(loopback);
  HKEY h = 0;
  EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\X", 0,
                            nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services", 0,
                          KEY_WRITE, &h),
            ERROR_ACCESS_DENIED);
}
