#pragma once

#include <cstdint>

// The game's millisecond tick: a monotonic clock that advances in whole steps
// of the system timer (1000/64 = 15.625 ms by default), like the tick the
// game's per-frame speeds were tuned for. It counts from the machine's uptime
// and is lifted well away from 0 on a freshly booted machine, so that timer
// fields starting at 0 see plenty of elapsed time on their first test.
class SdlTickClock {
 public:
  static constexpr uint64_t kDefaultStepNs = 15'625'000;
  // Uptimes below this get this much added once, for the whole run.
  static constexpr uint64_t kMinOriginMs = 3'600'000;
  // WaitForTickAfter never sleeps for more steps than this (guards against a
  // tick far in the future).
  static constexpr int kMaxWaitSteps = 64;

  explicit SdlTickClock(uint64_t stepNs = kDefaultStepNs);

  uint32_t Now() const;
  // Sleeps until Now() is past `tick` (signed 32-bit comparison, so it is right
  // across the wrap), one step boundary at a time, without spinning.
  void WaitForTickAfter(uint32_t tick) const;
  uint64_t StepNs() const { return stepNs_; }

  // The tick for a monotonic time: whole steps, in ms, plus the offset,
  // truncated to 32 bits (wraps after 49.7 days like the Windows tick).
  static uint32_t QuantisedTick(uint64_t monotonicNs, uint64_t stepNs, uint64_t offsetMs);
  // The first step boundary strictly after `monotonicNs`.
  static uint64_t NextStepBoundaryNs(uint64_t monotonicNs, uint64_t stepNs);
  // The offset added to every tick for a clock that starts at `uptimeMs`.
  static uint64_t OriginOffsetMs(uint64_t uptimeMs);
  static uint64_t MonotonicNs();

 private:
  uint64_t stepNs_;
  uint64_t offsetMs_;
};
