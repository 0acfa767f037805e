// The ICMP echo client: one echo request with a chosen time-to-live, and the
// answer that belongs to it (an echo reply, a router's time exceeded, a
// destination unreachable), as a reply record.
//
// The socket: a raw IPv4 ICMP socket where the process may open one (root,
// or the capability CAP_NET_RAW); otherwise the kernel's ICMP datagram
// socket ("ping socket", allowed by net.ipv4.ping_group_range), whose error
// queue carries the time-exceeded and unreachable messages. What the
// datagram socket delivers is turned into the whole IPv4 datagram a raw
// socket delivers, so one decoder serves both.
#pragma once

#include <netinet/in.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

enum TReplyStatusTypes : uint8_t {
  rsEcho = 0,
  rsError = 1,
  rsTimeOut = 2,
  rsErrorUnreachable = 3,
  rsErrorTTLExceeded = 4,
};

struct TReplyStatus {
  int32_t BytesReceived = 0;
  std::string FromIpAddress;
  uint8_t MsgType = 0;
  uint16_t SequenceId = 0;
  uint32_t MsRoundTripTime = 0;
  uint8_t TimeToLive = 0;
  TReplyStatusTypes ReplyStatusType = rsEcho;
};

// The millisecond clock of the echo client (a monotonic clock cut to 32
// bits) and the difference of two of its readings across the wrap.
uint32_t IcmpMilliseconds();
uint32_t IcmpClockDifference(uint32_t oldValue, uint32_t newValue);

// The Internet checksum (RFC 1071) of bytes of even length, in the
// machine's byte order, as it is stored into the header.
uint16_t CalcCheckSum(const uint8_t* data, size_t size);

// Which socket a client uses: its own raw socket, the kernel's datagram
// socket, or a raw socket opened by the helper program beside it.
enum class TIcmpSocketKind { skNone, skRaw, skDatagram, skHelper };

// The helper program that opens a raw ICMP socket for a user who may not,
// looked for in the program's folder.
inline constexpr const char* kIcmpHelperName = "corvina-icmp-helper";
// Runs the helper of that path and returns the raw socket it hands over,
// or -1.
int RawSocketFromHelper(const std::string& helperPath);

// The raw socket, opened on first use.
class TIdRawBase {
 public:
  TIdRawBase() = default;
  virtual ~TIdRawBase();
  TIdRawBase(const TIdRawBase&) = delete;
  TIdRawBase& operator=(const TIdRawBase&) = delete;

  std::string Host;
  int32_t Port = 0;
  int32_t Protocol = 255;
  int32_t ReceiveTimeout = 5000;
  int32_t TTL = 128;

  // Stores TTL and applies it to the socket at once (opening it first).
  void SetTTL(int32_t value);
  // The socket of the last open (raw or datagram), or none when neither
  // could be had.
  TIcmpSocketKind SocketKind() const { return kind_; }
  // For tests: never try the raw socket.
  bool PreferDatagram = false;

 protected:
  // Opens the socket when none is open and sets the time-to-live. Raises
  // "Cannot allocate socket." when neither socket can be had.
  void Binding();
  void CloseBinding();
  // Sends to an address; raises "Package Size Too Big.", "Not all bytes
  // sent." or a socket error.
  void SendTo(const in_addr& to, const uint8_t* data, size_t size);
  // Waits at most timeoutMs for one datagram and returns its length (0 on a
  // time-out); what is read is a whole IPv4 datagram, IP header included.
  size_t ReceiveDatagram(uint8_t* buffer, size_t size, int timeoutMs);

 private:
  size_t ReceiveFromDatagramSocket(uint8_t* buffer, size_t size);
  int fd_ = -1;
  TIcmpSocketKind kind_ = TIcmpSocketKind::skNone;
};

class TIdRawClient : public TIdRawBase {};

class TIdIcmpClient : public TIdRawClient {
 public:
  using TOnReply = std::function<void(TIdIcmpClient& sender, const TReplyStatus& reply)>;

  TIdIcmpClient() { Protocol = IPPROTO_ICMP; }

  uint16_t wSeqNo = 3489;
  int32_t iDataSize = 0;
  std::array<uint8_t, 1024> bufIcmp{};
  std::array<uint8_t, 1024> bufReceive{};
  TOnReply OnReply;

  const TReplyStatus& ReplyStatus() const { return FReplyStatus; }
  const std::string& ReplyData() const { return FReplydata; }

  // Sends one echo request to Host and waits for its answer.
  void Ping(const std::string& ABuffer = "", uint16_t SequenceID = 0);

  // The steps of Ping, public for the tests.
  void PrepareEchoRequest(const std::string& ABuffer);
  void SendEchoRequest();
  void GetEchoReply();
  TReplyStatus Receive(int timeoutMs);
  // Decodes the count bytes at the start of bufReceive; true when they are
  // the answer to this ping (reply filled). Raises "Not enough bytes
  // received" for a datagram too short for what its headers say, and
  // "Non-echo type response received" for an unexpected ICMP type.
  bool DecodeResponse(size_t count, TReplyStatus& reply);
  void DoReply();

 private:
  TReplyStatus TimeOutRecord() const;

  TReplyStatus FReplyStatus;
  std::string FReplydata;
};
