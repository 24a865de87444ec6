// Golden probes of the screens: the right images and texts land where the
// screens put them (the test pack's images are plain distinct colours).

#include "game/Game.h"
#include "game/GameStates.h"
#include "graphics/Text.h"
#include "shell/FormFixture.h"
#include "shell/ScreenLayout.h"

namespace {

constexpr uint32_t kOrangePixel = GdiToPixel(kOrange);
constexpr uint32_t kBluePixel = GdiToPixel(kDarkBlue);
constexpr uint32_t kRedPixel = GdiToPixel(kRed);
constexpr uint16_t kEnter = 13, kP = 80;

}  // namespace

class ScreenTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    StartForm();
    state_.MouseActive = 0;  // the pointer does not steer the groups
  }
  void Show(uint32_t gameState) {
    state_.GameState = gameState;
    ComposeFrame();
  }
  // Leaves the intro and starts a game from the main menu.
  void StartGame() {
    Click(5, 5);
    Key(kEnter);
    ASSERT_EQ(state_.GameState, gsPlaying);
  }
  // A game a few frames in, frozen under stripes by the pause key; `game_`
  // keeps the last frame before the pause.
  void PauseGame() {
    StartGame();
    ComposeFrame();
    ComposeFrame();
    game_ = sys_.LastFrame;
    Key(kP);
    ASSERT_EQ(state_.GameState, gsPaused);
  }
  // The frozen picture: the game's rows between the pause lines.
  uint32_t Frozen(int32_t x, int32_t y) const {
    return y % 2 == 0 ? test_pack::MenuColor(mnuPauseLine)
                      : game_.at(static_cast<size_t>(y * 800 + x));
  }
  std::vector<uint32_t> game_;
};

TEST_F(ScreenTest, TheIntroLastsOneHundredSeventySixFrames) {
  int frames = 0;
  while (state_.GameState == gsIntro && frames < 1000) {
    ComposeFrame();
    ++frames;
  }
  EXPECT_EQ(frames, 176);
  EXPECT_EQ(state_.GameState, gsMainMenu);
  EXPECT_EQ(state_.IntroOffset, 3u);
}

TEST_F(ScreenTest, TheIntroBannerSlidesInFromTheLeft) {
  const uint32_t title = test_pack::MenuColor(mnuTitle);
  const uint32_t background = test_pack::MenuColor(mnuBackground);
  for (uint32_t offset : {3u, 150u, 300u, 525u}) {
    SCOPED_TRACE(offset);
    state_.IntroOffset = offset;
    Show(gsIntro);
    const auto edge = static_cast<int32_t>(offset);  // first column right of the banner
    EXPECT_EQ(Pixel(edge - 1, 50), title);
    EXPECT_EQ(Pixel(edge, 50), background);
    EXPECT_EQ(Pixel(edge - 1, 103), background);  // the banner is 103 rows high
  }
}

TEST_F(ScreenTest, MenuScreensDrawTheirPanelsAndDecorations) {
  struct Probe {
    uint32_t state;
    int32_t x, y;
    uint32_t color;
  };
  const uint32_t highlight = test_pack::MenuColor(mnuNewGame);
  const uint32_t background = test_pack::MenuColor(mnuBackground);
  const Probe probes[] = {
      {gsMainMenu, 5, 590, background},
      {gsMainMenu, 5, 50, test_pack::MenuColor(mnuTitle)},
      {gsMainMenu, 61, 171, highlight},
      {gsMainMenu, 298, 158, background},
      {gsOptions, 298, 158, test_pack::MenuColor(mnuOptionsPanel)},
      {gsOptions, 12, 230, test_pack::MenuColor(mnuOptionsMarker)},
      {gsOptions, 61, 171, highlight},
      {gsKeyCapture, 298, 158, test_pack::MenuColor(mnuOptionsPanel)},
      {gsKeyCapture, 12, 230, test_pack::MenuColor(mnuOptionsMarker)},
      {gsKeyCapture, 61, 171, background},  // no main menu while a key is chosen
      {gsHighScores, 776, 495, test_pack::MenuColor(mnuHighScorePanel)},
      {gsHighScores, 13, 288, test_pack::MenuColor(mnuHighScoresMarker)},
      {gsHelpStory, 298, 158, test_pack::MenuColor(mnuHelpPanel)},
      {gsHelpStory, 15, 350, test_pack::MenuColor(mnuHelpMarker)},
      {gsHelpEnemies, 591, 201, test_pack::SpriteColor(sprBonusGun)},
      {gsHelpEnemies, 591, 376, test_pack::SpriteColor(sprBonusMegaBomb)},
      {gsAbout, 331, 241, test_pack::MenuColor(mnuAboutPicture)},
      {gsAbout, 15, 350, test_pack::MenuColor(mnuHelpMarker)},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(testing::Message() << "state " << p.state << " at " << p.x << "," << p.y);
    Show(p.state);
    EXPECT_EQ(Pixel(p.x, p.y), p.color);
  }
}

