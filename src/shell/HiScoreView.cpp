#include "shell/HiScoreView.h"

#include <string>

#include "graphics/Text.h"
#include "shell/ScreenLayout.h"

void DrawHiScores(const THiScoreTable& table, TFonts& fonts, TSurface& surface) {
  namespace sl = screen_layout;
  for (int r = 0; r < kHiScoreCount; ++r) {
    const int32_t y = sl::kHiScoreTop + sl::kHiScoreRowHeight * r;
    const uint32_t colour = r == 0 ? kOrange : kDarkBlue;
    const THiScores& entry = table[static_cast<size_t>(r)];
    DrawCaption(fonts, sl::kHiScoreRankX, y, 24, 16, colour, surface, std::to_string(r + 1));
    DrawCaption(fonts, sl::kHiScoreNameX, y, 24, 14, colour, surface, entry.Name);
    DrawCaption(fonts, sl::kHiScoreScoreX, y, 24, 16, colour, surface, std::to_string(entry.Score));
  }
}
