#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

// Token buckets, one per key: each holds up to `perMinute` tokens and refills
// at `perMinute` a minute; a request takes one token or is refused. Safe from
// any thread. Memory stays bounded: when the table is full, buckets that have
// refilled completely (their keys have gone quiet) are dropped.
class TRateLimiter {
 public:
  // perMinute 0: no limit.
  explicit TRateLimiter(int perMinute, size_t maxKeys = 100'000);

  // Takes a token for `key` at `nowMs` (a monotonic clock in milliseconds).
  bool Take(const std::string& key, int64_t nowMs);

 private:
  struct TBucket {
    double Tokens = 0;
    int64_t UpdatedMs = 0;
  };
  double Refilled(const TBucket& bucket, int64_t nowMs) const;

  int perMinute_;
  size_t maxKeys_;
  std::mutex mutex_;
  std::unordered_map<std::string, TBucket> buckets_;
  int64_t nextSweepMs_ = 0;
};
