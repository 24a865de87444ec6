#include <gtest/gtest.h>

#include "widgets/DDOptBtnCollection.h"
#include "widgets/MenuWidgets.h"
#include "widgets/WidgetTestContext.h"

namespace {

struct TOptionsFixture {
  TWidgetTestState state;
  TDDOptBtnCollection group{state.context, menu_layout::kOptionsRects, menu_layout::kOptionsImages};

  void SetChecked(bool display, bool music, bool sound) {
    group.DisplayToggle.Checked = display;
    group.MusicToggle.Checked = music;
    group.SoundToggle.Checked = sound;
  }
};

}  // namespace

TEST(DDOptBtnCollection, UpAndDownLandOnAToggleCurrentChoice) {
  struct TCase {
    int8_t Cursor;
    bool Display, Music, Sound;  // Checked of the three toggles
    int8_t Down, Up;
  };
  const TCase cases[] = {
      {0, true, true, true, 2, 7},  {0, true, false, true, 3, 7},   {1, false, true, true, 2, 7},
      {2, true, true, true, 4, 0},  {3, false, false, false, 5, 1}, {2, false, true, true, 4, 1},
      {4, true, true, true, 6, 2},  {5, true, false, false, 6, 3},  {6, true, true, true, 7, 4},
      {6, true, true, false, 7, 5}, {7, true, true, true, 0, 6},    {7, false, true, true, 1, 6},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "cursor " << int{c.Cursor} << " checked " << c.Display << c.Music << c.Sound);
    for (bool down : {true, false}) {
      TOptionsFixture f;
      f.SetChecked(c.Display, c.Music, c.Sound);
      f.group.Cursor = c.Cursor;
      f.group.MouseHover = true;
      const size_t before = f.state.sound.Calls.size();
      if (down) {
        f.group.MoveDown();
      } else {
        f.group.MoveUp();
      }
      EXPECT_EQ(f.group.Cursor, down ? c.Down : c.Up) << (down ? "down" : "up");
      EXPECT_FALSE(f.group.MouseHover);
      EXPECT_EQ(f.state.sound.Calls.size(), before + 1);
    }
  }
}

TEST(DDOptBtnCollection, ActivateAndSideChoiceSetTheCursorAndClicked) {
  struct TCase {
    int8_t Cursor;
    int8_t Activated;  // after Enter or Space
    int8_t Left;       // after Left; -1 when Left does not apply
    int8_t Right;
  };
  const TCase cases[] = {
      {0, 1, 0, 1}, {1, 0, 0, 1}, {2, 3, 2, 3},   {3, 2, 2, 3},
      {4, 5, 4, 5}, {5, 4, 4, 5}, {6, 6, -1, -1}, {7, 7, -1, -1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "cursor " << int{c.Cursor});
    TOptionsFixture f;
    f.group.Cursor = c.Cursor;
    f.group.Activate();
    EXPECT_EQ(f.group.Cursor, c.Activated);
    EXPECT_TRUE(f.group.Clicked);

    for (bool second : {false, true}) {
      const int8_t expected = second ? c.Right : c.Left;
      f.group.Cursor = c.Cursor;
      f.group.Clicked = false;
      EXPECT_EQ(f.group.ChooseSide(second), expected >= 0);
      EXPECT_EQ(f.group.Cursor, expected >= 0 ? expected : c.Cursor);
      EXPECT_EQ(f.group.Clicked, expected >= 0);
    }
  }
}

