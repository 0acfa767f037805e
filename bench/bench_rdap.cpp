// An RDAP lookup with one registrar referral against a loopback nginx over
// HTTPS, beside curl fetching the same two documents in one run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "BenchPeers.h"
#include "NginxServer.h"
#include "WhoisQuery.h"
#include "WhoisRdap.h"

namespace {

struct TServer {
  std::unique_ptr<TTestCertificates> certificates;
  std::unique_ptr<TNginxServer> nginx;
  std::string bootstrap;
};

TServer* Server() {
  static std::unique_ptr<TServer> server = [] {
    std::string why;
    if (!TNginxServer::Available(why) || !TTestCertificates::Available(why)) {
      std::fprintf(stderr, "%s\n", why.c_str());
      return std::unique_ptr<TServer>();
    }
    auto s = std::make_unique<TServer>();
    s->certificates = std::make_unique<TTestCertificates>();
    s->nginx = std::make_unique<TNginxServer>("default_type application/rdap+json;",
                                              s->certificates->ServerCertificate(),
                                              s->certificates->ServerKey());
    const std::string registrar = s->nginx->Url("/registrar/domain/example.test");
    s->nginx->WriteDocument(
        "rdap/domain/example.test",
        R"({"objectClassName":"domain","ldhName":"EXAMPLE.TEST","nameservers":[{"ldhName":"NS1.EXAMPLE.TEST"}],
           "links":[{"rel":"related","href":")" +
            registrar + R"(","type":"application/rdap+json"}]})");
    s->nginx->WriteDocument(
        "registrar/domain/example.test",
        R"({"objectClassName":"domain","ldhName":"example.test","entities":[{"roles":["registrant"],
           "vcardArray":["vcard",[["fn",{},"text","Owner"],["email",{},"text","owner@example.test"]]]}]})");
    s->bootstrap = R"({"services":[[["test"],[")" + s->nginx->Url("/rdap/") + R"("]]]})";
    return s;
  }();
  return server.get();
}

void BM_RdapLookup(benchmark::State& state) {
  if (!Server()) {
    state.SkipWithError("nginx or openssl is not installed");
    return;
  }
  TRdapBootstrap bootstrap;
  bootstrap.Load(Server()->bootstrap);
  for (auto _ : state) {
    TRdapClient client;
    client.CaFile = Server()->certificates->CaFile();
    TIdWhois whois;
    TWhoisLookup lookup(whois);
    lookup.SetRdap(&bootstrap, &client);
    const std::string report = lookup.RunRdap("example.test", "header");
    if (report.find("owner@example.test") == std::string::npos) state.SkipWithError("no answer");
  }
}
BENCHMARK(BM_RdapLookup)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_CurlTwoDocuments(benchmark::State& state) {
  if (!Server()) {
    state.SkipWithError("nginx or openssl is not installed");
    return;
  }
  static TTempFolder scratch;
  const std::string out = scratch.Path() + "out";
  for (auto _ : state)
    if (!RunPeer({"curl", "-s", "--cacert", Server()->certificates->CaFile(), "-o", out,
                  Server()->nginx->Url("/rdap/domain/example.test"), "-o", out,
                  Server()->nginx->Url("/registrar/domain/example.test")},
                 scratch.Path() + "curl.out")) {
      state.SkipWithError("curl is not installed");
      break;
    }
}
BENCHMARK(BM_CurlTwoDocuments)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter r;
  benchmark::RunSpecifiedBenchmarks(&r);
  std::printf("\n");
  r.PrintRatio("RDAP lookup with one registrar referral, Corvina / curl (target <= 1.5)",
               "BM_RdapLookup/min_time:2.000", "BM_CurlTwoDocuments/min_time:2.000");
  benchmark::Shutdown();
  return 0;
}
