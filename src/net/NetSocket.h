// Name resolution and the sliced wait for a readable socket, shared by the
// whois, ICMP echo and HTTP clients.
#pragma once

#include <netinet/in.h>

#include <string>

// Resolves a host name or dotted IPv4 address to an IPv4 address. Raises
// "Socket Error # 11001" / "Host not found." when there is none, also for an
// empty text or one that cannot be a host name.
in_addr ResolveHost(const std::string& host);

// The dotted text of an IPv4 address.
std::string AddressToText(const in_addr& address);

// Waits until fd is readable (or has an error or hang-up to report).
// timeoutMs < 0 waits without end. While an anti-freeze hook is installed,
// the wait is made of slices of at most 250 ms, and pending window messages
// are processed after every slice that ends without data, so the window
// never stands still for longer than a slice. Returns false when the time
// ran out.
bool WaitForReadable(int fd, int timeoutMs);
