#include <gtest/gtest.h>

#include <string>

#include "graphics/DeviceContext.h"
#include "widgets/DDEdit.h"
#include "widgets/MenuWidgets.h"
#include "widgets/WidgetTestContext.h"

namespace {

void Type(TDDEdit& edit, const std::string& keys) {
  for (char key : keys) edit.KeyInput(key);
}

int32_t Measure(TWidgetTestState& state, const std::string& text) {
  TSurface scratch(1, 1);
  TDeviceContext dc(state.fonts, scratch);
  dc.SelectFont(TDDEdit::kFont);
  return dc.TextWidth(text);
}

}  // namespace

TEST(DDEdit, KeyInputAppendsUpToTenAndDeletesWithTheTilde) {
  struct TCase {
    std::string Keys;
    std::string Text;  // as stored, before a draw capitalises it
  };
  const TCase cases[] = {
      {"", ""},
      {"~", ""},                        // Backspace on an empty field
      {"~~~A", "A"},                    //
      {"AB~", "A"},                     //
      {"AB~~~", ""},                    //
      {"IIIIIIIIII", "IIIIIIIIII"},     // ten fit
      {"IIIIIIIIIII", "IIIIIIIIII"},    // an eleventh is ignored
      {"IIIIIIIIIII~J", "IIIIIIIIIJ"},  // room again after a delete
  };
  for (const TCase& c : cases) {
    TWidgetTestState state;
    TDDEdit edit(state.context, menu_layout::kNameFieldRect);
    Type(edit, c.Keys);
    EXPECT_EQ(edit.Text, c.Text) << "keys " << c.Keys;
    EXPECT_EQ(edit.TextLength, c.Text.size()) << "keys " << c.Keys;
  }
}

TEST(DDEdit, LetterThatWouldComeWithinFivePixelsOfTheRightEdgeIsRefused) {
  TWidgetTestState state;
  const TRect bounds = menu_layout::kOptionsRects[6];  // the options field, 205 wide
  for (char letter : {'W', 'M', 'A'}) {
    TDDEdit edit(state.context, bounds);
    std::string expected;
    while (expected.size() < TDDEdit::kMaxLength &&
           bounds.Left + Measure(state, expected + letter) + 5 < bounds.Right) {
      expected += letter;
    }
    Type(edit, std::string(12, letter));
    EXPECT_EQ(edit.Text, expected) << letter;
    EXPECT_EQ(edit.TextLength, expected.size());
  }
  // Wide letters hit the width limit well before ten.
  TDDEdit wide(state.context, bounds);
  Type(wide, std::string(12, 'W'));
  EXPECT_LT(wide.TextLength, TDDEdit::kMaxLength);
  EXPECT_GT(wide.TextLength, 0);
}

TEST(DDEdit, DrawShowsTheNameCapitalised) {
  struct TCase {
    std::string Keys;
    std::string Shown;
  };
  const TCase cases[] = {
      {"JOHN", "John"},
      {"A", "A"},
      {"MCDONALD~~", "Mcdona"},
      {"", ""},
  };
  for (const TCase& c : cases) {
    TWidgetTestState state;
    TDDEdit edit(state.context, menu_layout::kNameFieldRect);
    Type(edit, c.Keys);
    edit.Draw(state.frame);
    EXPECT_EQ(edit.Text, c.Shown) << c.Keys;
  }
  // Text loaded from the settings may hold any byte; only letters change case.
  TWidgetTestState state;
  TDDEdit edit(state.context, menu_layout::kNameFieldRect);
  edit.SetText(std::string("\x01\xFFzED", 5));
  edit.Draw(state.frame);
  EXPECT_EQ(edit.Text, std::string("\x01\xFF"
                                   "zed",
                                   5));
  EXPECT_EQ(edit.TextLength, 5);
}

TEST(DDEdit, CaretChangesPhaseOnTheFirstDrawMoreThan300msAfterTheLastChange) {
  struct TStep {
    uint32_t Advance;  // ms since the previous draw
    bool Phase;        // CaretPhase after the draw
  };
  // The first draw is long after BlinkTick 0, so it turns the caret on.
  const TStep steps[] = {
      {0, true},   {300, true}, {1, false}, {299, false}, {1, false},   {1, true},
      {150, true}, {150, true}, {1, false}, {5000, true}, {301, false}, {300, false},
  };
  for (uint32_t start : {FakePlatform::kDefaultStartTick, 0xFFFFFE00u}) {  // also across the wrap
    TWidgetTestState state;
    state.sys.SetTick(start);
    TDDEdit edit(state.context, menu_layout::kNameFieldRect);
    int index = 0;
    for (const TStep& step : steps) {
      state.sys.Advance(step.Advance);
      edit.Draw(state.frame);
      EXPECT_EQ(edit.CaretPhase, step.Phase) << "start " << start << " step " << index;
      EXPECT_EQ(edit.LastTick, state.sys.Tick());
      ++index;
    }
  }
}

TEST(DDEdit, CaretShowsOnlyWhileFocusedAndEditing) {
  struct TCase {
    bool Focused, Editing;
    bool Frame, Caret;
  };
  const TCase cases[] = {
      {true, true, true, true},
      {true, false, true, false},
      {false, true, false, false},
      {false, false, false, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "focused " << c.Focused << " editing " << c.Editing);
    TWidgetTestState state;
    const TRect r = menu_layout::kNameFieldRect;
    TDDEdit edit(state.context, r);
    edit.Focused = c.Focused;
    edit.Editing = c.Editing;
    edit.Draw(state.frame);  // first draw: the caret phase turns on
    ASSERT_TRUE(edit.CaretPhase);

    EXPECT_EQ(state.frame.PixelAt(r.Left, r.Top) == TWidgetTestState::ImageColour(mnuFocusFrame),
              c.Frame);
    bool caret = false;
    const int32_t x = r.Left + 10;  // empty text: width 0
    for (int32_t dx = -1; dx <= 1; ++dx) {
      caret = caret || state.frame.PixelAt(x + dx, r.Top + 12) == GdiToPixel(kDarkBlue);
    }
    EXPECT_EQ(caret, c.Caret);
  }
}
