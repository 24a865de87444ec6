#include "graphics/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "graphics/FontsImpl.h"

namespace {

constexpr uint32_t kBlack = 0;

struct TBox {
  int32_t Left = 1 << 30;
  int32_t Top = 1 << 30;
  int32_t Right = -1;  // inclusive
  int32_t Bottom = -1;
  bool Empty() const { return Right < 0; }
};

// The box around every pixel for which `pick` is true.
template <typename Pick>
TBox BoxOf(const TSurface& s, Pick pick) {
  TBox b;
  for (int32_t y = 0; y < s.Height(); ++y)
    for (int32_t x = 0; x < s.Width(); ++x)
      if (pick(s.PixelAt(x, y))) {
        b.Left = std::min(b.Left, x);
        b.Top = std::min(b.Top, y);
        b.Right = std::max(b.Right, x);
        b.Bottom = std::max(b.Bottom, y);
      }
  return b;
}

TBox InkBox(const TSurface& s) {
  return BoxOf(s, [](uint32_t p) { return p != kBlack; });
}

int64_t Ink(const TSurface& s) {
  int64_t sum = 0;
  for (int32_t y = 0; y < s.Height(); ++y)
    for (int32_t x = 0; x < s.Width(); ++x) sum += s.PixelAt(x, y) & 0xFF;
  return sum;
}

bool SamePixels(const TSurface& a, const TSurface& b) {
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x)
      if (a.PixelAt(x, y) != b.PixelAt(x, y)) return false;
  return true;
}

class TextTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { fonts_ = new TFonts(); }
  static void TearDownTestSuite() {
    delete fonts_;
    fonts_ = nullptr;
  }
  static TFonts* fonts_;
};
TFonts* TextTest::fonts_ = nullptr;

TEST_F(TextTest, CaptionLandsInItsBoxWithTheShadowOneDownRight) {
  struct Case {
    uint32_t colour;
    uint32_t shadow;
  };
  for (const Case c : {Case{kOrange, kDarkBlue}, Case{kDarkBlue, kOrange}, Case{kRed, kOrange}}) {
    SCOPED_TRACE(c.colour);
    TSurface caption(300, 80);
    DrawCaption(*fonts_, 40, 20, 24, 10, c.colour, caption, "Options");

    // The caption is exactly the shadow at (x + 1, y + 1) with the text over it.
    TSurface manual(300, 80);
    DrawTextLeft(*fonts_, 41, 21, 24, 10, false, c.shadow, manual, "Options");
    DrawTextLeft(*fonts_, 40, 20, 24, 10, false, c.colour, manual, "Options");
    EXPECT_TRUE(SamePixels(caption, manual));

    TDeviceContext dc(*fonts_, caption);
    dc.SelectFont({24, 10, 800});
    const int32_t width = dc.TextWidth("Options");
    EXPECT_GT(width, 40);
    EXPECT_LT(width, 110);
    const TBox ink = InkBox(caption);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.Left, 40);
    EXPECT_GE(ink.Top, 20);
    EXPECT_LE(ink.Right, 40 + width + 2);
    EXPECT_LE(ink.Bottom, 20 + 24);
    // Fully covered pixels carry the exact colours; the shadow widens the ink
    // by one pixel to the right and one down.
    EXPECT_FALSE(BoxOf(caption, [&](uint32_t p) { return p == GdiToPixel(c.colour); }).Empty());
    EXPECT_FALSE(BoxOf(caption, [&](uint32_t p) { return p == GdiToPixel(c.shadow); }).Empty());
    TSurface plain(300, 80);
    DrawTextLeft(*fonts_, 40, 20, 24, 10, false, c.colour, plain, "Options");
    const TBox textOnly = InkBox(plain);
    EXPECT_EQ(ink.Left, textOnly.Left);
    EXPECT_EQ(ink.Top, textOnly.Top);
    EXPECT_EQ(ink.Right, textOnly.Right + 1);
    EXPECT_EQ(ink.Bottom, textOnly.Bottom + 1);
  }
}

TEST_F(TextTest, AlignmentPutsTheTextLeftCentredOrRightOfX) {
  TSurface scratch(1, 1);
  TDeviceContext measure(*fonts_, scratch);
  measure.SelectFont({20, 8, 800});
  const int32_t width = measure.TextWidth("High Scores");
  struct Case {
    uint32_t align;
    int32_t expectedLeft;  // of the text cell
  };
  for (const Case c :
       {Case{kTaLeft, 200}, Case{kTaCenter, 200 - width / 2}, Case{kTaRight, 200 - width}}) {
    SCOPED_TRACE(c.align);
    TSurface s(400, 60);
    DrawTextEx(*fonts_, 200, 10, 20, 8, false, c.align, kOrange, s, "High Scores");
    const TBox ink = InkBox(s);
    ASSERT_FALSE(ink.Empty());
    EXPECT_NEAR(ink.Left, c.expectedLeft, 3);
    EXPECT_NEAR(ink.Right, c.expectedLeft + width, 4);
  }
}

