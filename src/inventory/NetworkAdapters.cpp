#include "NetworkAdapters.h"

#include "brmRegistry.h"

namespace {

constexpr const char* kTcpipAdapters = "\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Adapters\\";
constexpr const char* kServices = "\\SYSTEM\\CurrentControlSet\\Services\\";
constexpr const char* kDeviceEnum = "\\SYSTEM\\CurrentControlSet\\Enum\\";
constexpr const char* kOlderNetClass = "\\SYSTEM\\CurrentControlSet\\Services\\Class\\Net\\";

// Reads a value into a field only when it is there.
void ReadStringIf(TMyRegistry& reg, const char* name, std::string& field) {
  if (reg.ValueExists(name)) field = reg.ReadString(name);
}
void ReadMultiIf(TMyRegistry& reg, const char* name, std::string& field) {
  if (reg.ValueExists(name)) field = reg.ReadMultiString(name);
}
void ReadIntegerIf(TMyRegistry& reg, const char* name, int32_t& field) {
  if (reg.ValueExists(name)) field = reg.ReadInteger(name);
}

std::vector<std::string> KeyNames(TMyRegistry& reg) {
  TStringList names;
  reg.GetKeyNames(names);
  return names.Lines();
}

}  // namespace

std::string HexDword(int32_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  const auto v = static_cast<uint32_t>(value);
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(v >> shift) & 0xF];
  return text;
}

void TNetworkAdapter::Assign(const TNetworkAdapter& Source) {
  TNetworkAdapters* owner = FOwner;
  *this = Source;
  FOwner = owner;
}

void TNetworkAdapter::AssignToStrings(TStringList& sl) const {
  sl.Add("Name=" + FName);
  sl.Add("Adapter=" + FAdapter);
  sl.Add("AdapterID=" + FAdapterID);
  sl.Add("PnpInstanceID=" + FPnpInstanceID);
  sl.Add("MediaSubType=" + HexDword(FMediaSubType));
  const auto optional = [&](const char* name, const std::string& value) {
    if (!value.empty()) sl.Add(std::string(name) + "=" + value);
  };
  optional("IPAddress", FIPAddress);
  optional("SubnetMask", FSubnetMask);
  optional("DefaultGateway", FDefaultGateway);
  optional("NameServer", FNameServer);
  optional("Domain", FDomain);
  sl.Add("EnableDHCP=" + HexDword(FEnableDHCP));
  if (FEnableDHCP <= 0) return;
  optional("DhcpServer", FDhcpServer);
  optional("DhcpIPAddress", FDhcpIPAddress);
  optional("DhcpSubnetMask", FDhcpSubnetMask);
  optional("DhcpDefaultGateway", FDhcpDefaultGateway);
  optional("DhcpNameServer", FDhcpNameServer);
  optional("DhcpDomain", FDhcpDomain);
}

TNetworkAdapter& TNetworkAdapters::Add() {
  items_.push_back(std::make_unique<TNetworkAdapter>(this));
  return *items_.back();
}

void TNetworkAdapters::ReadFromRegistry() {
  Clear();
  TMyRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  const auto open = [&](const std::string& path) { return reg.OpenKeyReadOnly(path, false, false); };
  if (!open(sNetworkNT)) return;
  const std::vector<std::string> classes = KeyNames(reg);
  reg.CloseKey();
  std::string netClass;
  for (const std::string& c : classes) {
    if (!open(sNetworkNT + c + "\\")) continue;
    if (reg.ValueExists("Class") && reg.ReadString("Class") == "Net") netClass = c;
    reg.CloseKey();
  }
  if (netClass.empty()) return;

  if (open(sNetworkNT + netClass + "\\")) {
    const std::vector<std::string> ids = KeyNames(reg);
    reg.CloseKey();
    for (const std::string& id : ids) {
      std::string name, instance, description;
      int32_t mediaSubType = 0;
      if (open(sNetworkNT + netClass + "\\" + id + "\\Connection\\")) {
        ReadStringIf(reg, "Name", name);
        ReadStringIf(reg, "PnpInstanceID", instance);
        ReadIntegerIf(reg, "MediaSubType", mediaSubType);
        reg.CloseKey();
      }
      if (!instance.empty() && open(kDeviceEnum + instance + "\\")) {
        ReadStringIf(reg, "DeviceDesc", description);
        reg.CloseKey();
      }
      std::string ipConfig;
      if (open(kTcpipAdapters + id + "\\")) {
        ReadMultiIf(reg, "IpConfig", ipConfig);
        reg.CloseKey();
      }
      TStringList entries;
      entries.SetText(ipConfig);
      for (const std::string& entry : entries.Lines()) {
        if (!open(kServices + entry + "\\")) continue;
        TNetworkAdapter& a = Add();
        a.FAdapter = description;
        a.FAdapterID = id;
        a.FName = name;
        a.FPnpInstanceID = instance;
        a.FMediaSubType = mediaSubType;
        a.FIpConfigCount = static_cast<int32_t>(entries.Count());
        ReadIntegerIf(reg, "EnableDHCP", a.FEnableDHCP);
        ReadMultiIf(reg, "DefaultGateway", a.FDefaultGateway);
        ReadMultiIf(reg, "DhcpDefaultGateway", a.FDhcpDefaultGateway);
        ReadStringIf(reg, "DhcpDomain", a.FDhcpDomain);
        ReadStringIf(reg, "DhcpIPAddress", a.FDhcpIPAddress);
        ReadStringIf(reg, "DhcpNameServer", a.FDhcpNameServer);
        ReadStringIf(reg, "DhcpServer", a.FDhcpServer);
        ReadStringIf(reg, "DhcpSubnetMask", a.FDhcpSubnetMask);
        ReadStringIf(reg, "Domain", a.FDomain);
        ReadMultiIf(reg, "IPAddress", a.FIPAddress);
        ReadStringIf(reg, "NameServer", a.FNameServer);
        ReadMultiIf(reg, "SubnetMask", a.FSubnetMask);
      }
    }
  }
  if (Count() == 0) ReadOlderLayout();
}

void TNetworkAdapters::ReadOlderLayout() {
  TMyRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  const auto open = [&](const std::string& path) { return reg.OpenKeyReadOnly(path, false, false); };
  if (!open(kOlderNetClass)) return;
  const std::vector<std::string> keys = KeyNames(reg);
  reg.CloseKey();
  for (const std::string& k : keys) {
    if (!open(kOlderNetClass + k + "\\")) continue;
    TNetworkAdapter& a = Add();
    ReadStringIf(reg, "DriverDesc", a.FName);
    a.FAdapter = a.FName;
    ReadStringIf(reg, "MatchingDeviceId", a.FPnpInstanceID);
    reg.CloseKey();
  }
  for (const auto& item : items_) {
    TNetworkAdapter& a = *item;
    const std::string& id = a.FPnpInstanceID;
    const size_t last = id.rfind('\\');
    const std::string path = std::string(sNetworkEnum) + (last == std::string::npos ? "" : id.substr(0, last + 1));
    const std::string device = last == std::string::npos ? id : id.substr(last + 1);
    if (!open(path)) continue;
    const std::vector<std::string> subkeys = KeyNames(reg);
    reg.CloseKey();
    for (const std::string& s : subkeys) {
      if (s.compare(0, device.size(), device) != 0) continue;
      if (!open(path + s)) continue;
      const std::vector<std::string> instances = KeyNames(reg);
      reg.CloseKey();
      if (instances.empty() || !open(path + s + "\\" + instances.front())) continue;
      ReadStringIf(reg, "ClassGUID", a.FAdapterID);
      reg.CloseKey();
    }
  }
}
