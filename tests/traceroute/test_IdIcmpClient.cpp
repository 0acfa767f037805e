#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "ErrorOf.h"
#include "IdIcmpClient.h"

namespace {

using Bytes = std::vector<uint8_t>;

// An IPv4 header of ihl bytes from a source address, with a time-to-live.
Bytes IpHeader(size_t ihl, const char* from, uint8_t ttl) {
  Bytes h(ihl, 0);
  h[0] = static_cast<uint8_t>(0x40 | (ihl / 4));
  h[8] = ttl;
  h[9] = 1;
  unsigned a, b, c, d;
  std::sscanf(from, "%u.%u.%u.%u", &a, &b, &c, &d);
  h[12] = static_cast<uint8_t>(a), h[13] = static_cast<uint8_t>(b);
  h[14] = static_cast<uint8_t>(c), h[15] = static_cast<uint8_t>(d);
  return h;
}

// An ICMP message of a type with a sequence number at offset 6 (least
// significant byte first).
Bytes Icmp(uint8_t type, uint16_t sequence, size_t size = 8) {
  Bytes m(size, 0);
  m[0] = type;
  m[6] = static_cast<uint8_t>(sequence);
  m[7] = static_cast<uint8_t>(sequence >> 8);
  return m;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// A router's answer quoting our request: its own header, an ICMP error
// header, the quoted IP header and the first 8 bytes of the request.
Bytes ErrorAnswer(uint8_t type, const char* from, uint16_t sequence) {
  return Join({IpHeader(20, from, 63), Icmp(type, 0), IpHeader(20, "10.0.0.1", 1),
               Icmp(8, sequence)});
}

// Decodes bytes as if they were received; "accepted"/"ignored" or the error.
std::string Decode(TIdIcmpClient& client, const Bytes& bytes, TReplyStatus& reply) {
  client.bufReceive.fill(0);
  std::memcpy(client.bufReceive.data(), bytes.data(), std::min(bytes.size(), size_t{1024}));
  try {
    return client.DecodeResponse(bytes.size(), reply) ? "accepted" : "ignored";
  } catch (const std::exception& e) {
    return e.what();
  }
}

}  // namespace

TEST(IcmpEchoClient, TheRequestIs52BytesWithAnInternetChecksum) {
  TIdIcmpClient client;
  EXPECT_EQ(client.Protocol, 1);
  EXPECT_EQ(client.ReceiveTimeout, 5000);
  EXPECT_EQ(client.TTL, 128);
  EXPECT_EQ(client.wSeqNo, 3489);
  EXPECT_EQ(client.iDataSize, 0);
  EXPECT_EQ(client.ReplyStatus().ReplyStatusType, rsEcho);
  client.wSeqNo = 0x1234;
  client.PrepareEchoRequest("");
  const uint8_t* b = client.bufIcmp.data();
  EXPECT_EQ(client.iDataSize, 52);
  EXPECT_EQ(b[0], 8);
  EXPECT_EQ(b[1], 0);
  const uint16_t pid = static_cast<uint16_t>(::getpid());
  EXPECT_EQ(b[4] | (b[5] << 8), pid);  // least significant byte first
  EXPECT_EQ(b[6], 0x34);
  EXPECT_EQ(b[7], 0x12);
  for (int i = 12; i < 20; ++i) EXPECT_EQ(b[i], 0) << i;
  for (int i = 20; i < 52; ++i) EXPECT_EQ(b[i], 0x45) << i;
  // The checksum makes the whole request sum to 0xFFFF (RFC 1071).
  EXPECT_EQ(CalcCheckSum(b, 52), 0);
  client.PrepareEchoRequest(std::string(40, 'x'));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b) + 20, 32), std::string(32, 'x'));

  // RFC 1071's example: the words 0001 f203 f4f5 f6f7 sum to ddf2, whose
  // complement 220d is the checksum (in the machine's byte order).
  const uint8_t rfc[] = {0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7};
  uint16_t expected = 0;
  const uint8_t want[] = {0x22, 0x0d};
  std::memcpy(&expected, want, 2);
  EXPECT_EQ(CalcCheckSum(rfc, sizeof rfc), expected);
}

