#include "IdIcmpClient.h"

#include <arpa/inet.h>
#include <linux/errqueue.h>
#include <netinet/ip.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "IcmpHelperProtocol.h"
#include "NetErrors.h"
#include "NetSocket.h"
#include "plPaths.h"

namespace {

constexpr size_t kEchoRequestSize = 52;
constexpr size_t kIpHeaderSize = 20;
constexpr uint8_t kEchoReply = 0, kUnreachable = 3, kEchoRequest = 8, kTimeExceeded = 11;

void PutLE16(uint8_t* at, uint16_t v) {
  at[0] = static_cast<uint8_t>(v);
  at[1] = static_cast<uint8_t>(v >> 8);
}
void PutLE32(uint8_t* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint16_t GetLE16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

// An IPv4 header as a raw socket delivers it: version 4, 20 bytes, the
// time-to-live, protocol ICMP, source and destination.
void PutIpHeader(uint8_t* at, uint8_t ttl, const in_addr& from, const in_addr& to,
                 size_t totalLength) {
  std::memset(at, 0, kIpHeaderSize);
  at[0] = 0x45;
  at[2] = static_cast<uint8_t>(totalLength >> 8);
  at[3] = static_cast<uint8_t>(totalLength);
  at[8] = ttl;
  at[9] = IPPROTO_ICMP;
  std::memcpy(at + 12, &from, 4);
  std::memcpy(at + 16, &to, 4);
}

[[noreturn]] void Fail(const std::string& message) { throw EIdException(message); }

}  // namespace

int RawSocketFromHelper(const std::string& helperPath) {
  if (::access(helperPath.c_str(), X_OK) != 0) return -1;
  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pair[1], STDIN_FILENO);
  char* const argv[] = {const_cast<char*>(helperPath.c_str()), nullptr};
  char* const envp[] = {nullptr};
  pid_t pid = 0;
  const bool started = ::posix_spawn(&pid, helperPath.c_str(), &actions, nullptr, argv, envp) == 0;
  posix_spawn_file_actions_destroy(&actions);
  ::close(pair[1]);
  int raw = -1;
  if (started) {
    // The helper answers at once or not at all; a short wait bounds it.
    if (WaitForReadable(pair[0], 2000)) raw = ReceiveDescriptor(pair[0]);
    ::waitpid(pid, nullptr, 0);
  }
  ::close(pair[0]);
  return raw;
}

uint32_t IcmpMilliseconds() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint32_t IcmpClockDifference(uint32_t oldValue, uint32_t newValue) {
  return newValue >= oldValue ? newValue - oldValue : (4294967295u - oldValue) + newValue;
}

uint16_t CalcCheckSum(const uint8_t* data, size_t size) {
  uint32_t sum = 0;
  for (size_t i = 0; i + 1 < size; i += 2) {
    uint16_t word;
    std::memcpy(&word, data + i, 2);
    sum += word;
  }
  sum = (sum >> 16) + (sum & 0xFFFF);
  sum += sum >> 16;
  return static_cast<uint16_t>(~sum);
}

TIdRawBase::~TIdRawBase() { CloseBinding(); }

void TIdRawBase::Binding() {
  if (fd_ < 0) {
    kind_ = TIcmpSocketKind::skNone;
    if (!PreferDatagram) fd_ = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, Protocol);
    if (fd_ >= 0) {
      kind_ = TIcmpSocketKind::skRaw;
    } else if ((fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP)) >= 0) {
      kind_ = TIcmpSocketKind::skDatagram;
      const int on = 1;
      ::setsockopt(fd_, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
      ::setsockopt(fd_, IPPROTO_IP, IP_RECVTTL, &on, sizeof on);
    } else if ((fd_ = RawSocketFromHelper(GetProgramFolder() + kIcmpHelperName)) >= 0) {
      kind_ = TIcmpSocketKind::skHelper;
    } else {
      Fail("Cannot allocate socket.");
    }
  }
  const int ttl = TTL;
  if (::setsockopt(fd_, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl) != 0)
    RaiseSocketErrorFromErrno(errno);
}

void TIdRawBase::CloseBinding() {
  if (fd_ < 0) return;
  ::shutdown(fd_, SHUT_WR);
  ::close(fd_);
  fd_ = -1;
}

void TIdRawBase::SetTTL(int32_t value) {
  TTL = value;
  Binding();
}

