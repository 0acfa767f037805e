// Name resolution and the sliced wait for a readable socket, shared by the
// whois, ICMP echo and HTTP clients.
#pragma once

#include <netinet/in.h>

#include <string>

// An IPv4 literal: four dot-separated decimal numbers up to 255; a.b.c with
// c up to 65535; a.b with b up to 16777215; or one decimal number up to
// 4294967295. False for any other text (nothing else is read as a number:
// no octal, no hexadecimal, no blanks).
bool ParseIPv4Literal(const std::string& text, in_addr& address);

// Resolves a host name or IPv4 literal to an IPv4 address: "localhost" in
// any letter case is 127.0.0.1 without a lookup, a literal is used as it
// is, anything else is asked of the system. Raises "Socket Error # 11001" /
// "Host not found." when there is none, also for an empty text or one that
// cannot be a host name.
in_addr ResolveHostAddress(const std::string& host);
// The same, as dotted text.
std::string ResolveHost(const std::string& host);

// The dotted text of an IPv4 address.
std::string TInAddrToString(const in_addr& address);

// The host name of a dotted IPv4 address, from the system's reverse lookup.
// Raises a socket error when the text is no address or no name is known.
std::string WSGetHostByAddr(const std::string& address);

// Waits until fd is readable (or has an error or hang-up to report).
// timeoutMs < 0 waits without end. While an anti-freeze hook is installed,
// the wait is made of slices of at most 250 ms, and pending window messages
// are processed after every slice that ends without data, so the window
// never stands still for longer than a slice. Returns false when the time
// ran out.
bool WaitForReadable(int fd, int timeoutMs);
