#include "plLiveSystemHive.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "plRegistry.h"

namespace {

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// A small text file, or "" (files of /sys and /run are small).
std::string ReadSmallFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "";
  std::string text(65536, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  return text;
}

std::string Trimmed(std::string s) {
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.pop_back();
  size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
  return s.substr(i);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Dotted(const in_addr& a) {
  char buf[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &a, buf, sizeof buf);
  return buf;
}

// One network interface as the system reports it.
struct TInterface {
  std::string name;
  unsigned index = 0;
  std::string hardwareAddress;
  std::vector<std::string> addresses, masks, gateways;
};

std::vector<TInterface> ReadInterfaces() {
  std::vector<TInterface> interfaces;
  if (struct if_nameindex* names = ::if_nameindex()) {
    for (struct if_nameindex* n = names; n->if_index != 0; ++n)
      interfaces.push_back({n->if_name, n->if_index, "", {}, {}, {}});
    ::if_freenameindex(names);
  }
  std::sort(interfaces.begin(), interfaces.end(),
            [](const TInterface& a, const TInterface& b) { return a.index < b.index; });
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return interfaces;
  for (ifaddrs* a = list; a; a = a->ifa_next) {
    if (!a->ifa_addr) continue;
    auto it = std::find_if(interfaces.begin(), interfaces.end(),
                           [&](const TInterface& i) { return i.name == a->ifa_name; });
    if (it == interfaces.end()) continue;
    if (a->ifa_addr->sa_family == AF_INET) {
      it->addresses.push_back(Dotted(reinterpret_cast<sockaddr_in*>(a->ifa_addr)->sin_addr));
      it->masks.push_back(a->ifa_netmask
                              ? Dotted(reinterpret_cast<sockaddr_in*>(a->ifa_netmask)->sin_addr)
                              : "0.0.0.0");
    } else if (a->ifa_addr->sa_family == AF_PACKET) {
      const auto* ll = reinterpret_cast<sockaddr_ll*>(a->ifa_addr);
      char mac[3 * 8] = {};
      for (int i = 0; i < ll->sll_halen && i < 8; ++i)
        std::snprintf(mac + 3 * i, 4, i ? "-%02X" : "%02X", ll->sll_addr[i]);
      it->hardwareAddress = mac;
    }
  }
  ::freeifaddrs(list);
  return interfaces;
}

// Default gateways per interface from the kernel's IPv4 routing table.
void ReadGateways(const std::string& procRoute, std::vector<TInterface>& interfaces) {
  const std::vector<std::string> lines = Lines(ReadSmallFile(procRoute));
  for (size_t i = 1; i < lines.size(); ++i) {
    std::istringstream f(lines[i]);
    std::string iface, destination, gateway, flags, refcnt, use, metric, mask;
    if (!(f >> iface >> destination >> gateway >> flags >> refcnt >> use >> metric >> mask))
      continue;
    if (destination != "00000000" || mask != "00000000") continue;
    in_addr a{};
    a.s_addr = static_cast<in_addr_t>(std::stoul(gateway, nullptr, 16));
    for (TInterface& it : interfaces)
      if (it.name == iface) it.gateways.push_back(Dotted(a));
  }
}

// The name servers and domain of the system's resolver.
void ReadResolver(const std::string& resolvConf, std::string& nameServers, std::string& domain) {
  for (const std::string& raw : Lines(ReadSmallFile(resolvConf))) {
    std::istringstream f(raw);
    std::string word, value;
    f >> word >> value;
    if (word == "nameserver" && !value.empty())
      nameServers += (nameServers.empty() ? "" : ",") + value;
    else if ((word == "domain" || (word == "search" && domain.empty())) && !value.empty())
      domain = value;
  }
}

// The DHCP settings of an interface from its lease file, when there is one.
struct TLease {
  bool found = false;
  std::string address, mask, server, nameServers, domain;
  std::vector<std::string> routers;
};

// systemd-networkd and NetworkManager: KEY=value lines.
void ReadKeyValueLease(const std::string& text, TLease& lease) {
  for (const std::string& line : Lines(text)) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq), value = Trimmed(line.substr(eq + 1));
    if (key == "ADDRESS") lease.address = value;
    if (key == "NETMASK") lease.mask = value;
    if (key == "SERVER_ADDRESS") lease.server = value;
    if (key == "DNS") lease.nameServers = value;
    if (key == "DOMAINNAME") lease.domain = value;
    if (key == "ROUTER") {
      std::istringstream r(value);
      for (std::string router; r >> router;) lease.routers.push_back(router);
    }
  }
  lease.found = true;
}

