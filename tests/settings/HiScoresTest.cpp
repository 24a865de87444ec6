#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/Fonts.h"
#include "graphics/Surface.h"
#include "graphics/Text.h"
#include "settings/HiScores.h"

namespace {

std::vector<int32_t> ScoresOf(const THiScoreTable& table) {
  std::vector<int32_t> scores;
  for (const THiScores& e : table) scores.push_back(e.Score);
  return scores;
}

}  // namespace

TEST(HiScores, OnlyAScoreAboveTheLastRowQualifies) {
  const THiScoreTable table = DefaultHiScores();
  struct TCase {
    int32_t Score;
    bool Qualifies;
  };
  for (const TCase& c : {TCase{100, false}, TCase{101, true}, TCase{0, false}, TCase{-5, false},
                         TCase{5000, true}}) {
    EXPECT_EQ(QualifiesForTable(table, c.Score), c.Qualifies) << c.Score;
  }
}

TEST(HiScores, InsertSortsTheNewEntryBelowOlderEqualScores) {
  struct TCase {
    int32_t Score;
    std::vector<int32_t> Scores;
    int NewRow;  // where "New" lands
  };
  const TCase cases[] = {
      {600, {1000, 900, 800, 700, 600, 600, 500, 400, 300, 200}, 5},
      {101, {1000, 900, 800, 700, 600, 500, 400, 300, 200, 101}, 9},
      {1000, {1000, 1000, 900, 800, 700, 600, 500, 400, 300, 200}, 1},
      {2000, {2000, 1000, 900, 800, 700, 600, 500, 400, 300, 200}, 0},
      {150, {1000, 900, 800, 700, 600, 500, 400, 300, 200, 150}, 9},
  };
  for (const TCase& c : cases) {
    THiScoreTable table = DefaultHiScores();
    InsertResult(table, "New", c.Score);
    EXPECT_EQ(ScoresOf(table), c.Scores) << c.Score;
    for (int i = 0; i < kHiScoreCount; ++i) {
      EXPECT_EQ(table[static_cast<size_t>(i)].Name == "New", i == c.NewRow)
          << c.Score << " row " << i;
    }
  }
}

TEST(HiScores, RepeatedEqualResultsKeepTheirOrderOfArrival) {
  THiScoreTable table = DefaultHiScores();
  InsertResult(table, "First", 450);
  InsertResult(table, "Second", 450);
  InsertResult(table, "Third", 450);
  EXPECT_EQ(table[6].Name, "First");
  EXPECT_EQ(table[7].Name, "Second");
  EXPECT_EQ(table[8].Name, "Third");
  EXPECT_EQ(table[9].Score, 400);
}

TEST(HiScores, DrawsEveryRowWithTheFirstInOrange) {
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
    const int32_t top = kHiScoreTop + kHiScoreRowHeight * row;
    for (int32_t y = top; y < top + 24; ++y) {
      for (int32_t x = kHiScoreRankX; x < 720; ++x) {
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