void TIdRawBase::SendTo(const in_addr& to, const uint8_t* data, size_t size) {
  Binding();
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(static_cast<uint16_t>(Port));
  sa.sin_addr = to;
  ssize_t sent;
  do {
    sent = ::sendto(fd_, data, size, 0, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  } while (sent < 0 && errno == EINTR);
  if (sent < 0) {
    if (errno == EMSGSIZE) Fail("Package Size Too Big.");
    RaiseSocketErrorFromErrno(errno);
  }
  if (static_cast<size_t>(sent) < size) Fail("Not all bytes sent.");
}

size_t TIdRawBase::ReceiveDatagram(uint8_t* buffer, size_t size, int timeoutMs) {
  Binding();
  const uint32_t start = IcmpMilliseconds();
  for (;;) {
    const uint32_t spent = IcmpClockDifference(start, IcmpMilliseconds());
    const int left = timeoutMs - static_cast<int>(spent);
    if (left <= 0 || !WaitForReadable(fd_, left)) return 0;
    if (kind_ == TIcmpSocketKind::skDatagram) {
      const size_t n = ReceiveFromDatagramSocket(buffer, size);
      if (n > 0) return n;
      continue;
    }
    const ssize_t n = ::recv(fd_, buffer, size, MSG_DONTWAIT);
    if (n > 0) return static_cast<size_t>(n);
    if (n < 0 && errno != EAGAIN && errno != EINTR) RaiseSocketErrorFromErrno(errno);
  }
}

// One message of the datagram socket as the whole IPv4 datagram a raw
// socket would have delivered, or 0 when nothing was waiting. An error
// message (time exceeded, unreachable) comes from the error queue with the
// request it answers: the datagram made of it quotes that request behind a
// 20-byte IP header, as routers quote it.
size_t TIdRawBase::ReceiveFromDatagramSocket(uint8_t* buffer, size_t size) {
  uint8_t data[1024];
  sockaddr_in from{};
  char control[512];
  iovec iov{data, sizeof data};
  msghdr msg{};
  msg.msg_name = &from;
  msg.msg_namelen = sizeof from;
  msg.msg_iov = &iov;
  msg.msg_iovlen = 1;
  msg.msg_control = control;
  msg.msg_controllen = sizeof control;

  ssize_t n = ::recvmsg(fd_, &msg, MSG_ERRQUEUE | MSG_DONTWAIT);
  const bool error = n >= 0;
  if (!error) {
    msg.msg_controllen = sizeof control;
    msg.msg_namelen = sizeof from;
    n = ::recvmsg(fd_, &msg, MSG_DONTWAIT);
    if (n < 0) {
      if (errno == EAGAIN || errno == EINTR) return 0;
      RaiseSocketErrorFromErrno(errno);
    }
  }
  uint8_t ttl = 0;
  const sock_extended_err* ee = nullptr;
  for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
    if (c->cmsg_level != IPPROTO_IP) continue;
    if (c->cmsg_type == IP_TTL) ttl = static_cast<uint8_t>(*reinterpret_cast<int*>(CMSG_DATA(c)));
    if (c->cmsg_type == IP_RECVERR) ee = reinterpret_cast<const sock_extended_err*>(CMSG_DATA(c));
  }
  const size_t length = static_cast<size_t>(n);
  in_addr host{};
  if (!error) {
    // An echo reply: the ICMP message as it came.
    const size_t total = std::min(size, kIpHeaderSize + length);
    PutIpHeader(buffer, ttl, from.sin_addr, host, total);
    std::memcpy(buffer + kIpHeaderSize, data, total - kIpHeaderSize);
    return total;
  }
  if (!ee || ee->ee_origin != SO_EE_ORIGIN_ICMP) return 0;
  const auto* offender = reinterpret_cast<const sockaddr_in*>(SO_EE_OFFENDER(ee));
  // IP header, ICMP header, the quoted IP header and the first 8 bytes of
  // the quoted request (type, code, checksum, identifier, sequence).
  const size_t total = kIpHeaderSize + 8 + kIpHeaderSize + 8;
  if (size < total || length < 8) return 0;
  PutIpHeader(buffer, ttl, offender->sin_addr, host, total);
  uint8_t* icmp = buffer + kIpHeaderSize;
  std::memset(icmp, 0, 8);
  icmp[0] = ee->ee_type;
  icmp[1] = ee->ee_code;
  PutIpHeader(icmp + 8, 0, host, from.sin_addr, kIpHeaderSize + length);
  std::memcpy(icmp + 8 + kIpHeaderSize, data, 8);
  return total;
}

