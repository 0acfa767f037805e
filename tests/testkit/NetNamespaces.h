// Network namespaces made by a test (root only): hosts joined by veth pairs,
// with addresses, routes and forwarding, removed again when the object
// ends. Commands inside a host run with `ip netns exec`, which also puts
// /etc/netns/<name>/hosts in place of /etc/hosts for them.
#pragma once

#include <string>
#include <vector>

class TNetNamespaces {
 public:
  // False (with why) when the test cannot make namespaces here.
  static bool Available(std::string& why);

  TNetNamespaces();
  ~TNetNamespaces();
  TNetNamespaces(const TNetNamespaces&) = delete;
  TNetNamespaces& operator=(const TNetNamespaces&) = delete;

  // Adds a host (its loopback up, forwarding on, no ICMP rate limit);
  // returns its namespace name.
  std::string AddHost(const std::string& host);
  // Joins two hosts by a veth pair with an address (CIDR form) on each end.
  void Link(const std::string& a, const std::string& addressA, const std::string& b,
            const std::string& addressB);
  // Runs "ip <args>" inside a host; false when it fails.
  bool Ip(const std::string& host, const std::string& args);
  // Runs a shell command inside a host; false when it fails.
  bool Exec(const std::string& host, const std::string& command);
  // The host's /etc/hosts inside its namespace.
  void SetHosts(const std::string& host, const std::string& text);
  // The namespace name of a host.
  std::string Name(const std::string& host) const { return prefix_ + host; }
  // Runs a command inside a host and returns its standard output.
  std::string Output(const std::string& host, const std::string& command);

 private:
  std::string prefix_;
  std::vector<std::string> hosts_;
  int links_ = 0;
};

// The route of the trace tests: client - r1 - r2 - r3 - target, with the
// addresses 10.201.1.1 (client), 10.201.1.2 (r1), 10.201.2.2 (r2),
// 10.201.3.2 (r3) and 10.201.4.2 (target), as the routers answer toward the
// client. Also: 10.201.99.0/24 loops between r1 and r2, and r3 drops
// 10.201.97.0/24 without an answer. Every host has names in its hosts file.
void MakeTraceRoute(TNetNamespaces& ns);
