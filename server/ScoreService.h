#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "RateLimiter.h"
#include "ScorePages.h"
#include "ScoreStore.h"
#include "metrics/ServerMetrics.h"

// One request as the HTTP layer has read it.
struct TScoreRequest {
  std::string Method;
  std::string Path;  // decoded, without the query
  // Query keys and values in order, decoded; a key without "=" has no value.
  std::vector<std::pair<std::string, std::optional<std::string>>> Query;
  size_t TargetLength = 0;  // of the raw request target
  size_t HeaderCount = 0;
  bool HasRange = false;
  bool HasBody = false;       // Content-Length above 0 or a Transfer-Encoding
  std::string ClientKey;      // what the per-address rate limits count
  std::string ClientAddress;  // the client's own address, kept with its results for bans
  // POST only: the Content-Type and the body, read up to kMaxReplayUpload
  // bytes; BodyTooLarge when more was sent or announced.
  std::string ContentType;
  std::string Body;
  bool BodyTooLarge = false;
};

struct TScoreServiceOptions {
  int64_t ChallengeLifetimeSeconds = 600;
  // Requests 1 and 2 per client address and minute, each; 0: no limit.
  int RatePerMinute = 0;
  // Client addresses each rate limit keeps count of (see TRateLimiter).
  size_t RateLimitKeys = 100'000;
  // Open challenges one client address may hold; request 1 beyond it is 429.
  int MaxOpenChallengesPerAddress = 16;
  // Unix time in seconds; the system clock when empty.
  std::function<int64_t()> Clock;
  // Called after a replay was stored (wakes this process's verifier).
  std::function<void()> ReplayUploaded;
  // Counts results and database errors for /metrics; none when null.
  TServerMetrics* Metrics = nullptr;
};

inline constexpr size_t kMaxTargetLength = 8192;
inline constexpr size_t kMaxHeaderCount = 64;

// What the server answers: the game's two requests, the world table, the home
// page, the JSON scores and the health check, with the per-address limits. Knows nothing
// of sockets; safe from any thread.
class TScoreService {
 public:
  TScoreService(TScoreStore& store, TScoreServiceOptions options);

  TWebAnswer Handle(const TScoreRequest& request);
  // Whether Handle may wait on the database for this request: those run on
  // the database threads, everything else is answered at once.
  static bool NeedsDatabase(const TScoreRequest& request);
  // The answer when the database threads are too busy to take a request.
  static TWebAnswer Busy();
  // One round trip to the database, for /readyz; run it every second or so.
  void ProbeDatabase();

 private:
  TWebAnswer Answer(const TScoreRequest& request);
  TWebAnswer HandleScript(const TScoreRequest& request);
  void CountResult(TServerMetrics::TResult outcome);
  TWebAnswer IssueChallenge(const TScoreRequest& request);
  TWebAnswer AcceptResult(const TScoreRequest& request);
  int64_t Now() const;

  TScoreStore& store_;
  TScoreServiceOptions options_;
  TRateLimiter challengeLimiter_;
  TRateLimiter resultLimiter_;
  // Of the last probe; /readyz reports ready while it is recent and good.
  std::atomic<bool> probeOk_{true};
  std::atomic<int64_t> probedOkMs_;
};
