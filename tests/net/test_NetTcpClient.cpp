#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>

#include "ErrorOf.h"
#include "LoopbackServer.h"
#include "NetAntiFreeze.h"
#include "NetErrors.h"
#include "NetSocket.h"
#include "NetWhoisClient.h"

namespace {

// Counts the calls of the anti-freeze hook while it is installed.
struct THookCounter {
  std::atomic<int> calls{0};
  std::function<void()> extra;
  THookCounter() {
    SetAntiFreezeHook([this] {
      ++calls;
      if (extra) extra();
    });
  }
  ~THookCounter() { SetAntiFreezeHook({}); }
};

void Aim(TIdTCPClient& client, const TLoopbackServer& server) {
  client.Host = server.Address();
  client.Port = server.Port();
}

}  // namespace

TEST(WhoisClient, SendsTheQueryWithCrLfAndReadsEveryByteUntilClose) {
  static const char kBytes[] = "line 1\r\n\0\xff\xe4 8-bit\nlast";
  const std::string answer(kBytes, sizeof kBytes - 1);
  TLoopbackServer server(TLoopbackServer::Answer(answer));
  TIdWhois client;
  client.Host = "127.0.0.1";
  client.Port = server.Port();
  EXPECT_EQ(client.WhoIs("domain example.com"), answer);
  EXPECT_FALSE(client.Connected());
  EXPECT_EQ(server.Requests(), std::vector<std::string>{"domain example.com"});
  // The same client serves the next exchange.
  EXPECT_EQ(client.WhoIs("again"), answer);
}

TEST(WhoisClient, SocketErrorsCarryTheirNumberAndText) {
  TIdWhois client;
  client.Host = "127.0.0.1";
  client.Port = UnusedLoopbackPort();
  EXPECT_EQ(ErrorOf([&] { client.WhoIs("x"); }), "Socket Error # 10061\r\nConnection refused.");
  EXPECT_FALSE(client.Connected());
  for (const char* host : {"no-such-host.invalid", "", "bad host name!", "a\r\nb"}) {
    client.Host = host;
    EXPECT_EQ(ErrorOf([&] { client.WhoIs("x"); }), "Socket Error # 11001\r\nHost not found.")
        << host;
  }
}

TEST(WhoisClient, AServerThatClosesAtOnceGivesAnEmptyAnswer) {
  TLoopbackServer server(TLoopbackServer::CloseAtOnce());
  TIdWhois client;
  Aim(client, server);
  EXPECT_EQ(client.WhoIs("x"), "");
}

TEST(WhoisClient, ReadTimeoutWaitsInSlicesOfAtMost250Ms) {
  TLoopbackServer server(TLoopbackServer::Stall(10000));
  TIdWhois client;
  Aim(client, server);
  client.ReadTimeout = 600;
  {
    THookCounter hook;
    EXPECT_EQ(ErrorOf([&] { client.WhoIs("x"); }), "Read Timeout");
    // The read waits 250, 250 and 100 ms, with the window's turn after each
    // (a loaded machine may add turns while the connection is made).
    EXPECT_GE(hook.calls, 3);
  }
  EXPECT_FALSE(client.Connected());
  // Without a hook the wait is one piece and still ends.
  EXPECT_EQ(ErrorOf([&] { client.WhoIs("x"); }), "Read Timeout");
}

TEST(SlicedWait, ShortWaitsAreOneSliceAndEndlessWaitsProcessMessages) {
  int fds[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
  {
    THookCounter hook;
    EXPECT_FALSE(WaitForReadable(fds[0], 200));
    EXPECT_EQ(hook.calls, 0);
    // An endless wait ends when data comes; the hook sends it after three slices.
    hook.extra = [&] {
      if (hook.calls == 3) {
        ASSERT_EQ(::write(fds[1], "x", 1), 1);
      }
    };
    EXPECT_TRUE(WaitForReadable(fds[0], -1));
    EXPECT_EQ(hook.calls, 3);
  }
  ::close(fds[0]);
  ::close(fds[1]);
}

TEST(WhoisClient, ATrickleKeepsTheWindowRunningAndEndsAtTheExchangeBound) {
  // A byte every 100 ms never lets a wait slice end empty.
  TLoopbackServer server([](int fd, const std::string&, int stopFd) {
    while (!WaitReadableFor(stopFd, 100)) SendAll(fd, "x");
  });
  TIdWhois client;
  Aim(client, server);
  client.ExchangeTimeout = 1500;
  THookCounter hook;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ErrorOf([&] { client.WhoIs("x"); }),
            "Answer too slow: the server took more than 1.5 seconds to send its answer.");
  const auto spent = std::chrono::steady_clock::now() - start;
  EXPECT_LT(spent, std::chrono::milliseconds(2500));
  // The window had its turn about every 250 ms while bytes came.
  EXPECT_GE(hook.calls, 4);
  EXPECT_EQ(kWhoisExchangeTimeout, 60000);
}

