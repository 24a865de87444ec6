#include "platform/SdlLetterbox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

TEST(SdlLetterbox, FitsTheFrameCentredWithBars) {
  struct Case {
    int32_t w, h;
    SdlLetterbox box;
  };
  const std::vector<Case> cases = {
      {800, 600, {0, 0, 800, 600}},        // the windowed client area: 1:1
      {1600, 1200, {0, 0, 1600, 1200}},    // exact 2x
      {1920, 1080, {240, 0, 1440, 1080}},  // wide screen: bars left and right
      {1280, 1024, {0, 32, 1280, 960}},    // 5:4 screen: bars above and below
      {1366, 768, {171, 0, 1024, 768}},    // odd bar width: the extra pixel on the right
      {0, 0, {0, 0, 800, 600}},            // no output size yet: identity
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SdlLetterbox::Fit(c.w, c.h), c.box) << c.w << "x" << c.h;
  }
}

TEST(SdlLetterbox, MapsPointerBackToFramePixelsClampingTheBars) {
  const SdlLetterbox wide = SdlLetterbox::Fit(1920, 1080);  // scale 1.8, x offset 240
  struct Case {
    int32_t outX, outY, frameX, frameY;
  };
  const std::vector<Case> cases = {
      {240, 0, 0, 0},                            // top-left of the picture
      {1679, 1079, 799, 599},                    // bottom-right of the picture
      {960, 540, 400, 300},                      // centre
      {241, 1, 0, 0},                            // still inside the first (1.8 px wide) frame pixel
      {242, 2, 1, 1},         {0, 540, 0, 300},  // over the left bar: the left edge
      {1919, 540, 799, 300},                     // over the right bar: the right edge
      {-50, -50, 0, 0},                          // outside the window (pointer captured)
  };
  for (const auto& c : cases) {
    int32_t fx = -1;
    int32_t fy = -1;
    wide.ToFrame(c.outX, c.outY, fx, fy);
    EXPECT_EQ(fx, c.frameX) << c.outX << "," << c.outY;
    EXPECT_EQ(fy, c.frameY) << c.outX << "," << c.outY;
  }
}

// Every window pixel of a scaled window lands on the frame pixel it shows.
TEST(SdlLetterbox, MapsThePointerExactlyAtEveryWholeScale) {
  for (int32_t scale : {1, 2, 3}) {
    const SdlLetterbox box = SdlLetterbox::Fit(800 * scale, 600 * scale);
    for (int32_t out = 0; out < 800 * scale; ++out) {
      int32_t fx = -1;
      int32_t fy = -1;
      box.ToFrame(out, out * 600 / 800, fx, fy);
      ASSERT_EQ(fx, out / scale) << "scale " << scale << " x " << out;
      ASSERT_EQ(fy, out * 600 / 800 / scale) << "scale " << scale << " y " << out;
    }
  }
}

TEST(SdlLetterbox, WarpTargetsMapBackToTheSameFramePixel) {
  for (const auto& [w, h] : std::vector<std::pair<int32_t, int32_t>>{{800, 600},
                                                                     {1600, 1200},
                                                                     {2400, 1800},
                                                                     {1920, 1080},
                                                                     {3840, 2160},
                                                                     {1280, 1024},
                                                                     {1366, 768},
                                                                     {640, 480}}) {
    const SdlLetterbox box = SdlLetterbox::Fit(w, h);
    for (const auto& [x, y] : std::vector<std::pair<int32_t, int32_t>>{
             {0, 0}, {799, 599}, {700, 500}, {400, 300}, {1, 598}}) {
      int32_t ox = 0;
      int32_t oy = 0;
      box.ToOutput(x, y, ox, oy);
      EXPECT_TRUE(ox >= box.X && ox < box.X + box.W && oy >= box.Y && oy < box.Y + box.H);
      int32_t fx = 0;
      int32_t fy = 0;
      box.ToFrame(ox, oy, fx, fy);
      // Shrunk outputs (640 x 480) cannot show every frame pixel; one off is
      // the best a smaller screen can do.
      const int32_t slack = box.W < SdlLetterbox::kFrameWidth ? 1 : 0;
      EXPECT_LE(std::abs(fx - x), slack) << w << "x" << h << " at " << x << "," << y;
      EXPECT_LE(std::abs(fy - y), slack) << w << "x" << h << " at " << x << "," << y;
    }
  }
}

}  // namespace
