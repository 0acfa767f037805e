// The pages that read the network (Trace route, Adapters) are tested in a
// network namespace of their own when they can (root): its loopback
// answers; v0 has two addresses and the default route, and 10.201.96.2
// lies behind it on a link whose other end (v1, without addresses) takes
// nothing, so a probe there waits its time-out. Nothing leaves the
// namespace.
#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "CrashReporter.h"

bool gTraceNamespace = false;  // the namespace above is in place

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // A mount namespace too: /sys shows the interfaces of the namespace it is
  // mounted in, and names are looked up in the hosts file only (there is no
  // name server to wait for behind the made-up default route).
  static const char kNsswitch[] = "/tmp/corvina-netns-nsswitch.conf";
  if (FILE* f = std::fopen(kNsswitch, "w")) {
    std::fputs("hosts: files\n", f);
    std::fclose(f);
  }
  if (::geteuid() == 0 && ::unshare(CLONE_NEWNET | CLONE_NEWNS) == 0)
    gTraceNamespace =
        std::system("mount --make-rprivate / && mount -t sysfs sysfs /sys && "
                    "mount --bind /tmp/corvina-netns-nsswitch.conf /etc/nsswitch.conf && "
                    "ip link set lo up && ip link add v0 type veth peer name v1 && "
                    "ip addr add 10.201.96.1/24 dev v0 && ip link set v0 up && ip link set v1 up && "
                    "ip neigh add 10.201.96.2 lladdr 02:00:00:00:00:01 dev v0 && "
                    "ip addr add 10.201.95.7/16 dev v0 && "
                    "ip route add default via 10.201.96.254") == 0;
  TCorvinaApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
