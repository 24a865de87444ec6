#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

class TScoreStore;

// What one server process counts for /metrics. Every call is a few relaxed
// atomic additions, safe from any thread; Render reads the store for the
// gauges (the replay queue, connections in use) and /proc for the process.
class TServerMetrics {
 public:
  enum class TResult : uint8_t { Accepted, Refused, RateLimited, Banned };
  enum class TReplay : uint8_t { Uploaded, Verified, Rejected };

  // An answer sent, by its HTTP status.
  void CountRequest(int status);
  void CountResult(TResult outcome);
  void CountReplay(TReplay status);
  // One verification: how long playing the replay again took.
  void ObserveVerify(double seconds);
  // A store call that failed (the database refused or could not be reached).
  void CountDbError();

  // The Prometheus text exposition format (version 0.0.4). A replay queue the
  // store cannot read counts as a database error.
  std::string Render(TScoreStore& store);

  // Upper bounds of the verification histogram's buckets, in seconds.
  static constexpr std::array<double, 11> kVerifyBuckets = {0.01, 0.025, 0.05, 0.1,  0.25, 0.5,
                                                            1.0,  2.5,   5.0,  10.0, 20.0};

 private:
  std::array<std::atomic<uint64_t>, 600> requests_{};
  std::array<std::atomic<uint64_t>, 4> results_{};
  std::array<std::atomic<uint64_t>, 3> replays_{};
  std::array<std::atomic<uint64_t>, kVerifyBuckets.size()> verifyBuckets_{};  // not cumulative
  std::atomic<uint64_t> verifyCount_{0};
  std::atomic<uint64_t> verifyMicros_{0};
  std::atomic<uint64_t> dbErrors_{0};
};