TEST(DDOptBtnCollection, HoverPicksThePositionUnderThePointerAndFocusesItsRow) {
  struct TCase {
    int32_t X, Y;
    int8_t Cursor;
    uint8_t Row;
  };
  const TCase cases[] = {
      {500, 220, 0, 0}, {600, 220, 1, 0}, {450, 268, 2, 1}, {500, 268, 3, 1},
      {460, 316, 4, 2}, {520, 316, 5, 2}, {600, 360, 6, 3}, {550, 410, 7, 4},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.X << "," << c.Y);
    TOptionsFixture f;
    f.group.Cursor = c.Cursor == 0 ? 7 : 0;
    f.group.NameEdit.Editing = true;
    f.group.MouseHover = true;
    f.state.PointAt(c.X, c.Y);
    const size_t before = f.state.sound.Calls.size();
    f.group.Draw(f.state.frame);
    EXPECT_EQ(f.group.Cursor, c.Cursor);
    EXPECT_EQ(f.group.Row, c.Row);
    EXPECT_EQ(f.state.sound.Calls.size(), before + 1);
    const bool focused[] = {f.group.DisplayToggle.Focused, f.group.MusicToggle.Focused,
                            f.group.SoundToggle.Focused, f.group.NameEdit.Focused,
                            f.group.KeyButton.Focused};
    for (uint8_t row = 0; row < 5; ++row)
      EXPECT_EQ(focused[row], row == c.Row) << "row " << int{row};
    // Going to a toggle row ends editing of the name.
    EXPECT_EQ(f.group.NameEdit.Editing, c.Row >= 3);
  }
}

TEST(DDOptBtnCollection, PointerIsIgnoredWithoutHoverAndCursorWraps) {
  TOptionsFixture f;
  f.group.MouseHover = false;
  f.state.PointAt(550, 410);  // over the key button
  f.group.Cursor = 8;
  f.group.Draw(f.state.frame);
  EXPECT_EQ(f.group.Cursor, 0);
  f.group.Cursor = -1;
  f.group.Draw(f.state.frame);
  EXPECT_EQ(f.group.Cursor, 7);
  EXPECT_TRUE(f.group.KeyButton.Focused);
}

TEST(DDOptBtnCollection, CheckClickCoversEveryWidget) {
  struct TCase {
    int32_t X, Y;
    bool Clicked;
  };
  const TCase cases[] = {
      {500, 220, true},  {600, 220, true},  {500, 268, true},  {460, 316, true},
      {600, 360, true},  {550, 410, true},  {575, 220, false},  // gap between two choices
      {458, 220, false},                                        // on an edge
      {100, 100, false}, {700, 410, false},
  };
  TOptionsFixture f;
  for (const TCase& c : cases) {
    f.state.PointAt(c.X, c.Y);
    f.group.CheckClick();
    EXPECT_EQ(f.group.Clicked, c.Clicked) << c.X << "," << c.Y;
  }
}

TEST(DDToggleButton, ShowsTheMarkAtTheChosenLabel) {
  TOptionsFixture f;
  const TDDToggleButton& music = f.group.MusicToggle;
  const uint32_t firstMark = TWidgetTestState::ImageColour(music.FirstImage);
  const uint32_t secondMark = TWidgetTestState::ImageColour(music.SecondImage);

  f.group.MusicToggle.Checked = false;
  f.group.MusicToggle.Draw(f.state.frame);
  EXPECT_EQ(f.state.frame.PixelAt(music.SecondRect.Left, music.SecondRect.Top), secondMark);
  EXPECT_NE(f.state.frame.PixelAt(music.FirstRect.Left, music.FirstRect.Top), firstMark);

  ASSERT_EQ(f.state.frame.Blt(nullptr, nullptr, nullptr, kBltColorFill, 0), kDdOk);
  f.group.MusicToggle.Checked = true;
  f.group.MusicToggle.Draw(f.state.frame);
  EXPECT_EQ(f.state.frame.PixelAt(music.FirstRect.Left, music.FirstRect.Top), firstMark);
  EXPECT_NE(f.state.frame.PixelAt(music.SecondRect.Left, music.SecondRect.Top), secondMark);
}

TEST(DDToggleButton, FocusUnderlinesBothChoices) {
  TOptionsFixture f;
  TDDToggleButton& display = f.group.DisplayToggle;
  const int32_t y = display.SecondRect.Bottom + 4;
  const int32_t midX = (display.FirstRect.Right + display.SecondRect.Left) / 2;
  auto underlined = [&] {
    for (int32_t row = y - 1; row <= y + 1; ++row) {
      if (f.state.frame.PixelAt(midX, row) == GdiToPixel(kDarkBlue)) return true;
    }
    return false;
  };
  display.Draw(f.state.frame);
  EXPECT_FALSE(underlined());
  display.Focused = true;
  display.Draw(f.state.frame);
  EXPECT_TRUE(underlined());
}