// A line keeps its size while it fits; otherwise it takes the largest smaller
// step that fits, and the smallest step when none does.
TEST_F(TextTest, FittingFontStepsDownOnlyAsFarAsTheRoomNeeds) {
  TSurface s(8, 8);
  TDeviceContext dc(*fonts_, s);
  const std::string text = "Use the cursor keys or mouse";
  auto width = [&](int32_t height, int32_t cell) {
    dc.SelectFont({height, cell, 800});
    return dc.TextWidth(text) + 1;
  };
  const int32_t at14 = width(14, 8);
  const int32_t at13 = width(13, 7);
  const int32_t at11 = width(11, 6);
  ASSERT_GT(at14, at13);
  struct Case {
    int32_t room;
    int32_t height;
  } cases[] = {{at14 + 50, 14}, {at14, 14},     {at14 - 1, 13}, {at13, 13},
               {at11, 11},      {at11 - 1, 11}, {0, 11}};
  for (const Case& c : cases) {
    const TFontSpec font = FittingFont(dc, text, {14, 8, 800}, c.room);
    EXPECT_EQ(font.Height, c.height) << "room " << c.room;
    EXPECT_EQ(font.Weight, 800);
    EXPECT_LE(width(font.Height, font.Width), std::max(c.room, at11)) << "room " << c.room;
  }
}

TEST_F(TextTest, WeightSevenHundredPicksTheBoldFace) {
  struct Case {
    int32_t weight;
    bool bold;
  };
  int64_t regularInk = 0;
  int64_t boldInk = 0;
  for (const Case c : {Case{400, false}, Case{699, false}, Case{700, true}, Case{800, true}}) {
    EXPECT_EQ(fonts_->impl().Size(18, 0, c.weight).Bold, c.bold && fonts_->impl().HasBoldFace());
    TSurface s(200, 40);
    TDeviceContext dc(*fonts_, s);
    dc.SelectFont({18, 0, c.weight});
    dc.SetTextColor(0xFFFFFF);
    dc.TextOut(5, 5, "Bold or not");
    (c.bold ? boldInk : regularInk) = Ink(s);
  }
  EXPECT_GT(boldInk, regularInk);
}

TEST_F(TextTest, GdiSizingCellHeightAndAverageWidth) {
  TSurface s(1, 1);
  TDeviceContext dc(*fonts_, s);
  const std::string sample = "abcdefghijklmnopqrstuvwxyz";
  dc.SelectFont({20, 6, 400});
  const int32_t narrow = dc.TextWidth(sample);
  dc.SelectFont({20, 12, 400});
  const int32_t wide = dc.TextWidth(sample);
  EXPECT_NEAR(static_cast<double>(wide) / narrow, 2.0, 0.25);
  EXPECT_NEAR(narrow, 26 * 6, 26 * 6 / 3);
  // The ink of tall and deep glyphs stays inside the cell.
  for (const int32_t height : {12, 20, 33}) {
    TSurface t(400, 100);
    DrawTextLeft(*fonts_, 10, 30, height, 0, false, kOrange, t, "\xC9gjpqy|");
    const TBox ink = InkBox(t);
    EXPECT_GE(ink.Top, 30 - 1) << height;  // accents may touch the cell's top row
    EXPECT_LE(ink.Bottom, 30 + height) << height;
    EXPECT_GT(ink.Bottom - ink.Top, height / 2) << height;
  }
}

TEST_F(TextTest, AFrameOfManyDrawsIsStableAndUsesTheCache) {
  auto frame = [&](TSurface& s) {
    for (int i = 0; i < 40; ++i) {
      DrawCaption(*fonts_, 10 + i * 7, 5 + i * 13, 14 + i % 3, 6, i % 2 ? kOrange : kDarkBlue, s,
                  "Score: " + std::to_string(i * 1234));
    }
  };
  TSurface first(800, 600);
  frame(first);
  const int rendered = fonts_->impl().RenderedGlyphs();
  TSurface second(800, 600);
  frame(second);
  EXPECT_TRUE(SamePixels(first, second));
  EXPECT_EQ(fonts_->impl().RenderedGlyphs(), rendered);
}