// dhclient: the last "lease { ... }" block of the interface.
void ReadDhclientLease(const std::string& text, const std::string& iface, TLease& lease) {
  TLease current;
  bool forInterface = false;
  for (std::string line : Lines(text)) {
    line = Trimmed(line);
    if (!line.empty() && line.back() == ';') line.pop_back();
    const auto value = [&](const std::string& prefix) {
      std::string v = Trimmed(line.substr(prefix.size()));
      v.erase(std::remove(v.begin(), v.end(), '"'), v.end());
      return v;
    };
    if (line.rfind("lease {", 0) == 0) {
      current = {};
      forInterface = false;
    } else if (line.rfind("interface ", 0) == 0) {
      forInterface = value("interface ") == iface;
    } else if (line.rfind("fixed-address ", 0) == 0) {
      current.address = value("fixed-address ");
    } else if (line.rfind("option subnet-mask ", 0) == 0) {
      current.mask = value("option subnet-mask ");
    } else if (line.rfind("option dhcp-server-identifier ", 0) == 0) {
      current.server = value("option dhcp-server-identifier ");
    } else if (line.rfind("option domain-name-servers ", 0) == 0) {
      current.nameServers = value("option domain-name-servers ");
    } else if (line.rfind("option domain-name ", 0) == 0) {
      current.domain = value("option domain-name ");
    } else if (line.rfind("option routers ", 0) == 0) {
      std::istringstream r(value("option routers "));
      for (std::string router; std::getline(r, router, ',');) current.routers.push_back(Trimmed(router));
    } else if (line == "}" && forInterface) {
      lease = current;
      lease.found = true;
    }
  }
}

TLease ReadLease(const TLiveSystemSources& sources, const TInterface& it) {
  TLease lease;
  std::error_code ec;
  for (const std::string& folder : sources.leaseFolders) {
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
      const std::string name = entry.path().filename().string();
      const bool networkd = name == std::to_string(it.index);
      const bool manager = name.rfind("internal-", 0) == 0 && name.size() > it.name.size() + 6 &&
                           name.compare(name.size() - it.name.size() - 6, std::string::npos,
                                        "-" + it.name + ".lease") == 0;
      if (networkd || manager) ReadKeyValueLease(ReadSmallFile(entry.path().string()), lease);
      if (name.rfind("dhclient", 0) == 0 && name.size() > 7 &&
          name.compare(name.size() - 7, 7, ".leases") == 0)
        ReadDhclientLease(ReadSmallFile(entry.path().string()), it.name, lease);
    }
  }
  return lease;
}

// The device of an interface: its instance path, description and media
// subtype (1 Ethernet, 2 wireless, 3 loopback, 0 anything else).
struct TDevice {
  std::string instancePath, description;
  uint32_t mediaSubType = 0;
};

TDevice ReadDevice(const TLiveSystemSources& sources, const TInterface& it) {
  TDevice d;
  const std::string sys = sources.sysClassNet + it.name + "/";
  const std::string type = Trimmed(ReadSmallFile(sys + "type"));
  const bool wireless = std::filesystem::exists(sys + "wireless") ||
                        std::filesystem::exists(sys + "phy80211");
  d.mediaSubType = type == "772" ? 3 : wireless ? 2 : type == "1" ? 1 : 0;
  std::error_code ec;
  const std::filesystem::path device = std::filesystem::canonical(sys + "device", ec);
  std::string driver;
  if (!ec) driver = std::filesystem::canonical(sys + "device/driver", ec).filename().string();
  const std::string vendor = Trimmed(ReadSmallFile(sys + "device/vendor"));
  const std::string product = Trimmed(ReadSmallFile(sys + "device/device"));
  if (!device.empty() && vendor.size() == 6 && product.size() == 6) {
    // PCI\VEN_8086&DEV_100E\0000:00:03.0, as Windows names PCI devices.
    d.instancePath = "PCI\\VEN_" + Upper(vendor.substr(2)) + "&DEV_" + Upper(product.substr(2)) +
                     "\\" + device.filename().string();
  } else if (!device.empty()) {
    d.instancePath = Upper(device.parent_path().filename().string()) + "\\" +
                     device.filename().string();
  } else {
    d.instancePath = "ROOT\\NET\\" + it.name;
  }
  // The model from the hardware database, else the driver, else what kind
  // of interface it is.
  for (const std::string& line : Lines(ReadSmallFile(sources.udevData + "n" +
                                                     std::to_string(it.index))))
    if (line.rfind("E:ID_MODEL_FROM_DATABASE=", 0) == 0) d.description = line.substr(25);
  if (d.description.empty()) d.description = driver;
  if (d.description.empty())
    d.description = d.mediaSubType == 3 ? "Software Loopback Interface" : "Virtual network interface";
  return d;
}

struct TProviderState {
  std::mutex mutex;
  TLiveHiveProvider provider = MachineLiveHive();
};

TProviderState& Provider() {
  static TProviderState state;
  return state;
}

}  // namespace

const TLiveKey* TLiveKey::Find(const std::string& subkey) const {
  const auto it = subkeys.find(Upper(subkey));
  return it == subkeys.end() ? nullptr : it->second.get();
}

const TLiveValue* TLiveKey::Value(const std::string& value) const {
  for (const auto& [name, v] : values)
    if (Upper(name) == Upper(value)) return &v;
  return nullptr;
}

TLiveKey& TLiveKey::Add(const std::string& path) {
  TLiveKey* key = this;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    auto& slot = key->subkeys[Upper(part)];
    if (!slot) {
      slot = std::make_unique<TLiveKey>();
      slot->name = part;
    }
    key = slot.get();
  }
  return *key;
}

