// Runs one trace and prints its rows, for the tests and benchmarks that
// trace inside network namespaces (started with `ip netns exec`):
//   trace_probe TARGET [--timeout MS] [--nobody] [--numeric]
// prints "hop|time|address|domain" per row and "socket=raw|datagram|none".
// --nobody drops to the account nobody first, as an ordinary user traces.
#include <grp.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "TraceRoute.h"

namespace {

class TPrintingView : public TTraceRouteView {
 public:
  bool numeric = false;
  void AddHop(int hop) override {
    Flush();
    row_ = {std::to_string(hop), "...", "...", "..."};
  }
  void SetTimeAndAddress(const std::string& time, const std::string& address) override {
    row_[1] = time;
    row_[2] = address;
  }
  void SetDomain(const std::string& domain) override {
    if (!numeric) row_[3] = domain;
  }
  void Flush() {
    if (row_.empty()) return;
    std::printf("%s|%s|%s|%s\n", row_[0].c_str(), row_[1].c_str(), row_[2].c_str(),
                row_[3].c_str());
    row_.clear();
  }

 private:
  std::vector<std::string> row_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  TIdIcmpClient client;
  TPrintingView view;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) client.ReceiveTimeout = std::atoi(argv[++i]);
    if (std::strcmp(argv[i], "--numeric") == 0) view.numeric = true;
    if (std::strcmp(argv[i], "--nobody") == 0) {
      if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) return 3;
    }
  }
  TraceRoute(client, argv[1], view);
  view.Flush();
  const TIcmpSocketKind kind = client.SocketKind();
  std::printf("socket=%s\n", kind == TIcmpSocketKind::skRaw        ? "raw"
                             : kind == TIcmpSocketKind::skDatagram ? "datagram"
                             : kind == TIcmpSocketKind::skHelper   ? "helper"
                                                                   : "none");
  return 0;
}
