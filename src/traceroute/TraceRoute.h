// The trace route without a window: probes with a rising time-to-live, one
// row per probe, until an answer is anything but time exceeded.
#pragma once

#include <string>

#include "IdIcmpClient.h"

// The first time-to-live is 1; at most this many probes make one trace,
// failed probes included, so that a trace always ends.
inline constexpr int kTraceRouteMaxProbes = 100;

// The rows a trace fills in; the window supplies its list.
class TTraceRouteView {
 public:
  virtual ~TTraceRouteView() = default;
  // A new row for the probe: the hop number and "..." in the other columns.
  virtual void AddHop(int hop) = 0;
  // The probe's round-trip time (as "12 ms") and the address that answered.
  virtual void SetTimeAndAddress(const std::string& time, const std::string& address) = 0;
  // The host name of that address.
  virtual void SetDomain(const std::string& domain) = 0;
};

// Traces the route to target with client (its ReceiveTimeout is the wait
// per probe). A probe that fails (no such host, no socket, an unexpected
// answer) keeps "..." in its row and is not reported; the trace goes on
// while the last completed reply is time exceeded.
void TraceRoute(TIdIcmpClient& client, const std::string& target, TTraceRouteView& view);
