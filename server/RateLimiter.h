#pragma once

#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

// Token buckets, one per key: each holds up to `perMinute` tokens and refills
// at `perMinute` a minute; a request takes one token or is refused. Safe from
// any thread.
//
// The table holds at most `maxKeys` buckets (about 180 bytes each with an
// IPv6 /64 key, measured: some 18 MB at the default 100,000). A newcomer is never refused for
// lack of room: when the table is full, the bucket that would be full again
// soonest is forgotten, which costs that key least (it comes back with a full
// bucket it nearly had anyway), while the busiest keys stay counted.
class TRateLimiter {
 public:
  // perMinute 0: no limit.
  explicit TRateLimiter(int perMinute, size_t maxKeys = 100'000);

  // Takes a token for `key` at `nowMs` (a monotonic clock in milliseconds).
  bool Take(const std::string& key, int64_t nowMs);

 private:
  // Buckets by the time they are full again (ms), then by key.
  using TOrder = std::set<std::pair<int64_t, const std::string*>>;
  struct TBucket {
    double Tokens = 0;
    int64_t UpdatedMs = 0;
    TOrder::iterator Full;
  };
  double Refilled(const TBucket& bucket, int64_t nowMs) const;
  int64_t FullAt(const TBucket& bucket) const;

  int perMinute_;
  size_t maxKeys_;
  std::mutex mutex_;
  std::unordered_map<std::string, TBucket> buckets_;
  TOrder byFullAt_;
};
