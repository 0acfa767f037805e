#include "NetNamespaces.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

bool Run(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace

bool TNetNamespaces::Available(std::string& why) {
  if (::geteuid() != 0) {
    why = "making network namespaces needs root";
    return false;
  }
  if (!Run("ip -V")) {
    why = "the ip command (iproute2) is not installed";
    return false;
  }
  const std::string probe = "crvprobe" + std::to_string(::getpid());
  if (!Run("ip netns add " + probe)) {
    why = "this machine refuses to make network namespaces";
    return false;
  }
  Run("ip netns del " + probe);
  return true;
}

TNetNamespaces::TNetNamespaces() : prefix_("crv" + std::to_string(::getpid()) + "-") {}

TNetNamespaces::~TNetNamespaces() {
  for (const std::string& host : hosts_) {
    Run("ip netns del " + Name(host));
    std::filesystem::remove_all("/etc/netns/" + Name(host));
  }
}

std::string TNetNamespaces::AddHost(const std::string& host) {
  const std::string ns = Name(host);
  Run("ip netns add " + ns);
  hosts_.push_back(host);
  Ip(host, "link set lo up");
  // Every host forwards, and answers as fast as it is asked: the kernel's
  // ICMP rate limits (per destination, and for the whole host) would drop
  // some time-exceeded answers of quick traces.
  Exec(host, "echo 1 > /proc/sys/net/ipv4/ip_forward");
  Exec(host, "echo 0 > /proc/sys/net/ipv4/icmp_ratelimit");
  Exec(host, "echo 1000000 > /proc/sys/net/ipv4/icmp_msgs_per_sec");
  Exec(host, "echo 100000 > /proc/sys/net/ipv4/icmp_msgs_burst");
  return ns;
}

void TNetNamespaces::Link(const std::string& a, const std::string& addressA, const std::string& b,
                          const std::string& addressB) {
  const std::string ifA = "v" + std::to_string(links_) + "a", ifB = "v" + std::to_string(links_) + "b";
  ++links_;
  Run("ip link add " + ifA + " netns " + Name(a) + " type veth peer name " + ifB + " netns " +
      Name(b));
  Ip(a, "addr add " + addressA + " dev " + ifA);
  Ip(b, "addr add " + addressB + " dev " + ifB);
  Ip(a, "link set " + ifA + " up");
  Ip(b, "link set " + ifB + " up");
}

bool TNetNamespaces::Ip(const std::string& host, const std::string& args) {
  return Run("ip -n " + Name(host) + " " + args);
}

bool TNetNamespaces::Exec(const std::string& host, const std::string& command) {
  return Run("ip netns exec " + Name(host) + " sh -c '" + command + "'");
}

void TNetNamespaces::SetHosts(const std::string& host, const std::string& text) {
  const std::string folder = "/etc/netns/" + Name(host);
  std::filesystem::create_directories(folder);
  std::ofstream(folder + "/hosts") << text;
  // Names come from that file only: there is no name server in the
  // namespace to wait for.
  std::ofstream(folder + "/nsswitch.conf") << "hosts: files\n";
}

std::string TNetNamespaces::Output(const std::string& host, const std::string& command) {
  std::string output;
  FILE* pipe = ::popen(("ip netns exec " + Name(host) + " " + command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return output;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) output.append(buf.data(), n);
  ::pclose(pipe);
  return output;
}

void MakeTraceRoute(TNetNamespaces& ns) {
  for (const char* host : {"client", "r1", "r2", "r3", "target"}) ns.AddHost(host);
  ns.Link("client", "10.201.1.1/24", "r1", "10.201.1.2/24");
  ns.Link("r1", "10.201.2.1/24", "r2", "10.201.2.2/24");
  ns.Link("r2", "10.201.3.1/24", "r3", "10.201.3.2/24");
  ns.Link("r3", "10.201.4.1/24", "target", "10.201.4.2/24");
  ns.Ip("client", "route add default via 10.201.1.2");
  ns.Ip("r1", "route add default via 10.201.2.2");
  ns.Ip("r2", "route add default via 10.201.3.2");
  ns.Ip("r2", "route add 10.201.1.0/24 via 10.201.2.1");
  ns.Ip("r3", "route add 10.201.1.0/24 via 10.201.3.1");
  ns.Ip("r3", "route add 10.201.2.0/24 via 10.201.3.1");
  ns.Ip("target", "route add default via 10.201.4.1");
  // A loop: r2 sends 10.201.99.0/24 back to r1, whose default is r2.
  ns.Ip("r2", "route add 10.201.99.0/24 via 10.201.2.1");
  // A black hole: r3 drops 10.201.97.0/24 and says nothing.
  ns.Ip("r3", "route add blackhole 10.201.97.0/24");
  ns.SetHosts("client",
              "127.0.0.1 localhost\n10.201.1.1 client.corvina.test\n10.201.1.2 "
              "r1.corvina.test\n10.201.2.2 r2.corvina.test\n10.201.3.2 r3.corvina.test\n"
              "10.201.4.2 target.corvina.test\n");
}
