#include "RateLimiter.h"

#include <algorithm>

TRateLimiter::TRateLimiter(int perMinute, size_t maxKeys)
    : perMinute_(perMinute), maxKeys_(maxKeys) {}

double TRateLimiter::Refilled(const TBucket& bucket, int64_t nowMs) const {
  const double elapsed = static_cast<double>(std::max<int64_t>(0, nowMs - bucket.UpdatedMs));
  return std::min<double>(perMinute_, bucket.Tokens + elapsed * perMinute_ / 60'000.0);
}

bool TRateLimiter::Take(const std::string& key, int64_t nowMs) {
  if (perMinute_ <= 0) return true;
  std::lock_guard lock(mutex_);
  auto found = buckets_.find(key);
  if (found == buckets_.end()) {
    if (buckets_.size() >= maxKeys_ && nowMs >= nextSweepMs_) {
      // At most one sweep a second, so a full table costs no scan per request.
      nextSweepMs_ = nowMs + 1000;
      std::erase_if(buckets_,
                    [&](const auto& entry) { return Refilled(entry.second, nowMs) >= perMinute_; });
    }
    if (buckets_.size() >= maxKeys_) {
      // Every key is busy: a table this full is itself the flood; refuse
      // newcomers rather than grow or forget the busy ones.
      return false;
    }
    found = buckets_.emplace(key, TBucket{static_cast<double>(perMinute_), nowMs}).first;
  }
  TBucket& bucket = found->second;
  bucket.Tokens = Refilled(bucket, nowMs);
  bucket.UpdatedMs = std::max(bucket.UpdatedMs, nowMs);
  if (bucket.Tokens < 1.0) return false;
  bucket.Tokens -= 1.0;
  return true;
}
