#include "TraceRoute.h"

#include <exception>

#include "NetSocket.h"

void TraceRoute(TIdIcmpClient& client, const std::string& target, TTraceRouteView& view) {
  client.Host = target;
  int hop = 1;
  int probes = 0;
  do {
    ++probes;
    try {
      view.AddHop(hop);
      client.SetTTL(hop);
      client.Ping();
      ++hop;
      const TReplyStatus& reply = client.ReplyStatus();
      view.SetTimeAndAddress(std::to_string(reply.MsRoundTripTime) + " ms", reply.FromIpAddress);
      view.SetDomain(WSGetHostByAddr(reply.FromIpAddress));
    } catch (const std::exception&) {
      // The row keeps "..." where nothing came; no text of the error is shown.
    }
  } while (client.ReplyStatus().ReplyStatusType == rsErrorTTLExceeded &&
           hop <= kTraceRouteMaxProbes && probes < kTraceRouteMaxProbes);
}
