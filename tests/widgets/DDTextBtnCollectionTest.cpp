#include <gtest/gtest.h>

#include "widgets/DDTextBtnCollection.h"
#include "widgets/MenuWidgets.h"
#include "widgets/WidgetTestContext.h"

namespace {

struct TDialogFixture {
  TWidgetTestState state;
  TDDTextBtnCollection group{state.context, menu_layout::kYesRect, menu_layout::kNoRect, "Yes",
                             "No"};
};

}  // namespace

TEST(DDTextBtnCollection, PointerDecidesOnEveryDrawAndClicksOnChange) {
  struct TCase {
    bool SelectFirst;  // key choice made before the draw
    int32_t X, Y;      // where the pointer rests
    bool Expected;     // FirstSelected after the draw
    bool Click;        // the draw played the menu click
  };
  const TCase cases[] = {
      {false, 300, 360, true, true},    // resting over "Yes" takes it back from a key choice
      {true, 480, 360, false, true},    // resting over "No"
      {true, 300, 360, true, false},    // already selected: no click
      {false, 100, 100, false, false},  // pointer elsewhere keeps the key choice
      {true, 280, 360, true, false},    // on "Yes"'s left edge counts as outside
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.X << "," << c.Y << " first " << c.SelectFirst);
    TDialogFixture f;
    f.state.PointAt(c.X, c.Y);
    f.group.Select(c.SelectFirst);
    EXPECT_EQ(f.group.FirstSelected, c.SelectFirst);
    const size_t before = f.state.sound.Calls.size();
    f.group.Draw(f.state.frame);
    EXPECT_EQ(f.group.FirstSelected, c.Expected);
    EXPECT_EQ(f.state.sound.Calls.size(), before + (c.Click ? 1 : 0));
  }
}

TEST(DDTextBtnCollection, SelectPlaysTheClickAndCheckClickTestsBothCaptions) {
  TDialogFixture f;
  f.state.PointAt(10, 20);
  f.group.Select(false);
  ASSERT_EQ(f.state.sound.Calls.size(), 1u);
  EXPECT_EQ(f.state.sound.Calls[0].X, 10);
  EXPECT_EQ(f.state.sound.Calls[0].Y, 20);

  struct TCase {
    int32_t X, Y;
    bool Clicked;
  };
  const TCase cases[] = {{300, 360, true}, {480, 360, true}, {400, 360, false}, {300, 380, false}};
  for (const TCase& c : cases) {
    f.state.PointAt(c.X, c.Y);
    f.group.CheckClick();
    EXPECT_EQ(f.group.Clicked, c.Clicked) << c.X << "," << c.Y;
  }
}

TEST(DDTextBtnCollection, HighlightedCaptionIsOrange) {
  // The caption is drawn over its one-pixel shadow, so its own colour covers
  // more pixels than the shadow's.
  TDialogFixture f;
  f.state.PointAt(0, 0);
  auto count = [&](const TRect& r, uint32_t colour) {
    int n = 0;
    for (int32_t y = r.Top; y < r.Top + 60; ++y) {
      for (int32_t x = r.Left; x < r.Left + 90; ++x) {
        n += f.state.frame.PixelAt(x, y) == GdiToPixel(colour) ? 1 : 0;
      }
    }
    return n;
  };
  for (bool first : {true, false}) {
    ASSERT_EQ(f.state.frame.Blt(nullptr, nullptr, nullptr, kBltColorFill, 0), kDdOk);
    f.group.FirstSelected = first;
    f.group.Draw(f.state.frame);
    const TRect& lit = first ? menu_layout::kYesRect : menu_layout::kNoRect;
    const TRect& dim = first ? menu_layout::kNoRect : menu_layout::kYesRect;
    EXPECT_GT(count(lit, kOrange), count(lit, kDarkBlue)) << "first " << first;
    EXPECT_GT(count(dim, kDarkBlue), count(dim, kOrange)) << "first " << first;
  }
}

TEST(DDTextBtnCollection, AClickOnTheLastLetterOfEitherCaptionCountsInEveryLanguage) {
  struct TCase {
    TRect First, Second;
    const char* FirstCaption;
    const char* SecondCaption;
  };
  namespace ml = menu_layout;
  const TCase cases[] = {
      {ml::kYesRect, ml::kNoRect, "Yes", "No"},
      {ml::kOkRect, ml::kCancelRect, "Ok", "Cancel"},
      {ml::kYesRect, ml::kNoRect, "Ja", "Nein"},
      {ml::kOkRect, ml::kCancelRect, "OK", "Abbrechen"},
      {ml::kOkRect, ml::kCancelRect, "Aceptar", "Cancelar"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.FirstCaption) + " / " + c.SecondCaption);
    TWidgetTestState state;
    TDDTextBtnCollection group{state.context, c.First, c.Second, c.FirstCaption, c.SecondCaption};
    // The English captions keep the laid-out rectangles.
    if (std::string(c.FirstCaption) == "Yes" || std::string(c.FirstCaption) == "Ok") {
      EXPECT_EQ(group.FirstRect.Right, c.First.Right);
      EXPECT_EQ(group.SecondRect.Right, c.Second.Right);
    }
    ASSERT_EQ(state.frame.Blt(nullptr, nullptr, nullptr, kBltColorFill, 0), kDdOk);
    group.Draw(state.frame);
    // The rightmost drawn pixel of each caption, in its row band, as the player sees it.
    auto lastLetter = [&](int32_t from, int32_t to) {
      int32_t last = -1;
      for (int32_t y = c.First.Top; y < c.First.Bottom; ++y) {
        for (int32_t x = from; x < to; ++x) {
          if (state.frame.PixelAt(x, y) != 0) last = std::max(last, x);
        }
      }
      return last;
    };
    // (A letter may lean a pixel or two left of where its caption starts.)
    const int32_t ends[] = {lastLetter(c.First.Left, c.Second.Left - 4),
                            lastLetter(c.Second.Left, 800)};
    for (const int32_t x : ends) {
      ASSERT_GT(x, 0);
      state.PointAt(x - 1, (c.First.Top + c.First.Bottom) / 2);
      group.CheckClick();
      EXPECT_TRUE(group.Clicked) << "at x " << x - 1;
    }
  }
}