void TIdIcmpClient::PrepareEchoRequest(const std::string& ABuffer) {
  iDataSize = kEchoRequestSize;
  std::memset(bufIcmp.data(), 0, kEchoRequestSize);
  uint8_t* b = bufIcmp.data();
  b[0] = kEchoRequest;
  b[1] = 0;
  PutLE16(b + 4, static_cast<uint16_t>(::getpid() & 0xFFFF));
  PutLE16(b + 6, wSeqNo);
  PutLE32(b + 8, IcmpMilliseconds());
  const size_t copied = std::min<size_t>(ABuffer.size(), 32);
  std::memcpy(b + 20, ABuffer.data(), copied);
  std::memset(b + 20 + copied, 0x45, 32 - copied);
  const uint16_t sum = CalcCheckSum(b, kEchoRequestSize);
  std::memcpy(b + 2, &sum, 2);
}

void TIdIcmpClient::SendEchoRequest() {
  const std::string dotted = ResolveHost(Host);
  in_addr to{};
  if (::inet_pton(AF_INET, dotted.c_str(), &to) != 1) Fail(dotted + " is not a valid IP address.");
  SendTo(to, bufIcmp.data(), static_cast<size_t>(iDataSize));
}

TReplyStatus TIdIcmpClient::TimeOutRecord() const {
  TReplyStatus r;
  r.FromIpAddress = "0.0.0.0";
  r.SequenceId = wSeqNo;
  r.ReplyStatusType = rsTimeOut;
  return r;
}

bool TIdIcmpClient::DecodeResponse(size_t count, TReplyStatus& reply) {
  if (count == 0) {
    reply = TimeOutRecord();
    return true;
  }
  reply.ReplyStatusType = rsError;
  count = std::min(count, bufReceive.size());
  const uint8_t* b = bufReceive.data();
  const size_t ihl = static_cast<size_t>(b[0] & 0x0F) * 4;
  // Nothing is read past what was received, whatever the headers claim.
  if (ihl < kIpHeaderSize || count < ihl + 8) Fail("Not enough bytes received");
  const uint8_t type = b[ihl];
  TReplyStatusTypes status;
  size_t sequenceAt;
  switch (type) {
    case kEchoReply:
    case kEchoRequest:
      status = rsEcho;
      sequenceAt = ihl + 6;
      break;
    case kUnreachable:
    case kTimeExceeded:
      status = type == kUnreachable ? rsErrorUnreachable : rsErrorTTLExceeded;
      // The quoted request's sequence, its IP header taken to be as long as
      // the received one.
      sequenceAt = ihl + 8 + ihl + 6;
      if (count < sequenceAt + 2) Fail("Not enough bytes received");
      break;
    default:
      Fail("Non-echo type response received");
  }
  const uint16_t sequence = GetLE16(b + sequenceAt);
  if (sequence != wSeqNo) return false;
  if (status == rsEcho)
    FReplydata.assign(reinterpret_cast<const char*>(b) + std::min(count, ihl + 20),
                      count - std::min(count, ihl + 20));
  in_addr source;
  std::memcpy(&source, b + 12, 4);
  reply.BytesReceived = static_cast<int32_t>(count);
  reply.FromIpAddress = TInAddrToString(source);
  reply.MsgType = type;
  reply.SequenceId = sequence;
  reply.TimeToLive = b[8];
  reply.ReplyStatusType = status;
  return true;
}

TReplyStatus TIdIcmpClient::Receive(int timeoutMs) {
  bufReceive.fill(0);
  const uint32_t start = IcmpMilliseconds();
  TReplyStatus result;
  int left = timeoutMs;
  do {
    const size_t count = ReceiveDatagram(bufReceive.data(), bufReceive.size(), left);
    if (DecodeResponse(count, result)) return result;
    result = TimeOutRecord();
    left = timeoutMs - static_cast<int>(IcmpClockDifference(start, IcmpMilliseconds()));
  } while (left > 0);
  return result;
}

void TIdIcmpClient::GetEchoReply() { FReplyStatus = Receive(ReceiveTimeout); }

void TIdIcmpClient::DoReply() {
  if (OnReply) OnReply(*this, FReplyStatus);
}

void TIdIcmpClient::Ping(const std::string& ABuffer, uint16_t SequenceID) {
  if (SequenceID != 0) wSeqNo = SequenceID;
  PrepareEchoRequest(ABuffer);
  const uint32_t start = IcmpMilliseconds();
  SendEchoRequest();
  GetEchoReply();
  const uint32_t roundTrip = IcmpClockDifference(start, IcmpMilliseconds());
  CloseBinding();
  FReplyStatus.MsRoundTripTime = roundTrip;
  DoReply();
  ++wSeqNo;
}
