#include "RateLimiter.h"

#include <algorithm>
#include <cmath>

TRateLimiter::TRateLimiter(int perMinute, size_t maxKeys)
    : perMinute_(perMinute), maxKeys_(std::max<size_t>(maxKeys, 1)) {}

double TRateLimiter::Refilled(const TBucket& bucket, int64_t nowMs) const {
  const double elapsed = static_cast<double>(std::max<int64_t>(0, nowMs - bucket.UpdatedMs));
  return std::min<double>(perMinute_, bucket.Tokens + elapsed * perMinute_ / 60'000.0);
}

int64_t TRateLimiter::FullAt(const TBucket& bucket) const {
  return bucket.UpdatedMs +
         static_cast<int64_t>(std::ceil((perMinute_ - bucket.Tokens) * 60'000.0 / perMinute_));
}

bool TRateLimiter::Take(const std::string& key, int64_t nowMs) {
  if (perMinute_ <= 0) return true;
  std::lock_guard lock(mutex_);
  auto found = buckets_.find(key);
  if (found == buckets_.end()) {
    if (buckets_.size() >= maxKeys_) {
      const auto soonest = byFullAt_.begin();
      const auto evicted = buckets_.find(*soonest->second);
      byFullAt_.erase(soonest);
      buckets_.erase(evicted);
    }
    found = buckets_.emplace(key, TBucket{static_cast<double>(perMinute_), nowMs, {}}).first;
  } else {
    byFullAt_.erase(found->second.Full);
  }
  TBucket& bucket = found->second;
  bucket.Tokens = Refilled(bucket, nowMs);
  bucket.UpdatedMs = std::max(bucket.UpdatedMs, nowMs);
  const bool allowed = bucket.Tokens >= 1.0;
  if (allowed) bucket.Tokens -= 1.0;
  bucket.Full = byFullAt_.emplace(FullAt(bucket), &found->first).first;
  return allowed;
}
