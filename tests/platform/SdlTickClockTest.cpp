#include "platform/SdlTickClock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint64_t kStep = SdlTickClock::kDefaultStepNs;
constexpr uint64_t kMs = 1'000'000;

TEST(SdlTickClock, QuantisesToWholeStepsOfTheSystemTimer) {
  struct Case {
    uint64_t ns;
    uint64_t offsetMs;
    uint32_t tick;
  };
  const std::vector<Case> cases = {
      {0, 0, 0},
      {kStep - 1, 0, 0},                   // still inside the first step
      {kStep, 0, 15},                      // 15.625 ms shows as 15
      {2 * kStep, 0, 31},                  // 31.25
      {3 * kStep, 0, 46},                  // 46.875
      {4 * kStep + kStep / 2, 0, 62},      // mid-step reads the step start
      {64 * kStep, 0, 1000},               // 64 steps are exactly one second
      {64 * kStep, 3'600'000, 3'601'000},  // the origin offset is added after quantising
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SdlTickClock::QuantisedTick(c.ns, kStep, c.offsetMs), c.tick) << c.ns;
  }
}

TEST(SdlTickClock, ConsecutiveStepsAdvanceBy15Or16AcrossThe32BitWrap) {
  // Start a few steps before the tick passes 2^32 ms.
  const uint64_t wrapMs = 0x100000000ull;
  const uint64_t firstStep = (wrapMs * kMs) / kStep - 5;
  uint32_t previous = SdlTickClock::QuantisedTick(firstStep * kStep, kStep, 0);
  bool wrapped = false;
  for (uint64_t s = firstStep + 1; s < firstStep + 200; ++s) {
    const uint32_t tick = SdlTickClock::QuantisedTick(s * kStep, kStep, 0);
    const uint32_t delta = tick - previous;  // unsigned difference, as the game computes it
    EXPECT_TRUE(delta == 15 || delta == 16) << "step " << s << " delta " << delta;
    if (tick < previous) wrapped = true;
    previous = tick;
  }
  EXPECT_TRUE(wrapped);
}

TEST(SdlTickClock, NextBoundaryIsStrictlyAfterAndOnTheGrid) {
  const std::vector<std::pair<uint64_t, uint64_t>> cases = {
      {0, kStep}, {1, kStep}, {kStep - 1, kStep}, {kStep, 2 * kStep}, {5 * kStep + 7, 6 * kStep}};
  for (const auto& [now, next] : cases) {
    EXPECT_EQ(SdlTickClock::NextStepBoundaryNs(now, kStep), next) << now;
  }
}

TEST(SdlTickClock, OriginIsLiftedFarFromZeroOnlyOnAFreshMachine) {
  EXPECT_EQ(SdlTickClock::OriginOffsetMs(0), SdlTickClock::kMinOriginMs);
  EXPECT_EQ(SdlTickClock::OriginOffsetMs(30'000), SdlTickClock::kMinOriginMs);
  EXPECT_EQ(SdlTickClock::OriginOffsetMs(SdlTickClock::kMinOriginMs), 0u);
  EXPECT_EQ(SdlTickClock::OriginOffsetMs(50ull * 24 * 3'600'000), 0u);
  // A timer field that starts at 0 sees more than the longest game timer
  // (a few seconds) on its first test, whatever the uptime.
  const SdlTickClock clock;
  EXPECT_GT(static_cast<uint32_t>(clock.Now() - 0u), 10'000u);
}

TEST(SdlTickClock, RealClockStaysOnItsStepGridAndWaitMovesPastTheTick) {
  // A 100 ms step makes the grid visible in whole milliseconds (the origin
  // offset is a whole number of seconds).
  const SdlTickClock clock(100 * kMs);
  for (int i = 0; i < 3; ++i) {
    const uint32_t before = clock.Now();
    EXPECT_EQ(before % 100, 0u);
    clock.WaitForTickAfter(before);
    const uint32_t after = clock.Now();
    EXPECT_GT(static_cast<int32_t>(after - before), 0);
    EXPECT_EQ(after % 100, 0u);
  }
}

}  // namespace
