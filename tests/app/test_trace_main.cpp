// The Trace route page's tests run in a network namespace of their own when
// they can (root): its loopback answers, and 10.201.96.2 lies behind a veth
// link whose other end takes nothing, so a probe there waits its time-out.
// Nothing leaves the namespace.
#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include <cstdlib>

#include "CrashReporter.h"

bool gTraceNamespace = false;

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (::geteuid() == 0 && ::unshare(CLONE_NEWNET) == 0)
    gTraceNamespace =
        std::system("ip link set lo up && ip link add v0 type veth peer name v1 && "
                    "ip addr add 10.201.96.1/24 dev v0 && ip link set v0 up && ip link set v1 up && "
                    "ip neigh add 10.201.96.2 lladdr 02:00:00:00:00:01 dev v0") == 0;
  TCorvinaApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
