#include "platform/SdlTickClock.h"

#include <cerrno>
#include <ctime>

SdlTickClock::SdlTickClock(uint64_t stepNs)
    : stepNs_(stepNs == 0 ? kDefaultStepNs : stepNs),
      offsetMs_(OriginOffsetMs(MonotonicNs() / 1'000'000)) {}

uint64_t SdlTickClock::MonotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1'000'000'000u + static_cast<uint64_t>(ts.tv_nsec);
}

uint32_t SdlTickClock::QuantisedTick(uint64_t monotonicNs, uint64_t stepNs, uint64_t offsetMs) {
  const uint64_t steps = monotonicNs / stepNs;
  return static_cast<uint32_t>(steps * stepNs / 1'000'000 + offsetMs);
}

uint64_t SdlTickClock::NextStepBoundaryNs(uint64_t monotonicNs, uint64_t stepNs) {
  return (monotonicNs / stepNs + 1) * stepNs;
}

uint64_t SdlTickClock::OriginOffsetMs(uint64_t uptimeMs) {
  return uptimeMs < kMinOriginMs ? kMinOriginMs : 0;
}

uint32_t SdlTickClock::Now() const {
  return QuantisedTick(MonotonicNs(), stepNs_, offsetMs_);
}

void SdlTickClock::WaitForTickAfter(uint32_t tick) const {
  for (int i = 0; i < kMaxWaitSteps; ++i) {
    const uint64_t now = MonotonicNs();
    if (static_cast<int32_t>(QuantisedTick(now, stepNs_, offsetMs_) - tick) > 0) return;
    const uint64_t wake = NextStepBoundaryNs(now, stepNs_);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(wake / 1'000'000'000u);
    ts.tv_nsec = static_cast<long>(wake % 1'000'000'000u);
    // An absolute deadline: a signal interrupting the sleep just loops again.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
  }
}