TEST_F(TextTest, AnyByteAndAnyPositionIsSafe) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  TSurface s(120, 30);
  for (const int32_t x : {-5000, -60, 0, 50, 119, 5000}) {
    for (const int32_t y : {-40, -10, 0, 15, 29, 4000}) {
      DrawCaption(*fonts_, x, y, 16, 7, kOrange, s, all);
    }
  }
  DrawTextLeft(*fonts_, 0, 0, 0, 0, true, kOrange, s, all);
  DrawTextLeft(*fonts_, 0, 0, -12, -3, true, kOrange, s, all);
  DrawTextLeft(*fonts_, 0, 0, 100000, 100000, true, kOrange, s, "Big");
  s.SetLost(true);
  DrawCaption(*fonts_, 0, 0, 16, 7, kOrange, s, "Lost");
  EXPECT_EQ(Cp1252ToUnicode(0x80), 0x20ACu);
  EXPECT_EQ(Cp1252ToUnicode(0xE9), 0xE9u);
}

TEST(Fonts, MissingFacesAreAClearErrorAndAMissingBoldFallsBack) {
  const std::string regular = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  struct Case {
    std::string regular;
    std::string bold;
    bool loads;
    bool hasBold;
  };
  const std::vector<Case> cases = {
      {regular, "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", true, true},
      {regular, "/no/such/bold.ttf", true, false},
      {"/no/such/regular.ttf", regular, false, false},
      {"", "", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.regular + " / " + c.bold);
    try {
      TFonts fonts(c.regular, c.bold);
      EXPECT_TRUE(c.loads);
      EXPECT_EQ(fonts.impl().HasBoldFace(), c.hasBold);
      TSurface s(100, 30);
      DrawCaption(fonts, 2, 2, 18, 0, kOrange, s, "Bold?");
      EXPECT_FALSE(InkBox(s).Empty());
    } catch (const std::runtime_error& e) {
      EXPECT_FALSE(c.loads) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.regular), std::string::npos) << e.what();
    }
  }
}

TEST(Shapes, RectanglesLinesAndRoundRects) {
  const uint32_t c = GdiToPixel(kDarkBlue);
  auto count = [&](const TSurface& s) {
    int n = 0;
    for (int32_t y = 0; y < s.Height(); ++y)
      for (int32_t x = 0; x < s.Width(); ++x) n += s.PixelAt(x, y) == c;
    return n;
  };
  struct Case {
    const char* name;
    std::function<void(TDeviceContext&)> draw;
    int pixels;
    std::vector<std::pair<int32_t, int32_t>> set;
    std::vector<std::pair<int32_t, int32_t>> clear;
  };
  const std::vector<Case> cases = {
      {"hollow rectangle, pen 1",
       [](TDeviceContext& dc) { dc.Rectangle(10, 10, 20, 15); },
       2 * 10 + 2 * 3,
       {{10, 10}, {19, 14}, {19, 10}},
       {{20, 10}, {10, 15}, {12, 12}}},
      {"solid rectangle",
       [&](TDeviceContext& dc) {
         dc.SetBrush(kDarkBlue);
         dc.Rectangle(10, 10, 20, 15);
       },
       50,
       {{12, 12}},
       {{20, 14}}},
      {"hollow rectangle, pen 2",
       [](TDeviceContext& dc) {
         dc.SetPen(kDarkBlue, 2);
         dc.Rectangle(10, 10, 20, 20);
       },
       11 * 11 - 7 * 7,  // the 2-pixel band grows one pixel up and left
       {{9, 9}, {10, 10}, {19, 19}, {18, 18}, {9, 15}},
       {{11, 11}, {17, 17}, {20, 20}}},
      {"horizontal line excludes its end",
       [](TDeviceContext& dc) {
         dc.MoveTo(5, 5);
         dc.LineTo(15, 5);
       },
       10,
       {{5, 5}, {14, 5}},
       {{15, 5}}},
      {"diagonal line",
       [](TDeviceContext& dc) {
         dc.MoveTo(0, 0);
         dc.LineTo(8, 8);
       },
       8,
       {{7, 7}},
       {{8, 8}}},
      {"3-pixel vertical caret",
       [](TDeviceContext& dc) {
         dc.SetPen(kDarkBlue, 3);
         dc.MoveTo(30, 5);
         dc.LineTo(30, 15);
       },
       36,  // 3 x 3 stamps along rows 5..14
       {{29, 4}, {31, 15}},
       {{30, 16}, {32, 10}, {28, 10}}},
      {"clipped at the edges",
       [](TDeviceContext& dc) {
         dc.SetBrush(kDarkBlue);
         dc.Rectangle(-100, -100, 1000000, 3);
       },
       40 * 3,
       {{0, 0}, {39, 2}},
       {{0, 3}}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TSurface s(40, 30);
    TDeviceContext dc(s);
    dc.SetPen(kDarkBlue, 1);
    dc.SetHollowBrush();
    k.draw(dc);
    EXPECT_EQ(count(s), k.pixels);
    for (auto [x, y] : k.set) EXPECT_EQ(s.PixelAt(x, y), c) << x << "," << y;
    for (auto [x, y] : k.clear) EXPECT_NE(s.PixelAt(x, y), c) << x << "," << y;
  }
}

TEST(Shapes, FillRoundRectIsTheLifeBar) {
  struct Case {
    int32_t width;
    int pixels;
  };
  for (const Case c : {Case{30, 90}, Case{1, 3}, Case{0, 0}}) {
    TSurface s(60, 20);
    FillRoundRect(10, 5, c.width, 3, kDarkBlue, s);
    int n = 0;
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 60; ++x) n += s.PixelAt(x, y) == GdiToPixel(kDarkBlue);
    EXPECT_EQ(n, c.pixels) << c.width;
    if (c.width > 0) {
      EXPECT_EQ(s.PixelAt(10, 5), GdiToPixel(kDarkBlue));
    }
  }
  TSurface pixels(4, 4);
  TDeviceContext dc(pixels);
  dc.SetPixel(1, 2, kOrange);
  EXPECT_EQ(dc.GetPixel(1, 2), kOrange);
  EXPECT_EQ(dc.GetPixel(9, 9), 0xFFFFFFFFu);
}

}  // namespace

