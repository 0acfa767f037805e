// corvina-icmp-helper: opens one raw ICMP socket and hands it to the
// program that started it, then ends. Installed with the capability
// CAP_NET_RAW (and nothing else), so that the trace route works for
// ordinary users without giving the window program any privilege. It
// reads nothing: its standard input must be one end of a Unix socket pair,
// over which the socket goes (SCM_RIGHTS).
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

int main() {
  const int raw = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (raw < 0) return 1;
  char byte = 'S';
  iovec iov{&byte, 1};
  char control[CMSG_SPACE(sizeof(int))] = {};
  msghdr msg{};
  msg.msg_iov = &iov;
  msg.msg_iovlen = 1;
  msg.msg_control = control;
  msg.msg_controllen = sizeof control;
  cmsghdr* c = CMSG_FIRSTHDR(&msg);
  c->cmsg_level = SOL_SOCKET;
  c->cmsg_type = SCM_RIGHTS;
  c->cmsg_len = CMSG_LEN(sizeof(int));
  std::memcpy(CMSG_DATA(c), &raw, sizeof(int));
  return ::sendmsg(STDIN_FILENO, &msg, 0) == 1 ? 0 : 2;
}
