#include <gtest/gtest.h>

#include <string>

#include "graphics/Fonts.h"
#include "graphics/Surface.h"
#include "graphics/Text.h"
#include "shell/HiScoreView.h"
#include "shell/ScreenLayout.h"

namespace sl = screen_layout;

TEST(HiScoreView, DrawsEveryRowWithTheFirstInOrange) {
  TFonts fonts;
  TSurface surface(800, 600);
  THiScoreTable table = DefaultHiScores();
  // Names as stored in a file may hold any byte.
  table[2].Name = std::string("\x00\x01\x1B\x7F", 4);
  table[3].Name = "\x80\xC3\xFF\xFE";
  table[4].Name = std::string(255, '\xFF');
  DrawHiScores(table, fonts, surface);

  auto count = [&](int row, uint32_t colour) {
    int n = 0;
    const int32_t top = sl::kHiScoreTop + sl::kHiScoreRowHeight * row;
    for (int32_t y = top; y < top + 24; ++y) {
      for (int32_t x = sl::kHiScoreRankX; x < 720; ++x) {
        n += surface.PixelAt(x, y) == GdiToPixel(colour) ? 1 : 0;
      }
    }
    return n;
  };
  EXPECT_GT(count(0, kOrange), count(0, kDarkBlue));
  for (int row = 1; row < kHiScoreCount; ++row) {
    EXPECT_GT(count(row, kDarkBlue), count(row, kOrange)) << "row " << row;
  }
}