TEST(WhoisClient, AnEndlessAnswerIsCutOffAndDropped) {
  TLoopbackServer server(TLoopbackServer::Stream());
  TIdWhois client;
  Aim(client, server);
  client.MaxAnswerSize = 1u << 20;
  EXPECT_EQ(ErrorOf([&] { client.WhoIs("x"); }),
            "Answer too long: the server sent more than 1048576 bytes.");
  EXPECT_FALSE(client.Connected());
  EXPECT_EQ(kMaxWhoisAnswerSize, 16u << 20);
}

TEST(WhoisClient, AnExchangeStartedDuringAWaitFindsTheClientConnected) {
  // The server answers only when the test lets it, after the nested try.
  std::promise<void> release;
  auto released = release.get_future().share();
  TLoopbackServer server([released](int fd, const std::string&, int) {
    released.wait_for(std::chrono::seconds(10));
    SendAll(fd, "answer\r\n");
  });
  TIdWhois client;
  Aim(client, server);
  client.ReadTimeout = 2000;
  std::string nested;
  {
    THookCounter hook;
    hook.extra = [&] {
      if (!nested.empty()) return;
      nested = ErrorOf([&] { client.WhoIs("nested"); });
      release.set_value();
    };
    EXPECT_EQ(client.WhoIs("outer"), "answer\r\n");
  }
  EXPECT_EQ(nested, "Already connected.");
  EXPECT_EQ(server.Requests(), std::vector<std::string>{"outer"});
}

TEST(TcpClient, ConnectTwiceIsAlreadyConnected) {
  TLoopbackServer server(TLoopbackServer::Answer("hello"));
  TIdTCPClient client;
  Aim(client, server);
  client.ReadTimeout = 5000;
  client.Connect();
  EXPECT_EQ(ErrorOf([&] { client.Connect(); }), "Already connected.");
  ASSERT_TRUE(client.Connected());
  client.Write("q\r\n");
  EXPECT_EQ(client.ReadUntilClose(100), "hello");
  client.Disconnect();
  EXPECT_THROW(client.Write("x"), EIdNotConnected);
}

TEST(TcpClient, AConnectionAttemptThatHangsIsAbandonedAfterItsTime) {
  // A listener whose queue is full drops further connection requests, so
  // the next attempt hangs the way an unreachable host does.
  TLoopbackServer full(nullptr, "127.0.0.1", 0, 0);
  std::vector<int> fillers;
  for (int i = 0; i < 4; ++i) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<uint16_t>(full.Port()));
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    fillers.push_back(fd);
  }
  ::usleep(100000);
  TIdTCPClient client;
  client.Host = "127.0.0.1";
  client.Port = full.Port();
  client.ConnectTimeout = 500;
  {
    THookCounter hook;
    EXPECT_EQ(ErrorOf([&] { client.Connect(); }), "Connect timed out.");
    // Messages are processed every 125 ms while the attempt runs.
    EXPECT_GE(hook.calls, 3);
  }
  EXPECT_FALSE(client.Connected());
  for (const int fd : fillers) ::close(fd);
}

TEST(SocketErrors, WindowsNumbersForTheErrorsUsersMeet) {
  EXPECT_EQ(SocketErrorCodeFromErrno(ECONNREFUSED), 10061);
  EXPECT_EQ(SocketErrorCodeFromErrno(ETIMEDOUT), 10060);
  EXPECT_EQ(SocketErrorCodeFromErrno(EHOSTUNREACH), 10065);
  EXPECT_EQ(SocketErrorCodeFromErrno(ECONNRESET), 10054);
  EXPECT_EQ(SocketErrorCodeFromErrno(EACCES), EACCES);
  EXPECT_EQ(SocketErrorText(10065), "No route to host.");
}

TEST(NameResolution, IPv4LiteralsInEveryFormAndLocalhostWithoutALookup) {
  const std::pair<const char*, const char*> cases[] = {
      {"127.0.0.1", "127.0.0.1"},       {"LocalHost", "127.0.0.1"},
      {"10.1", "10.0.0.1"},             {"10.1.2", "10.1.0.2"},
      {"10.1.65535", "10.1.255.255"},   {"1.16777215", "1.255.255.255"},
      {"4294967295", "255.255.255.255"}, {"0", "0.0.0.0"},
      {"192.168.001.010", "192.168.1.10"}};
  for (const auto& [text, dotted] : cases) EXPECT_EQ(ResolveHost(text), dotted) << text;
  in_addr a{};
  for (const char* bad : {"256.1.1.1", "1.2.3.4.5", "1.2.65536", "1.16777216", "4294967296",
                          "1..2", ".1", "1.", "0x7f.1", " 1.2.3.4", "", "1.2.3.-4"})
    EXPECT_FALSE(ParseIPv4Literal(bad, a)) << bad;
  EXPECT_EQ(ErrorOf([] { ResolveHost("no-such-host.invalid"); }),
            "Socket Error # 11001\r\nHost not found.");
  EXPECT_EQ(WSGetHostByAddr("127.0.0.1"), "localhost");
  EXPECT_EQ(ErrorOf([] { WSGetHostByAddr("not an address"); }),
            "Socket Error # 11001\r\nHost not found.");
}