void TLiveKey::SetString(const std::string& value, const std::string& text) {
  values.emplace_back(value, TLiveValue{REG_SZ, text + std::string(1, '\0')});
}

void TLiveKey::SetDword(const std::string& value, uint32_t number) {
  std::string data(4, '\0');
  std::memcpy(data.data(), &number, 4);
  values.emplace_back(value, TLiveValue{REG_DWORD, data});
}

void TLiveKey::SetMultiString(const std::string& value, const std::vector<std::string>& texts) {
  std::string data;
  for (const std::string& t : texts) data += t + std::string(1, '\0');
  data += std::string(1, '\0');
  values.emplace_back(value, TLiveValue{REG_MULTI_SZ, data});
}

std::string InterfaceGuid(const std::string& name, const std::string& hardwareAddress) {
  // Two FNV-1a hashes of name and address make 128 stable bits.
  uint64_t h1 = 14695981039346656037ull, h2 = 1099511628211ull * 31;
  for (const char c : name + "|" + hardwareAddress) {
    h1 = (h1 ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    h2 = (h2 ^ static_cast<unsigned char>(c)) * 1099511628211ull + 7;
  }
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}",
                static_cast<unsigned>(h1 >> 32), static_cast<unsigned>((h1 >> 16) & 0xFFFF),
                static_cast<unsigned>(h1 & 0xFFFF), static_cast<unsigned>(h2 >> 48),
                static_cast<unsigned long long>(h2 & 0xFFFFFFFFFFFFull));
  return text;
}

std::shared_ptr<const TLiveKey> MakeLiveCurrentControlSet(const TLiveSystemSources& sources) {
  auto root = std::make_shared<TLiveKey>();
  root->name = "CurrentControlSet";
  TLiveKey& network = root->Add("Control\\Network");
  network.Add(kNetClassGuid).SetString("Class", "Net");
  // Windows has further classes beside the adapters' one.
  network.Add("{4D36E973-E325-11CE-BFC1-08002BE10318}").SetString("Class", "NetClient");
  TLiveKey& adapters = network.Add(kNetClassGuid);
  TLiveKey& services = root->Add("Services");
  TLiveKey& tcpipAdapters = services.Add("Tcpip\\Parameters\\Adapters");

  std::string nameServers, domain;
  ReadResolver(sources.resolvConf, nameServers, domain);
  std::vector<TInterface> interfaces = ReadInterfaces();
  ReadGateways(sources.procRoute, interfaces);
  for (const TInterface& it : interfaces) {
    const std::string guid = InterfaceGuid(it.name, it.hardwareAddress);
    const TDevice device = ReadDevice(sources, it);
    TLiveKey& connection = adapters.Add(guid + "\\Connection");
    connection.SetString("Name", it.name);
    connection.SetString("PnpInstanceID", device.instancePath);
    connection.SetDword("MediaSubType", device.mediaSubType);
    root->Add("Enum\\" + device.instancePath).SetString("DeviceDesc", device.description);

    const std::string entry = "Tcpip\\Parameters\\Interfaces\\" + guid;
    tcpipAdapters.Add(guid).SetMultiString("IpConfig", {entry});
    TLiveKey& settings = services.Add(entry);
    const TLease lease = ReadLease(sources, it);
    settings.SetDword("EnableDHCP", lease.found ? 1 : 0);
    settings.SetMultiString("IPAddress", it.addresses);
    settings.SetMultiString("SubnetMask", it.masks);
    settings.SetMultiString("DefaultGateway", it.gateways);
    settings.SetString("NameServer", nameServers);
    settings.SetString("Domain", domain);
    if (lease.found) {
      settings.SetString("DhcpIPAddress", lease.address);
      settings.SetString("DhcpSubnetMask", lease.mask);
      settings.SetString("DhcpServer", lease.server);
      settings.SetString("DhcpNameServer", lease.nameServers);
      settings.SetString("DhcpDomain", lease.domain);
      settings.SetMultiString("DhcpDefaultGateway", lease.routers);
    }
  }
  return root;
}

TLiveHiveProvider MachineLiveHive() {
  // One tree serves the reads of a moment (a walk opens many keys); the
  // next moment sees the machine as it is then. Each provider keeps its own.
  struct TCache {
    std::mutex mutex;
    std::shared_ptr<const TLiveKey> tree;
    std::chrono::steady_clock::time_point made;
  };
  auto cache = std::make_shared<TCache>();
  return [cache] {
    std::lock_guard lock(cache->mutex);
    const auto now = std::chrono::steady_clock::now();
    if (!cache->tree || now - cache->made > std::chrono::seconds(2)) {
      cache->tree = MakeLiveCurrentControlSet();
      cache->made = now;
    }
    return cache->tree;
  };
}

void SetLiveHiveProvider(TLiveHiveProvider provider) {
  std::lock_guard lock(Provider().mutex);
  Provider().provider = std::move(provider);
}

std::shared_ptr<const TLiveKey> CurrentLiveHive() {
  TLiveHiveProvider provider;
  {
    std::lock_guard lock(Provider().mutex);
    provider = Provider().provider;
  }
  return provider ? provider() : nullptr;
}