// Texts are UTF-8 where they are valid UTF-8 (the translations) and
// Windows-1252 byte by byte elsewhere (the game's own texts, old names).
TEST(Fonts, TextIsUtf8WhereValidAndWindows1252Elsewhere) {
  struct Case {
    std::string text;
    uint32_t code;
    size_t length;
  };
  const Case cases[] = {
      {"A", 'A', 1},
      {"\x85", 0x2026, 1},          // the game's "Verifying" ellipsis
      {"\xC3\xA9", 0xE9, 2},        // é in UTF-8
      {"\xE9t", 0xE9, 1},           // é in Windows-1252
      {"\xD0\x96", 0x416, 2},       // Ж
      {"\xE2\x80\x9E", 0x201E, 3},  // German opening quote
      {"\xF0\x9F\x9A\xA2", 0x1F6A2, 4},
      {"\xD0", 0xD0, 1},          // cut short
      {"\xC0\x80", 0xC0, 1},      // overlong
      {"\xED\xA0\x80", 0xED, 1},  // a surrogate
      {"\xE2\x80", 0xE2, 1},
  };
  for (const Case& c : cases) {
    size_t i = 0;
    EXPECT_EQ(NextCodePoint(c.text, i), c.code) << c.text;
    EXPECT_EQ(i, c.length) << c.text;
  }
}

// A face without Cyrillic letters (DejaVu's maths face): those come from
// another installed face, each its own shape, never a box.
TEST(Fonts, LettersTheFaceLacksComeFromAnotherFace) {
  const std::string latinOnly = "/usr/share/fonts/truetype/dejavu/DejaVuMathTeXGyre.ttf";
  FT_Library library = nullptr;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  FT_Face face = nullptr;
  ASSERT_EQ(FT_New_Face(library, latinOnly.c_str(), 0, &face), 0) << latinOnly;
  EXPECT_EQ(FT_Get_Char_Index(face, 0x416), 0u) << "the face has Cyrillic: nothing is tested";
  FT_Done_Face(face);
  FT_Done_FreeType(library);

  TFonts fonts(latinOnly, latinOnly);
  std::vector<TSurface> drawn;
  const std::vector<std::string> letters = {"\xC3\xA4", "\xC3\x9F", "\xC3\xA9", "\xC3\xB1",
                                            "\xC5\x82", "\xC4\x85", "\xC5\xBC", "\xD0\x96",
                                            "\xD1\x91", "\xD1\x8F", "\xD0\xA9"};
  for (const std::string& letter : letters) {
    drawn.emplace_back(40, 40);
    DrawTextLeft(fonts, 4, 4, 24, 0, false, kOrange, drawn.back(), letter);
    EXPECT_FALSE(InkBox(drawn.back()).Empty()) << letter;
  }
  for (size_t a = 0; a < drawn.size(); ++a)
    for (size_t b = a + 1; b < drawn.size(); ++b)
      EXPECT_FALSE(SamePixels(drawn[a], drawn[b])) << letters[a] << " looks like " << letters[b];
}
