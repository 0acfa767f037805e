// The trace over real routes: network namespaces joined by veth pairs with
// forwarding routers between them (client - r1 - r2 - r3 - target). Needs
// root; skipped with a message otherwise.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "NetNamespaces.h"
#include "TempFolder.h"

namespace {

struct TTrace {
  std::vector<std::string> rows;
  std::string socket;
};

class TraceRouteRoute : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string why;
    if (!TNetNamespaces::Available(why)) {
      skip_ = why;
      return;
    }
    ns_ = new TNetNamespaces;
    MakeTraceRoute(*ns_);
  }
  static void TearDownTestSuite() {
    delete ns_;
    ns_ = nullptr;
  }
  void SetUp() override {
    if (!skip_.empty()) GTEST_SKIP() << "Trace route tests over namespaces skipped: " << skip_;
  }
  // Runs the probe program in the client's namespace.
  static TTrace Trace(const std::string& args) {
    std::istringstream out(ns_->Output("client", std::string(CORVINA_TRACE_PROBE) + " " + args));
    TTrace trace;
    for (std::string line; std::getline(out, line);) {
      if (line.rfind("socket=", 0) == 0)
        trace.socket = line.substr(7);
      else
        trace.rows.push_back(line);
    }
    return trace;
  }
  // A row without its time, which varies.
  static std::string Row(const std::string& row) {
    const size_t a = row.find('|'), b = row.find('|', a + 1);
    return row.substr(0, a) + "|" + row.substr(b + 1);
  }

  static inline TNetNamespaces* ns_ = nullptr;
  static inline std::string skip_;
};

}  // namespace

TEST_F(TraceRouteRoute, EachRouterIsARowAndTheTargetIsLast) {
  for (const char* user : {"", " --nobody"}) {
    SCOPED_TRACE(*user ? "as nobody, with the datagram socket" : "as root, with the raw socket");
    if (*user) {
      ASSERT_TRUE(ns_->Exec("client", "echo 0 2147483647 > /proc/sys/net/ipv4/ping_group_range"));
    }
    const TTrace trace = Trace(std::string("10.201.4.2") + user);
    std::vector<std::string> rows;
    for (const auto& r : trace.rows) rows.push_back(Row(r));
    EXPECT_EQ(rows, (std::vector<std::string>{"1|10.201.1.2|r1.corvina.test",
                                              "2|10.201.2.2|r2.corvina.test",
                                              "3|10.201.3.2|r3.corvina.test",
                                              "4|10.201.4.2|target.corvina.test"}));
    EXPECT_EQ(trace.socket, *user ? "datagram" : "raw");
    for (const auto& r : trace.rows) EXPECT_NE(r.find(" ms|"), std::string::npos) << r;
  }
}

TEST_F(TraceRouteRoute, AnOrdinaryUserWithoutPingSocketsTracesThroughTheHelper) {
  // The probe program and the helper in a folder of their own, the helper
  // with the capability to open raw sockets; ping sockets closed.
  TTempFolder dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
  const std::string probe = dir.Path() + "trace_probe";
  const std::string helper = dir.Path() + "corvina-icmp-helper";
  std::filesystem::copy_file(CORVINA_TRACE_PROBE, probe);
  std::filesystem::copy_file(CORVINA_ICMP_HELPER, helper);
  if (std::system(("setcap cap_net_raw+ep " + helper + " 2>/dev/null").c_str()) != 0)
    GTEST_SKIP() << "setcap (libcap2-bin) is not installed or the file system keeps no "
                    "capabilities";
  ASSERT_TRUE(ns_->Exec("client", "echo 1 0 > /proc/sys/net/ipv4/ping_group_range"));
  std::istringstream out(ns_->Output("client", probe + " 10.201.4.2 --nobody"));
  std::vector<std::string> rows;
  std::string socket;
  for (std::string line; std::getline(out, line);)
    if (line.rfind("socket=", 0) == 0)
      socket = line.substr(7);
    else
      rows.push_back(Row(line));
  EXPECT_EQ(socket, "helper");
  EXPECT_EQ(rows, (std::vector<std::string>{"1|10.201.1.2|r1.corvina.test",
                                            "2|10.201.2.2|r2.corvina.test",
                                            "3|10.201.3.2|r3.corvina.test",
                                            "4|10.201.4.2|target.corvina.test"}));
}

TEST_F(TraceRouteRoute, ARouterThatDropsEndsTheTraceAtItsRowAfterTheTimeOut) {
  const TTrace trace = Trace("10.201.97.1 --timeout 400");
  ASSERT_EQ(trace.rows.size(), 3u);
  EXPECT_EQ(Row(trace.rows[1]), "2|10.201.2.2|r2.corvina.test");
  // The silent hop: about the time-out, and the address 0.0.0.0 without a
  // name.
  EXPECT_EQ(Row(trace.rows[2]), "3|0.0.0.0|...");
  const int ms = std::stoi(trace.rows[2].substr(2));
  EXPECT_GE(ms, 390);
  EXPECT_LT(ms, 2000);
}

TEST_F(TraceRouteRoute, ARouteLoopEndsAtExactly100Rows) {
  const TTrace trace = Trace("10.201.99.1");
  ASSERT_EQ(trace.rows.size(), 100u);
  EXPECT_EQ(Row(trace.rows[0]), "1|10.201.1.2|r1.corvina.test");
  EXPECT_EQ(Row(trace.rows[1]), "2|10.201.2.2|r2.corvina.test");
  EXPECT_EQ(Row(trace.rows[99]), "100|10.201.2.2|r2.corvina.test");
}
