#include "platform/SdlFrameCache.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Frames go through the cache one after another; each reports the band of
// rows it changed against the one before (the first, and any after an
// invalidation, change everything). A padded pitch is honoured. Frames that
// change nearly every row make the cache stop looking for a while: identical
// frames are then reported whole, never as unchanged.
TEST(SdlFrameCache, ReportsTheBandOfChangedRowsAndNothingForAnIdenticalFrame) {
  constexpr int32_t kW = 8;
  constexpr int32_t kH = 6;
  constexpr int32_t kPitchWords = 10;  // two words of padding per row
  using TPixels = std::vector<std::pair<int32_t, int32_t>>;
  const TPixels everyRow = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}};
  struct Step {
    const char* name;
    TPixels changedPixels;  // (x, y) set to a new value
    bool invalidateFirst;
    int32_t first;
    int32_t count;
    int times;  // frames given in a row, each with these changes
  };
  const std::vector<Step> steps = {
      {"first frame: everything", {}, false, 0, kH, 1},
      {"the same frame again: nothing", {}, false, 0, 0, 1},
      {"one pixel: its row", {{3, 2}}, false, 2, 1, 1},
      {"first and last pixel: every row", {{0, 0}, {kW - 1, kH - 1}}, false, 0, kH, 1},
      {"two rows apart: the band between", {{1, 1}, {6, 4}}, false, 1, 4, 1},
      {"unchanged after an invalidation: everything", {}, true, 0, kH, 1},
      {"and then nothing again", {}, false, 0, 0, 1},
      {"every row changes, frame after frame", everyRow, false, 0, kH, SdlFrameCache::kBusyFrames},
      {"identical frames while unchecked: whole",
       {},
       false,
       0,
       kH,
       SdlFrameCache::kUncheckedFrames},
      {"checked again: whole once", {}, false, 0, kH, 1},
      {"then nothing", {}, false, 0, 0, 1},
  };
  SdlFrameCache cache(kW, kH);
  std::vector<uint32_t> frame(static_cast<size_t>(kPitchWords) * kH, 0x00102030u);
  uint32_t value = 1;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    if (step.invalidateFirst) cache.Invalidate();
    for (int n = 0; n < step.times; ++n) {
      for (const auto& [x, y] : step.changedPixels) {
        frame[static_cast<size_t>(y) * kPitchWords + x] = value++;
      }
      // Padding never counts: it changes on every frame.
      for (int32_t y = 0; y < kH; ++y) frame[static_cast<size_t>(y) * kPitchWords + kW] = value++;
      const SdlFrameCache::TBand band = cache.Update(frame.data(), kPitchWords * 4);
      EXPECT_EQ(band.Count, step.count) << "frame " << n;
      if (step.count > 0) {
        EXPECT_EQ(band.First, step.first) << "frame " << n;
      }
    }
  }
}

}  // namespace
