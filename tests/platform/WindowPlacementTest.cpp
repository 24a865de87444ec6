#include "platform/WindowPlacement.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/PrintRect.h"

namespace {

TEST(WindowPlacement, TheScaleIsTheLargestMultipleWithinNinetyPercentOfTheUsableArea) {
  struct Case {
    int32_t w, h, requested, scale;
  };
  const std::vector<Case> cases = {
      {1920, 1080, 0, 1}, {1920, 1050, 0, 1},  // a panel takes some height
      {2560, 1440, 0, 2}, {2560, 1400, 0, 2}, {3840, 2160, 0, 3},
      {3840, 2100, 0, 3}, {1600, 1200, 0, 1},  // exactly 2x does not leave the margin
      {1778, 1334, 0, 2},                      // the smallest area that takes 2x
      {5120, 2880, 0, 4}, {7680, 4320, 0, 6}, {1024, 600, 0, 1},   // too small: still 1
      {0, 0, 0, 1},       {3840, 2160, 1, 1}, {1920, 1080, 3, 3},  // asked for: as asked
  };
  for (const auto& c : cases) {
    EXPECT_EQ(window_placement::Scale(c.w, c.h, c.requested), c.scale)
        << c.w << "x" << c.h << " asked " << c.requested;
  }
}

TEST(WindowPlacement, OpensCentredOnTheUsableAreaOrWithItsTopLeftCornerVisible) {
  const TFrameBorders none{};
  const TFrameBorders frame{23, 1, 4, 1};  // a title bar and thin edges
  struct Case {
    TRect usable;
    int32_t requested;
    double density;
    TFrameBorders borders;
    int32_t scale;
    TRect client;
    bool fits;
    const char* what;
  };
  const std::vector<Case> cases = {
      {{0, 0, 1920, 1080}, 0, 1, none, 1, {560, 240, 1360, 840}, true, "1920 x 1080"},
      {{0, 0, 2560, 1440}, 0, 1, frame, 2, {480, 120, 2080, 1320}, true, "2560 x 1440"},
      {{0, 0, 3840, 2160}, 0, 1, frame, 3, {720, 180, 3120, 1980}, true, "3840 x 2160"},
      {{0, 32, 1920, 1080}, 0, 1, none, 1, {560, 256, 1360, 856}, true, "a top panel"},
      {{1920, 0, 4480, 1440}, 0, 1, none, 2, {2400, 120, 4000, 1320}, true, "second display"},
      {{0, 0, 1920, 1080}, 3, 1, frame, 3, {1, 23, 2401, 1823}, false, "--scale 3 too big"},
      {{0, 0, 1920, 1080}, 2, 1, frame, 2, {160, 23, 1760, 1223}, false, "too tall only"},
      {{0, 0, 1024, 600}, 0, 1, frame, 1, {112, 23, 912, 623}, false, "small netbook"},
      // Without a margin the frame still keeps its borders on screen.
      {{0, 0, 802, 640}, 1, 1, frame, 1, {1, 23, 801, 623}, true, "exactly fits"},
      // A doubled display: 3840 x 2160 pixels are 1920 x 1080 units.
      {{0, 0, 1920, 1080}, 0, 2, none, 3, {360, 90, 1560, 990}, true, "density 2"},
      {{0, 0, 1707, 960}, 0, 1.5, none, 2, {320, 80, 1387, 880}, true, "density 1.5"},
  };
  for (const auto& c : cases) {
    const TWindowPlacement p =
        window_placement::Centred(c.usable, c.requested, c.density, c.borders);
    EXPECT_EQ(p.Scale, c.scale) << c.what;
    EXPECT_EQ(p.Client, c.client) << c.what;
    EXPECT_EQ(p.Fits, c.fits) << c.what;
  }
}

TEST(WindowPlacement, AKeptPlaceMovesOnlyAsFarAsTheUsableAreaNeeds) {
  const TRect usable{0, 0, 3840, 2160};
  const TFrameBorders frame{23, 1, 4, 1};
  struct Case {
    TRect client, kept;
    const char* what;
  };
  const std::vector<Case> cases = {
      {{100, 200, 2500, 2000}, {100, 200, 2500, 2000}, "inside: where the player left it"},
      {{1520, 780, 3920, 2580}, {1439, 356, 3839, 2156}, "past the bottom right"},
      {{-50, 0, 2350, 1800}, {1, 23, 2401, 1823}, "title bar above the screen"},
      {{500, 500, 4500, 2700}, {1, 23, 4001, 2223}, "larger than the area"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(window_placement::KeptInside(c.client, usable, frame), c.kept) << c.what;
  }
}

}  // namespace
