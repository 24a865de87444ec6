// The table of screens walked row by row: every screen of the game has its
// row, its buttons lie on the frame without overlapping, and a click on each
// button is carried out by the real form.

#include <algorithm>
#include <set>
#include <string>

#include "game/GameStates.h"
#include "replay/ReplayStore.h"
#include "shell/FormFixture.h"
#include "shell/Screens.h"

namespace {

// Every screen code the game sets.
constexpr uint32_t kAllStates[] = {
    gsIntro,       gsMainMenu,      gsPlaying,    gsOptions,      gsHighScores,   gsHelpStory,
    gsExitConfirm, gsClearScores,   gsKeyCapture, gsPaused,       gsNameEntry,    gsSubmitAsk,
    gsQuitGame,    gsConnectFailed, gsSubmitting, gsUploadFailed, gsReplayFailed, gsHelpControls,
    gsHelpEnemies, gsAbout,         gsWatching};

bool Overlap(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

}  // namespace

TEST(ScreenTable, EveryScreenHasOneRowThatDrawsIt) {
  std::set<uint32_t> seen;
  for (const TScreen& screen : ScreenTable()) {
    EXPECT_TRUE(seen.insert(screen.State).second) << "two rows for " << screen.State;
  }
  EXPECT_EQ(seen, std::set<uint32_t>(std::begin(kAllStates), std::end(kAllStates)));
  for (uint32_t state : kAllStates) {
    SCOPED_TRACE(state);
    EXPECT_EQ(FindScreen(state).State, state);
    EXPECT_NE(FindScreen(state).Draw, nullptr);
    // A button the screen shows is one it takes clicks on.
    if (FindScreen(state).Buttons != 0) {
      EXPECT_NE(FindScreen(state).Click, nullptr);
    }
  }
}

TEST(ScreenTable, ButtonsLieOnTheFrameAndNeverOverlapOnOneScreen) {
  for (const TScreen& screen : ScreenTable()) {
    const std::vector<TScreenButton> buttons = ScreenButtons(screen);
    for (size_t i = 0; i < buttons.size(); ++i) {
      const TScreenButton& a = buttons[i];
      SCOPED_TRACE(testing::Message()
                   << "screen " << screen.State << " group " << a.Group << " button " << a.Index);
      EXPECT_TRUE(a.Rect.Left >= 0 && a.Rect.Top >= 0 && a.Rect.Right <= kFrameWidth &&
                  a.Rect.Bottom <= kFrameHeight && a.Rect.Width() > 0 && a.Rect.Height() > 0);
      for (size_t j = i + 1; j < buttons.size(); ++j) {
        EXPECT_FALSE(Overlap(a.Rect, buttons[j].Rect))
            << "overlaps group " << buttons[j].Group << " button " << buttons[j].Index;
      }
    }
  }
}

class ScreenCommandTest : public FormFixture {
 protected:
  // What a player can tell a click did: the screen, a sound, a page opened,
  // the music, the program closing, the display mode.
  struct TSeen {
    uint32_t State;
    size_t Sounds, Opened, Music, Modes;
    bool Closed;
    friend bool operator==(const TSeen&, const TSeen&) = default;
  };
  TSeen Seen() const {
    return {state_.GameState,    sound_.Calls.size(),      sys_.OpenedTargets.size(),
            music_.Calls.size(), sys_.DisplayModes.size(), form_->Closed()};
  }
};

TEST_F(ScreenCommandTest, EveryButtonOfEveryScreenIsCarriedOut) {
  // Every row of the table links a replay that is gone: a click on the row
  // tries it and says it cannot be played.
  TReplayStore::TIndex index;
  for (size_t row = 0; row < index.size(); ++row)
    index[row] = "2026-" + std::to_string(row) + ".tlr";
  std::string error;
  std::filesystem::create_directories(dir_ / "replays");
  ASSERT_TRUE(TReplayStore((dir_ / "replays").string()).WriteIndex(index, error)) << error;

  // The help pages' first "back" and last "next" are silent by design.
  const std::set<std::pair<uint32_t, int>> silent{{gsHelpStory, 0}, {gsAbout, 1}};
  int clicks = 0;
  for (const TScreen& screen : ScreenTable()) {
    std::vector<TScreenButton> buttons = ScreenButtons(screen);
    if (buttons.empty()) continue;
    StartForm();
    // One form per screen; the buttons that end something (Yes, OK, New
    // Game) come first in their groups, so they are pressed last.
    std::reverse(buttons.begin(), buttons.end());
    for (const TScreenButton& button : buttons) {
      SCOPED_TRACE(testing::Message() << "screen " << screen.State << " group " << button.Group
                                      << " button " << button.Index);
      state_.GameState = screen.State;
      // The pointer rests on the button for a frame (the groups follow it),
      // then presses.
      const int32_t x = (button.Rect.Left + button.Rect.Right) / 2;
      const int32_t y = (button.Rect.Top + button.Rect.Bottom) / 2;
      sys_.PushMouseMove(x, y);
      Deliver();
      ComposeFrame();
      const TSeen before = Seen();
      sys_.PushMouseDown(x, y);
      Deliver();
      const bool isSilent =
          button.Group == kHelpButtons && silent.count({screen.State, button.Index}) != 0;
      EXPECT_EQ(Seen() == before, isSilent);
      ++clicks;
    }
    form_.reset();
  }
  EXPECT_GT(clicks, 80);
}
