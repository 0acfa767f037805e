// The network adapters and their TCP/IP settings, read from the registry
// under HKEY_LOCAL_MACHINE (on this platform made from the running machine).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "utStringList.h"

class TNetworkAdapters;

class TNetworkAdapter {
 public:
  explicit TNetworkAdapter(TNetworkAdapters* owner = nullptr) : FOwner(owner) {}

  // Appends "name=value" lines: identity, media subtype and enable-DHCP as
  // "0x" + eight upper-case hexadecimal digits, the settings that have a
  // value (the Dhcp ones only when DHCP is on).
  void AssignToStrings(TStringList& sl) const;
  void Assign(const TNetworkAdapter& Source);

  const std::string& Adapter() const { return FAdapter; }
  const std::string& AdapterID() const { return FAdapterID; }
  const std::string& DefaultGateway() const { return FDefaultGateway; }
  const std::string& DhcpDefaultGateway() const { return FDhcpDefaultGateway; }
  const std::string& DhcpDomain() const { return FDhcpDomain; }
  const std::string& DhcpIPAddress() const { return FDhcpIPAddress; }
  const std::string& DhcpNameServer() const { return FDhcpNameServer; }
  const std::string& DhcpServer() const { return FDhcpServer; }
  const std::string& DhcpSubnetMask() const { return FDhcpSubnetMask; }
  const std::string& Domain() const { return FDomain; }
  int32_t EnableDHCP() const { return FEnableDHCP; }
  const std::string& IPAddress() const { return FIPAddress; }
  int32_t MediaSubType() const { return FMediaSubType; }
  const std::string& Name() const { return FName; }
  const std::string& NameServer() const { return FNameServer; }
  const std::string& PnpInstanceID() const { return FPnpInstanceID; }
  const std::string& SubnetMask() const { return FSubnetMask; }
  int32_t IpConfigCount() const { return FIpConfigCount; }

 private:
  friend class TNetworkAdapters;
  TNetworkAdapters* FOwner;
  std::string FAdapter, FAdapterID, FDefaultGateway, FDhcpDefaultGateway, FDhcpDomain,
      FDhcpIPAddress, FDhcpNameServer, FDhcpServer, FDhcpSubnetMask, FDomain;
  int32_t FEnableDHCP = 0;
  std::string FIPAddress;
  int32_t FMediaSubType = 0;
  std::string FName, FNameServer, FPnpInstanceID, FSubnetMask;
  int32_t FIpConfigCount = 0;
};

class TNetworkAdapters {
 public:
  TNetworkAdapter& Add();
  TNetworkAdapter& GetItem(size_t index) { return *items_.at(index); }
  TNetworkAdapter& Items(size_t index) { return GetItem(index); }
  size_t Count() const { return items_.size(); }
  void Clear() { items_.clear(); }

  // Empties the collection and fills it from the registry. A value stored
  // with another type than the one read raises the registry layer's error;
  // the adapters read before it stay in the collection.
  void ReadFromRegistry();

 private:
  void ReadOlderLayout();
  std::vector<std::unique_ptr<TNetworkAdapter>> items_;
};

// "0x" + eight upper-case hexadecimal digits of the 32-bit value.
std::string HexDword(int32_t value);

inline constexpr const char* sNetworkNT = "\\SYSTEM\\CurrentControlSet\\Control\\Network\\";
inline constexpr const char* sNetworkEnum = "\\Enum\\";
