#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ClientAddress.h"
#include "ScoreStore.h"
#include "metrics/ServerMetrics.h"

struct TScoreServerOptions {
  int64_t ChallengeLifetimeSeconds = 600;
  // Open challenges one client address may hold; request 1 beyond it is 429.
  int MaxOpenChallengesPerAddress = 16;
  // Unix time in seconds; the system clock when empty.
  std::function<int64_t()> Clock;
  // Receives one line per request (without the newline); no logging when empty.
  std::function<void(const std::string&)> Log;
  // Requests 1 and 2 per client address and minute, each; 0: no limit.
  int RatePerMinute = 0;
  // Client addresses each rate limit keeps count of; when full, the one whose
  // bucket is full again soonest is forgotten.
  size_t RateLimitKeys = 100'000;
  // Proxies whose X-Forwarded-For names the client; their own connections are
  // not counted against the per-address cap.
  std::vector<TAddressRange> TrustedProxies;
  // Open connections one client address may hold at once.
  int MaxConnectionsPerAddress = 32;
  // Open connections in all (fewer if the descriptor limit is lower). When
  // all are taken, a newcomer takes the slot of the oldest connection that
  // has not sent a whole request, or else of the oldest idle one.
  int MaxConnections = 1000;
  // A connection must send its whole request line and headers within this
  // many seconds of opening (or of the first byte of its next request).
  int HeaderTimeoutSeconds = 3;
  // A request must be complete and answered within this many seconds of the
  // connection opening (or of the previous answer on it).
  int RequestDeadlineSeconds = 10;
  // A connection that sends nothing for this long is closed.
  int IdleTimeoutSeconds = 5;
  // Worker threads; each waits on many connections at once (epoll).
  int Threads = 4;
  // Threads that run the requests needing the database, so those never hold
  // up the others; as many as the store has connections is plenty.
  int DatabaseThreads = 4;
  // Called after a replay upload was stored (wakes the verifier workers).
  std::function<void()> ReplayUploaded;
  // Counts answers, results and database errors for /metrics; none when null.
  TServerMetrics* Metrics = nullptr;
};

// The world high-score server: the game's two requests, the world table, the
// home page and the health check over HTTP, backed by a TScoreStore that
// outlives it. Built to face the open internet: bounded memory per connection,
// a deadline per request, a cap on connections per address, and idle
// connections that cost no thread.
class TScoreServer {
 public:
  explicit TScoreServer(TScoreStore& store, TScoreServerOptions options = {});
  ~TScoreServer();
  TScoreServer(const TScoreServer&) = delete;
  TScoreServer& operator=(const TScoreServer&) = delete;

  // Binds to host:port (port 0: any free port). Returns the bound port, or -1
  // with errno set.
  int Bind(const std::string& host, int port);
  // Serves until Stop; requests in progress finish before it returns.
  bool Run();
  // Safe from any thread, also before Run has started (Run then returns at once).
  void Stop();

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};
