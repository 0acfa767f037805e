// corvina-icmp-helper: opens one raw ICMP socket and hands it to the
// program that started it, then ends. Installed with the capability
// CAP_NET_RAW (and nothing else), so that the trace route works for
// ordinary users without giving the window program any privilege. It
// reads nothing: its standard input must be one end of a Unix socket pair,
// over which the socket goes.
#include <netinet/in.h>
#include <unistd.h>

#include "IcmpHelperProtocol.h"

int main() {
  const int raw = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (raw < 0) return 1;
  return SendDescriptor(STDIN_FILENO, raw) ? 0 : 2;
}
