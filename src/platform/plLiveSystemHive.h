// HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet made from the running
// machine when it is read: the network adapters with their connection
// names, device paths and descriptions, and their TCP/IP settings, laid out
// as the adapter list reads them. Read-only.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct TLiveValue {
  uint32_t type = 0;
  std::string data;
};

// One key of the made-up tree: subkeys in the order the registry lists them
// (by their upper-case names), values by name.
struct TLiveKey {
  std::string name;
  std::map<std::string, std::unique_ptr<TLiveKey>> subkeys;  // by upper-case name
  std::vector<std::pair<std::string, TLiveValue>> values;

  // The subkey of that name (letter case not counting), or nullptr.
  const TLiveKey* Find(const std::string& subkey) const;
  const TLiveValue* Value(const std::string& value) const;
  // The subkey, made when missing; a path with "\" makes every level.
  TLiveKey& Add(const std::string& path);
  void SetString(const std::string& value, const std::string& text);
  void SetDword(const std::string& value, uint32_t number);
  // Each text followed by a zero byte, and one more at the end.
  void SetMultiString(const std::string& value, const std::vector<std::string>& texts);
};

// What the tree is made from: the files and folders of the running system.
// Tests point them elsewhere.
struct TLiveSystemSources {
  std::string resolvConf = "/etc/resolv.conf";
  std::string sysClassNet = "/sys/class/net/";
  std::string udevData = "/run/udev/data/";
  std::string procRoute = "/proc/net/route";
  // Lease files of the DHCP clients, by the interface's name and index.
  std::vector<std::string> leaseFolders = {"/run/systemd/netif/leases/",
                                           "/var/lib/NetworkManager/", "/var/lib/dhcp/"};
};

// The class key of network adapters, with the value "Class" = "Net".
inline constexpr const char* kNetClassGuid = "{4D36E972-E325-11CE-BFC1-08002BE10318}";

// A fresh CurrentControlSet of this machine.
std::shared_ptr<const TLiveKey> MakeLiveCurrentControlSet(const TLiveSystemSources& sources = {});

// The stable key name of an interface: a GUID in braces made from its name
// and hardware address.
std::string InterfaceGuid(const std::string& name, const std::string& hardwareAddress);

// What the registry reads as HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet:
// by default a tree made from this machine, made again when the last one is
// more than two seconds old; an empty function turns the live tree off, so
// that the stored hive's keys are read there (tests of the adapter walk).
using TLiveHiveProvider = std::function<std::shared_ptr<const TLiveKey>()>;
void SetLiveHiveProvider(TLiveHiveProvider provider);
// The default provider: each one made keeps a tree of its own for two
// seconds.
TLiveHiveProvider MachineLiveHive();
// The tree of the provider in place, or nullptr when it is off.
std::shared_ptr<const TLiveKey> CurrentLiveHive();