TEST_F(ScreenTest, TextsLandInTheirBoxesInTheirColours) {
  struct Probe {
    uint32_t state;
    TRect box;
    uint32_t color;
  };
  const Probe probes[] = {
      {gsHelpStory, {320, 170, 500, 192}, kOrangePixel},     // "GAME OVERVIEW"
      {gsHelpStory, {340, 200, 700, 214}, kBluePixel},       // first line
      {gsHelpControls, {320, 300, 520, 322}, kOrangePixel},  // "GAME NAVIGATIONS"
      {gsHelpEnemies, {580, 170, 680, 192}, kOrangePixel},   // "Bonuses"
      {gsHelpEnemies, {330, 300, 560, 318}, kBluePixel},     // Helicopter row
      {gsAbout, {460, 250, 760, 290}, kOrangePixel},         // the title
      {gsHighScores, {320, 190, 345, 214}, kOrangePixel},    // rank 1
      {gsHighScores, {320, 424, 345, 448}, kBluePixel},      // rank 10
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(testing::Message() << "state " << p.state);
    Show(p.state);
    EXPECT_GT(CountPixels(p.box, p.color), 10);
  }
}

TEST_F(ScreenTest, DialogsSitOnTheirBackgroundWithTheBoxAtItsPlace) {
  namespace sl = screen_layout;
  struct Case {
    uint32_t state;
    int32_t boxX;
    bool onSnapshot;
    bool red;
  };
  const Case cases[] = {
      {gsExitConfirm, sl::kQuestionDialog.X, false, false},
      {gsClearScores, sl::kClearScoresDialog.X, true, false},
      {gsNameEntry, sl::kNameEntryDialog.X, true, false},
      {gsSubmitAsk, sl::kSubmitDialog.X, true, false},
      {gsQuitGame, sl::kQuestionDialog.X, true, false},
      {gsConnectFailed, sl::kQuestionDialog.X, true, true},
      {gsSubmitting, sl::kQuestionDialog.X, true, false},
  };
  PauseGame();
  const uint32_t box = test_pack::MenuColor(mnuDialogBox);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "state " << c.state);
    Show(c.state);
    // Rows 201 and 399 are game rows of the frozen picture, not pause lines.
    auto background = [&](int32_t x, int32_t y) {
      return c.onSnapshot ? Frozen(x, y) : test_pack::MenuColor(mnuBackground);
    };
    const int32_t top = sl::kDialogTop, bottom = top + sl::kDialogHeight - 1;
    const int32_t left = c.boxX - 1, right = c.boxX + sl::kDialogWidth;
    ASSERT_NE(background(left, top + 1), box);
    EXPECT_EQ(Pixel(left, top + 1), background(left, top + 1));
    EXPECT_EQ(Pixel(c.boxX, top + 1), box);
    EXPECT_EQ(Pixel(right - 1, bottom), box);
    EXPECT_EQ(Pixel(right, bottom), background(right, bottom));
    EXPECT_EQ(CountPixels({190, 240, 640, 320}, kRedPixel) > 10, c.red);
  }
}

TEST_F(ScreenTest, PauseShowsTheSnapshotWithItsCaption) {
  PauseGame();
  Show(gsPaused);
  EXPECT_EQ(Pixel(0, 0), Frozen(0, 0));
  EXPECT_EQ(Pixel(799, 599), Frozen(799, 599));
  EXPECT_GT(CountPixels({350, 300, 460, 332}, kBluePixel), 20);
  EXPECT_GT(CountPixels({351, 301, 461, 333}, kOrangePixel), 5);  // the shadow
}

TEST_F(ScreenTest, NameEntryShowsTheScoreOfTheGameJustEnded) {
  StartGame();
  // The caption grows to the right with the number of digits.
  auto rightmostText = [&](int32_t score) {
    state_.CurrentGame->Score = score;
    Show(gsNameEntry);
    int32_t right = 0;
    for (int32_t y = 232; y < 256; ++y) {
      for (int32_t x = 290; x < 620; ++x) {
        if (Pixel(x, y) == kBluePixel) right = std::max(right, x);
      }
    }
    return right;
  };
  const int32_t one = rightmostText(7);
  const int32_t four = rightmostText(1250);
  EXPECT_GT(one, 420);
  EXPECT_GT(four - one, 30);
}

TEST_F(ScreenTest, PlayingRunsTheGameIntoTheFrame) {
  StartGame();
  Show(gsPlaying);
  // The game screen has its own side panels.
  EXPECT_EQ(Pixel(1, 1), test_pack::SpriteColor(sprLeftPanel));
  EXPECT_EQ(Pixel(683, 1), test_pack::SpriteColor(sprRightPanel));
}
