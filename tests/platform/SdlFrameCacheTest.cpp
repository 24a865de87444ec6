#include "platform/SdlFrameCache.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Frames go through the cache one after another; each reports the band of
// rows it changed against the one before (the first, and any after an
// invalidation, change everything). A padded pitch is honoured.
TEST(SdlFrameCache, ReportsTheBandOfChangedRowsAndNothingForAnIdenticalFrame) {
  constexpr int32_t kW = 8;
  constexpr int32_t kH = 6;
  constexpr int32_t kPitchWords = 10;  // two words of padding per row
  struct Step {
    const char* name;
    std::vector<std::pair<int32_t, int32_t>> changedPixels;  // (x, y) set to a new value
    bool invalidateFirst;
    int32_t first;
    int32_t count;
  };
  const std::vector<Step> steps = {
      {"first frame: everything", {}, false, 0, kH},
      {"the same frame again: nothing", {}, false, 0, 0},
      {"one pixel: its row", {{3, 2}}, false, 2, 1},
      {"first and last pixel: every row", {{0, 0}, {kW - 1, kH - 1}}, false, 0, kH},
      {"two rows apart: the band between", {{1, 1}, {6, 4}}, false, 1, 4},
      {"unchanged after an invalidation: everything", {}, true, 0, kH},
      {"and then nothing again", {}, false, 0, 0},
  };
  SdlFrameCache cache(kW, kH);
  std::vector<uint32_t> frame(static_cast<size_t>(kPitchWords) * kH, 0x00102030u);
  uint32_t value = 1;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    for (const auto& [x, y] : step.changedPixels) {
      frame[static_cast<size_t>(y) * kPitchWords + x] = value++;
    }
    // Padding never counts: it changes on every step.
    for (int32_t y = 0; y < kH; ++y) frame[static_cast<size_t>(y) * kPitchWords + kW] = value++;
    if (step.invalidateFirst) cache.Invalidate();
    const SdlFrameCache::TBand band = cache.Update(frame.data(), kPitchWords * 4);
    EXPECT_EQ(band.Count, step.count);
    if (step.count > 0) {
      EXPECT_EQ(band.First, step.first);
    }
    // The cache holds the frame just given, row for row.
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x)
        ASSERT_EQ(cache.Row(y)[x], frame[static_cast<size_t>(y) * kPitchWords + x])
            << x << "," << y;
  }
}

}  // namespace
