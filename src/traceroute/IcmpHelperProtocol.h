// How corvina-icmp-helper hands its raw socket to the program: one byte
// with the descriptor attached (SCM_RIGHTS) over a Unix socket pair. Header
// only, so that the helper stays a few dozen lines without libraries.
#pragma once

#include <sys/socket.h>

#include <cstring>

// The message that carries one descriptor, with room for it.
struct TDescriptorMessage {
  char byte = 'S';
  iovec iov{&byte, 1};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
  msghdr msg{};
  TDescriptorMessage() {
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
  }
  TDescriptorMessage(const TDescriptorMessage&) = delete;
  TDescriptorMessage& operator=(const TDescriptorMessage&) = delete;
};

inline bool SendDescriptor(int over, int descriptor) {
  TDescriptorMessage m;
  cmsghdr* c = CMSG_FIRSTHDR(&m.msg);
  c->cmsg_level = SOL_SOCKET;
  c->cmsg_type = SCM_RIGHTS;
  c->cmsg_len = CMSG_LEN(sizeof(int));
  std::memcpy(CMSG_DATA(c), &descriptor, sizeof(int));
  return ::sendmsg(over, &m.msg, 0) == 1;
}

// The descriptor received, or -1.
inline int ReceiveDescriptor(int from) {
  TDescriptorMessage m;
  if (::recvmsg(from, &m.msg, MSG_CMSG_CLOEXEC) != 1) return -1;
  int descriptor = -1;
  for (cmsghdr* c = CMSG_FIRSTHDR(&m.msg); c; c = CMSG_NXTHDR(&m.msg, c))
    if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_RIGHTS)
      std::memcpy(&descriptor, CMSG_DATA(c), sizeof(int));
  return descriptor;
}
