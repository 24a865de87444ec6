#pragma once

#include <string>

#include "ServerMetrics.h"

struct MHD_Daemon;
class TScoreStore;

// The private listener for monitoring: GET /metrics in the Prometheus text
// format, nothing else. It has a port of its own (--metrics-listen), never
// the public one, and one thread: a scrape never waits behind players.
class TMetricsServer {
 public:
  TMetricsServer(TServerMetrics& metrics, TScoreStore& store);
  ~TMetricsServer();
  TMetricsServer(const TMetricsServer&) = delete;
  TMetricsServer& operator=(const TMetricsServer&) = delete;

  // Starts serving on host:port (port 0: any free port). Returns the bound
  // port, or -1 with `error` set.
  int Start(const std::string& host, int port, std::string& error);
  void Stop();

 private:
  TServerMetrics& metrics_;
  TScoreStore& store_;
  MHD_Daemon* daemon_ = nullptr;
};