TEST(IcmpEchoClient, AnswersAreDecodedByTypeAndSequence) {
  TIdIcmpClient client;
  client.wSeqNo = 700;
  const struct {
    const char* what;
    Bytes bytes;
    std::string result;
    TReplyStatusTypes status;
    const char* from;
  } cases[] = {
      {"echo reply", Join({IpHeader(20, "10.0.0.9", 60), Icmp(0, 700, 40)}), "accepted", rsEcho,
       "10.0.0.9"},
      {"our own request on loopback", Join({IpHeader(20, "127.0.0.1", 64), Icmp(8, 700, 52)}),
       "accepted", rsEcho, "127.0.0.1"},
      {"time exceeded quoting us", ErrorAnswer(11, "10.201.1.2", 700), "accepted",
       rsErrorTTLExceeded, "10.201.1.2"},
      {"unreachable quoting us", ErrorAnswer(3, "10.201.3.2", 700), "accepted",
       rsErrorUnreachable, "10.201.3.2"},
      {"a longer IP header on both", Join({IpHeader(24, "10.0.0.5", 9), Icmp(11, 0),
                                           IpHeader(24, "10.0.0.1", 1), Icmp(8, 700)}),
       "accepted", rsErrorTTLExceeded, "10.0.0.5"},
      {"another ping's reply", Join({IpHeader(20, "10.0.0.9", 60), Icmp(0, 701, 40)}), "ignored",
       rsError, ""},
      {"time exceeded for another probe", ErrorAnswer(11, "10.0.0.2", 699), "ignored", rsError,
       ""},
      {"a redirect", Join({IpHeader(20, "10.0.0.1", 64), Icmp(5, 700, 36)}),
       "Non-echo type response received", rsError, ""},
      {"shorter than its IP header + 8", Join({IpHeader(20, "10.0.0.1", 64), Bytes(7, 0)}),
       "Not enough bytes received", rsError, ""},
      {"a header length past the data", Join({IpHeader(60, "10.0.0.1", 64)}),
       "Not enough bytes received", rsError, ""},
      {"a header length below 20", Bytes{0x41, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       "Not enough bytes received", rsError, ""},
      {"an error that quotes too little", Join({IpHeader(20, "10.0.0.2", 63), Icmp(11, 0),
                                                IpHeader(20, "10.0.0.1", 1), Bytes(4, 0)}),
       "Not enough bytes received", rsError, ""},
  };
  for (const auto& c : cases) {
    TReplyStatus reply;
    EXPECT_EQ(Decode(client, c.bytes, reply), c.result) << c.what;
    if (c.result != "accepted") continue;
    EXPECT_EQ(reply.ReplyStatusType, c.status) << c.what;
    EXPECT_EQ(reply.FromIpAddress, c.from) << c.what;
    EXPECT_EQ(reply.SequenceId, 700) << c.what;
    EXPECT_EQ(reply.BytesReceived, static_cast<int32_t>(c.bytes.size())) << c.what;
    EXPECT_EQ(reply.MsgType, c.bytes[c.bytes[0] % 16 * 4]) << c.what;
  }
  // Nothing received: the time-out record.
  TReplyStatus reply;
  EXPECT_EQ(Decode(client, {}, reply), "accepted");
  EXPECT_EQ(reply.ReplyStatusType, rsTimeOut);
  EXPECT_EQ(reply.FromIpAddress, "0.0.0.0");
  EXPECT_EQ(reply.SequenceId, 700);
  EXPECT_EQ(reply.TimeToLive, 0);
  // The echo reply's data behind the 20-byte ICMP header.
  Decode(client, Join({IpHeader(20, "10.0.0.9", 60), Icmp(0, 700, 24)}), reply);
  EXPECT_EQ(client.ReplyData(), std::string(4, '\0'));
}

TEST(IcmpEchoClient, ClockAndSequenceWrap) {
  EXPECT_EQ(IcmpClockDifference(100, 250), 150u);
  EXPECT_EQ(IcmpClockDifference(4294967200u, 50), (4294967295u - 4294967200u) + 50);
  EXPECT_EQ(IcmpClockDifference(7, 7), 0u);
  TIdIcmpClient client;
  client.Host = "no-such-host.invalid";
  client.wSeqNo = 65535;
  // A ping that fails keeps its sequence number; a completed one wraps it.
  EXPECT_NE(ErrorOf([&] { client.Ping(); }), "");
  EXPECT_EQ(client.wSeqNo, 65535);
}
