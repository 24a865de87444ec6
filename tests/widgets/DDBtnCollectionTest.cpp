#include <gtest/gtest.h>

#include "graphics/Geometry.h"
#include "widgets/DDBtnCollection.h"
#include "widgets/DDMainBtnCollection.h"
#include "widgets/MenuWidgets.h"
#include "widgets/WidgetTestContext.h"

namespace {

int SelectedCount(const TDDBtnCollection& group) {
  int n = 0;
  for (const TDDButton& b : group.Buttons) n += b.Selected ? 1 : 0;
  return n;
}

TPoint CentreOf(const TRect& r) {
  return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

}  // namespace

TEST(DDBtnCollection, SelectionWrapsAndPlaysTheClickAtThePointer) {
  struct TCase {
    int Start;
    int Step;  // +1 SelectNext, -1 SelectPrev, otherwise Select(Start + Step)
    int Expected;
  };
  const TCase cases[] = {
      {0, +1, 1}, {4, +1, 5}, {5, +1, 0},   // next past the last gives the first
      {5, -1, 4}, {1, -1, 0}, {0, -1, 5},   // previous before the first gives the last
      {0, 6, 0},  {0, 9, 0},  {3, -10, 5},  // Select wraps any index beyond either end
  };
  for (const TCase& c : cases) {
    TWidgetTestState state;
    state.PointAt(123, 456);
    TDDMainBtnCollection group(state.context, menu_layout::kMainMenu);
    group.Select(c.Start);
    const size_t before = state.sound.Calls.size();
    if (c.Step == 1) {
      group.SelectNext();
    } else if (c.Step == -1) {
      group.SelectPrev();
    } else {
      group.Select(c.Start + c.Step);
    }
    SCOPED_TRACE(testing::Message() << "start " << c.Start << " step " << c.Step);
    EXPECT_EQ(group.Current, c.Expected);
    EXPECT_TRUE(group.Buttons[static_cast<size_t>(c.Expected)].Selected);
    EXPECT_EQ(SelectedCount(group), 1);
    ASSERT_EQ(state.sound.Calls.size(), before + 1);
    EXPECT_EQ(state.sound.Calls.back().Id, sndCheckMenu);
    EXPECT_EQ(state.sound.Calls.back().X, 123);
    EXPECT_EQ(state.sound.Calls.back().Y, 456);
  }
}

TEST(DDBtnCollection, CheckClickTellsWhetherThePointerIsOnAnyButton) {
  struct TCase {
    int32_t X, Y;
    bool Clicked;
  };
  const TCase cases[] = {
      {400, 480, true},   // inside item 0
      {700, 480, true},   // inside item 1
      {332, 480, false},  // on item 0's left edge
      {500, 480, false},  // between the two
      {400, 469, false},  // on the top edge
      {10, 10, false},
  };
  TWidgetTestState state;
  TDDBtnCollection group(state.context, menu_layout::kHighScoreButtons);
  for (const TCase& c : cases) {
    group.Clicked = !c.Clicked;
    state.PointAt(c.X, c.Y);
    group.CheckClick();
    EXPECT_EQ(group.Clicked, c.Clicked) << c.X << "," << c.Y;
    EXPECT_EQ(group.Current, 0);  // a click test moves nothing
  }
}

TEST(DDBtnCollection, HoverMovesTheCurrentItemOnlyWhileTheMouseIsActive) {
  TWidgetTestState state;
  TDDBtnCollection group(state.context, menu_layout::kMainMenu);
  const TPoint third = CentreOf(menu_layout::kMainMenu[2].Rect);
  state.PointAt(third.X, third.Y);

  state.mouseActive = 0;  // after a key press the resting pointer is ignored
  const size_t before = state.sound.Calls.size();
  group.Draw(state.frame);
  EXPECT_EQ(group.Current, 0);
  EXPECT_EQ(state.sound.Calls.size(), before);

  state.mouseActive = -1;
  group.Draw(state.frame);
  EXPECT_EQ(group.Current, 2);
  EXPECT_EQ(group.Previous, 0);
  EXPECT_TRUE(group.Buttons[2].Selected);
  EXPECT_EQ(SelectedCount(group), 1);
  EXPECT_EQ(state.sound.Calls.size(), before + 1);

  // Resting on the same item plays nothing more.
  group.Draw(state.frame);
  EXPECT_EQ(state.sound.Calls.size(), before + 1);
}

TEST(DDBtnCollection, HighlightFollowsFromTheNextFrame) {
  TWidgetTestState state;
  TDDBtnCollection group(state.context, menu_layout::kMainMenu);
  const TRect& r = menu_layout::kMainMenu[3].Rect;
  const uint32_t highlight = TWidgetTestState::ImageColour(menu_layout::kMainMenu[3].ImageIndex);
  state.PointAt(r.Left + 5, r.Top + 5);

  group.Draw(state.frame);
  EXPECT_NE(state.frame.PixelAt(r.Left, r.Top), highlight);
  group.Draw(state.frame);
  EXPECT_EQ(state.frame.PixelAt(r.Left, r.Top), highlight);
  // Only the current item is drawn.
  const TRect& first = menu_layout::kMainMenu[0].Rect;
  EXPECT_NE(state.frame.PixelAt(first.Left, first.Top),
            TWidgetTestState::ImageColour(menu_layout::kMainMenu[0].ImageIndex));
}

TEST(DDMainBtnCollection, MovingTheHighlightReturnsToTheMainMenuOnce) {
  constexpr uint32_t kOptionsScreen = 3;
  TWidgetTestState state;
  TDDMainBtnCollection group(state.context, menu_layout::kMainMenu);
  state.gameState = kOptionsScreen;

  // Pointer on the current item: nothing changes.
  const TPoint first = CentreOf(menu_layout::kMainMenu[0].Rect);
  state.PointAt(first.X, first.Y);
  group.Draw(state.frame);
  EXPECT_EQ(state.gameState, kOptionsScreen);

  // Pointer moved from one item to the next: one click and the main menu.
  const size_t before = state.sound.Calls.size();
  const TPoint second = CentreOf(menu_layout::kMainMenu[1].Rect);
  state.PointAt(second.X, second.Y);
  group.Draw(state.frame);
  EXPECT_EQ(state.gameState, state.context.MainMenuState);
  EXPECT_EQ(state.sound.Calls.size(), before + 1);

  state.gameState = kOptionsScreen;
  group.Draw(state.frame);
  EXPECT_EQ(state.gameState, kOptionsScreen);
  EXPECT_EQ(state.sound.Calls.size(), before + 1);
}

TEST(DDBtnCollection, KeySelectionIsKeptWhileThePointerRestsOutside) {
  TWidgetTestState state;
  TDDMainBtnCollection group(state.context, menu_layout::kMainMenu);
  state.PointAt(600, 100);  // over no item
  group.SelectNext();
  group.SelectNext();
  group.Draw(state.frame);
  EXPECT_EQ(group.Current, 2);
  EXPECT_EQ(state.gameState, 0u);
}
