#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "widgets/MenuWidgets.h"
#include "widgets/PointInRect.h"
#include "widgets/WidgetTestContext.h"

namespace {

struct TGroupLayout {
  std::string Name;
  std::vector<TRect> Rects;
};

std::vector<TRect> RectsOf(std::span<const TButtonSpec> items) {
  std::vector<TRect> rects;
  for (const TButtonSpec& item : items) rects.push_back(item.Rect);
  return rects;
}

std::vector<TGroupLayout> AllGroups() {
  std::vector<TRect> options(menu_layout::kOptionsRects.begin(), menu_layout::kOptionsRects.end());
  options.push_back(TDDOptBtnCollection::kKeyButtonRect);
  return {
      {"MainMenuGroup", RectsOf(menu_layout::kMainMenu)},
      {"HighScoreButtons", RectsOf(menu_layout::kHighScoreButtons)},
      {"HelpButtons", RectsOf(menu_layout::kHelpButtons)},
      {"OptionsGroup", options},
      {"YesNoGroup", {menu_layout::kYesRect, menu_layout::kNoRect}},
      {"OkCancelGroup", {menu_layout::kOkRect, menu_layout::kCancelRect}},
      {"NameField", {menu_layout::kNameFieldRect}},
  };
}

bool Overlap(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

}  // namespace

TEST(MenuLayout, EveryWidgetLiesInsideTheFrameAndNoTwoOfAGroupOverlap) {
  for (const TGroupLayout& group : AllGroups()) {
    SCOPED_TRACE(group.Name);
    for (size_t i = 0; i < group.Rects.size(); ++i) {
      const TRect& r = group.Rects[i];
      EXPECT_GE(r.Left, 0) << "item " << i;
      EXPECT_GE(r.Top, 0) << "item " << i;
      EXPECT_LE(r.Right, 800) << "item " << i;
      EXPECT_LE(r.Bottom, 600) << "item " << i;
      EXPECT_LT(r.Left, r.Right) << "item " << i;
      EXPECT_LT(r.Top, r.Bottom) << "item " << i;
      for (size_t j = i + 1; j < group.Rects.size(); ++j) {
        EXPECT_FALSE(Overlap(r, group.Rects[j])) << "items " << i << " and " << j;
      }
    }
  }
}

TEST(MenuLayout, HighlightImagesAreMenuSlots) {
  for (auto items : {std::span<const TButtonSpec>(menu_layout::kMainMenu),
                     std::span<const TButtonSpec>(menu_layout::kHighScoreButtons),
                     std::span<const TButtonSpec>(menu_layout::kHelpButtons)}) {
    for (const TButtonSpec& item : items) EXPECT_LT(item.ImageIndex, kMenuImageCount);
  }
  for (uint8_t image : menu_layout::kOptionsImages) EXPECT_LT(image, kMenuImageCount);
}

TEST(PointInRect, IsStrictOnEverySide) {
  struct TCase {
    int32_t X, Y;
    bool Inside;
  };
  const TRect r{10, 20, 30, 40};
  const TCase cases[] = {
      {20, 30, true},  {11, 21, true},  {29, 39, true},  {10, 30, false}, {30, 30, false},
      {20, 20, false}, {20, 40, false}, {10, 20, false}, {30, 40, false}, {9, 30, false},
      {31, 30, false}, {20, 19, false}, {20, 41, false}, {-5, -5, false},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(PointInRect(r, c.X, c.Y), c.Inside) << c.X << "," << c.Y;
    EXPECT_EQ(PointInRect(r.Left, r.Top, r.Right, r.Bottom, c.X, c.Y), c.Inside);
  }
}

TEST(MenuWidgets, CreatesEveryGroupOnceWithItsItems) {
  TWidgetTestState state;
  TMenuWidgets widgets(state.context);

  ASSERT_EQ(widgets.MainMenuGroup->Count, 6);
  ASSERT_EQ(widgets.HighScoreButtons->Count, 2);
  ASSERT_EQ(widgets.HelpButtons->Count, 2);
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(widgets.MainMenuGroup->Buttons[i].BoundsRect, menu_layout::kMainMenu[i].Rect);
    EXPECT_EQ(widgets.MainMenuGroup->Buttons[i].ImageIndex, menu_layout::kMainMenu[i].ImageIndex);
  }
  // Each button list starts on its first item, which plays the click once.
  EXPECT_EQ(widgets.MainMenuGroup->Current, 0);
  EXPECT_TRUE(widgets.MainMenuGroup->Buttons[0].Selected);
  EXPECT_EQ(state.sound.Calls.size(), 3u);

  EXPECT_EQ(widgets.YesNoGroup->FirstCaption, "Yes");
  EXPECT_EQ(widgets.YesNoGroup->SecondCaption, "No");
  EXPECT_EQ(widgets.OkCancelGroup->FirstCaption, "Ok");
  EXPECT_EQ(widgets.OkCancelGroup->SecondCaption, "Cancel");
  EXPECT_TRUE(widgets.YesNoGroup->FirstSelected);

  const TDDOptBtnCollection& options = *widgets.OptionsGroup;
  EXPECT_EQ(options.KeyButton.Caption, "F12");
  EXPECT_EQ(options.Cursor, 0);
  EXPECT_EQ(options.DisplayToggle.SecondRect, menu_layout::kOptionsRects[1]);
  EXPECT_EQ(options.SoundToggle.FirstImage, 17);
  EXPECT_EQ(options.NameEdit.BoundsRect, menu_layout::kOptionsRects[6]);
  EXPECT_FALSE(options.NameEdit.Focused);

  EXPECT_EQ(widgets.NameField->BoundsRect, (TRect{296, 300, 624, 330}));
  EXPECT_TRUE(widgets.NameField->Focused);
  EXPECT_TRUE(widgets.NameField->Editing);
  EXPECT_EQ(widgets.NameField->TextLength, 0);
}
