// What each menu and dialog choice does: scripted on the fake platform.

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "game/GameStates.h"
#include "online/WebLinks.h"
#include "settings/ConfigFile.h"
#include "settings/HiScores.h"
#include "shell/FormFixture.h"
#include "support/FileBytes.h"

namespace {

constexpr uint16_t kBack = 8, kEnter = 13, kEsc = 27, kLeft = 37, kUp = 38, kRight = 39, kDown = 40;

class CommandTest : public MenuFixture {
 protected:
  size_t MenuSounds() const { return static_cast<size_t>(sound_.Count(sndCheckMenu)); }
  // Steps through the buttons on screen with the keys until button `index` of
  // `group` shows its highlight in the presented frame.
  template <size_t N>
  void SelectButton(const std::array<TButtonSpec, N>& group, size_t index) {
    for (size_t i = 0; i < N && !ShowsHighlight(group[index]); ++i) Key(kRight);
    ASSERT_TRUE(ShowsHighlight(group[index])) << "button " << index;
  }
  void SelectMainItem(size_t item) { SelectButton(menu_layout::kMainMenu, item); }
  // Points at the middle of `rect`, lets a frame follow the pointer, presses.
  void ClickOn(const TRect& rect) {
    sys_.PushMouseMove((rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2);
    ComposeFrame();
    sys_.PushMouseDown((rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2);
    Deliver();
  }
  // From the main menu: a game that ends at once with this score, waiting on
  // the name entry with the field emptied.
  void FinishGameWithScore(int32_t score) {
    SelectMainItem(0);
    Key(kEnter);
    ASSERT_EQ(state_.GameState, gsPlaying);
    state_.CurrentGame->Score = score;
    state_.CurrentGame->Phase = phGameOver;  // as the quit question's Yes leaves it
    sys_.WaitStepMs = 250;                   // the game-over picture's two seconds in a few passes
    for (int pass = 0; pass < 100 && state_.GameState != gsNameEntry; ++pass) form_->RunOnce();
    sys_.WaitStepMs = 16;
    ASSERT_EQ(state_.GameState, gsNameEntry);
    for (int i = 0; i < 12; ++i) Key(kBack);
  }
  THiScoreTable SavedTable() {
    TConfigFile file(ConfigPath());
    TOptions options;
    THiScoreTable table = DefaultHiScores();
    file.Load(options, table);
    return table;
  }
};

}  // namespace

TEST_F(CommandTest, AClickOnTheIntroEndsItSilently) {
  StartForm();
  ASSERT_EQ(state_.GameState, gsIntro);
  const size_t sounds = MenuSounds();
  Click(5, 5);
  EXPECT_EQ(state_.GameState, gsMainMenu);
  EXPECT_EQ(MenuSounds(), sounds);
}

TEST_F(CommandTest, EveryMainMenuChoice) {
  const struct {
    int item;
    uint32_t state;
    bool sound;
    const char* opened;
  } cases[] = {
      {0, gsPlaying, false, nullptr},   {1, gsOptions, true, nullptr},
      {2, gsHighScores, true, nullptr}, {3, gsHelpStory, true, nullptr},
      {4, gsMainMenu, true, "home"},    {5, gsExitConfirm, true, nullptr},
  };
  Start();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item);
    state_.GameState = gsMainMenu;
    SelectMainItem(static_cast<size_t>(c.item));
    const size_t sounds = MenuSounds();
    const size_t opened = sys_.OpenedTargets.size();
    Key(kEnter);
    EXPECT_EQ(state_.GameState, c.state);
    EXPECT_EQ(MenuSounds(), sounds + (c.sound ? 1 : 0));
    if (c.opened) {
      ASSERT_EQ(sys_.OpenedTargets.size(), opened + 1);
      EXPECT_EQ(sys_.OpenedTargets.back(), HomePageUrl());
    } else {
      EXPECT_EQ(sys_.OpenedTargets.size(), opened);
    }
  }
}

TEST_F(CommandTest, NewGameStartsTheGameTrackOnlyWithMusicOnAndReplacesTheSession) {
  for (bool musicOn : {true, false}) {
    SCOPED_TRACE(musicOn);
    TearDown();
    SetUp();
    state_ = TShellState{};
    Start();
    state_.Settings.MusicOn = musicOn;
    music_.Calls.clear();
    Key(kEnter);
    const TGame* first = state_.CurrentGame.get();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(music_.Calls,
              musicOn ? std::vector<std::string>{"play 2.xm"} : std::vector<std::string>{});
    state_.GameState = gsMainMenu;
    Key(kEnter);
    EXPECT_NE(state_.CurrentGame.get(), nullptr);
  }
}

TEST_F(CommandTest, HelpPagesGoBothWaysAndTheEndButtonsAreSilent) {
  Start();
  const struct {
    uint32_t from;
    int button;
    uint32_t to;
    bool sound;
  } cases[] = {
      {gsHelpStory, 0, gsHelpStory, false},     {gsHelpStory, 1, gsHelpControls, true},
      {gsHelpControls, 0, gsHelpStory, true},   {gsHelpControls, 1, gsHelpEnemies, true},
      {gsHelpEnemies, 0, gsHelpControls, true}, {gsHelpEnemies, 1, gsAbout, true},
      {gsAbout, 0, gsHelpEnemies, true},        {gsAbout, 1, gsAbout, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << " button " << c.button);
    state_.GameState = c.from;
    SelectButton(menu_layout::kHelpButtons, static_cast<size_t>(c.button));
    const size_t sounds = MenuSounds();
    Key(kEnter);
    EXPECT_EQ(state_.GameState, c.to);
    EXPECT_EQ(MenuSounds(), sounds + (c.sound ? 1 : 0));
  }
}

TEST_F(CommandTest, ClearingTheTableAsksFirstAndOnlyOkResetsIt) {
  Start();
  state_.HiScores[0] = {"ACE", 5000};
  for (bool ok : {false, true}) {
    SCOPED_TRACE(ok);
    state_.GameState = gsHighScores;
    SelectButton(menu_layout::kHighScoreButtons, 0);
    Key(kEnter);
    ASSERT_EQ(state_.GameState, gsClearScores);
    Key(ok ? kLeft : kRight);
    Key(kEnter);
    EXPECT_EQ(state_.GameState, gsHighScores);
    EXPECT_EQ(state_.HiScores[0].Score, ok ? 1000 : 5000);
  }
  // The second button opens the world table and stays.
  SelectButton(menu_layout::kHighScoreButtons, 1);
  Key(kEnter);
  EXPECT_EQ(state_.GameState, gsHighScores);
  ASSERT_FALSE(sys_.OpenedTargets.empty());
  EXPECT_EQ(sys_.OpenedTargets.back(), WorldScoresUrl());
}

TEST_F(CommandTest, NameEntryOkInsertsAndSavesCancelStoresNothingAndHighlightsHighScores) {
  Start();
  FinishGameWithScore(600);
  for (uint16_t k : {'J', 'O', 'H', 'N'}) Key(k);
  Key(kRight);
  Key(kEnter);  // Cancel
  EXPECT_EQ(state_.GameState, gsMainMenu);
  EXPECT_EQ(state_.HiScores, DefaultHiScores());
  // The menu shows High Scores highlighted, where Enter leads.
  EXPECT_TRUE(ShowsHighlight(menu_layout::kMainMenu[2]));
  Key(kEnter);
  EXPECT_EQ(state_.GameState, gsHighScores);
  Key(kEsc);

  FinishGameWithScore(600);
  for (uint16_t k : {'J', 'O', 'H', 'N'}) Key(k);
  Key(kLeft);
  Key(kEnter);
  EXPECT_EQ(state_.GameState, gsSubmitAsk);
  const int32_t expected[] = {1000, 900, 800, 700, 600, 600, 500, 400, 300, 200};
  const THiScoreTable saved = SavedTable();
  for (int i = 0; i < kHiScoreCount; ++i) {
    EXPECT_EQ(state_.HiScores[i].Score, expected[i]) << i;
    EXPECT_EQ(saved[i], state_.HiScores[i]) << i;
  }
  EXPECT_EQ(state_.HiScores[5].Name, "JOHN");  // below the older equal score
}

TEST_F(CommandTest, SubmissionShowsPleaseWaitFirstThenTheTableOrTheRetryQuestion) {
  const struct {
    const char* name;
    bool yes;
    bool serverUp;
    uint32_t state;
    size_t requests;
  } cases[] = {
      {"No", false, true, gsHighScores, 0},
      {"Yes, server down", true, false, gsConnectFailed, 1},
      {"Yes, server up", true, true, gsHighScores, 3},  // the result's two, then its replay
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    state_ = TShellState{};
    sys_.HttpRequests.clear();
    sys_.HttpHandler = [&](const std::string&) {
      THttpResult r;
      r.Ok = c.serverUp;
      r.Status = c.serverUp ? 200 : 0;
      r.Body = "a|b|c|d|CHALLENGE|f";
      return r;
    };
    sys_.HttpPostHandler = [](const FakePlatform::THttpRequest&) {
      return THttpResult{true, 202, R"({"id":1,"status":"pending"})", ""};
    };
    Start();
    FinishGameWithScore(1234);
    state_.GameState = gsSubmitAsk;
    Key(c.yes ? kLeft : kRight);
    const int presents = sys_.PresentCount;
    Key(kEnter);
    EXPECT_EQ(sys_.PresentCount, presents + 1);  // the "Please wait..." frame
    // The requests run beside the loop, which shows their outcome.
    for (int pass = 0; pass < 2000 && state_.GameState == gsSubmitting; ++pass) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      ComposeFrame();
    }
    EXPECT_EQ(state_.GameState, c.state);
    EXPECT_EQ(sys_.HttpRequests.size(), c.requests);
  }
}

TEST_F(CommandTest, AFailedReplayUploadAsksToRepeatTheUploadAlone) {
  const struct {
    const char* name;
    bool again;  // the answer to "Can not send the replay! Repeat?"
    size_t uploads;
  } cases[] = {
      {"Yes sends the replay again", true, 2},
      {"No goes on to the table", false, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    state_ = TShellState{};
    sys_.HttpRequests.clear();
    sys_.HttpHandler = [](const std::string&) {
      return THttpResult{true, 200, "a|b|c|d|CHALLENGE|f", ""};
    };
    int posts = 0;
    sys_.HttpPostHandler = [&](const FakePlatform::THttpRequest&) {
      return ++posts == 1 ? THttpResult{false, 503, "", "busy"} : THttpResult{true, 202, "{}", ""};
    };
    Start();
    FinishGameWithScore(1234);
    for (uint16_t k : {'A', 'N', 'N'}) Key(k);
    Key(kEnter);  // Ok: the result and its replay go in the table
    ASSERT_EQ(state_.GameState, gsSubmitAsk);
    // The game as the recording kept it, with the entered name.
    std::string replay;
    for (const auto& entry : std::filesystem::directory_iterator(dir_ / "replays")) {
      if (entry.path().extension() != ".tlr") continue;
      replay = test_kit::ReadText(entry.path());
    }
    ASSERT_FALSE(replay.empty());
    auto answer = [&](bool yes) {
      Key(yes ? kLeft : kRight);
      Key(kEnter);
      for (int pass = 0; pass < 2000 && state_.GameState == gsSubmitting; ++pass) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ComposeFrame();
      }
    };
    answer(true);
    ASSERT_EQ(state_.GameState, gsUploadFailed);
    answer(c.again);
    EXPECT_EQ(state_.GameState, gsHighScores);
    ASSERT_EQ(sys_.HttpRequests.size(), 2 + c.uploads) << "the result itself is sent once";
    for (size_t i = 2; i < sys_.HttpRequests.size(); ++i) {
      const auto& post = sys_.HttpRequests[i];
      EXPECT_EQ(post.Method, "POST");
      EXPECT_EQ(post.Url, "http://" + ScoreHost() + "/api/replays?p=CHALLENGE");
      EXPECT_EQ(post.ContentType, "application/x-tidal-lynx-replay");
      EXPECT_EQ(post.Body, replay);
    }
  }
}

TEST_F(CommandTest, OptionsChoicesTakeEffectAtOnce) {
  Start();
  SelectMainItem(1);
  Key(kEnter);
  const struct {
    int cursor;
    bool windowed, music, sound;
  } cases[] = {
      {1, false, true, true},  {0, true, true, true},  {3, true, false, true},
      {5, true, false, false}, {4, true, false, true}, {2, true, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cursor);
    ClickOn(menu_layout::kOptionsRects[static_cast<size_t>(c.cursor)]);
    EXPECT_EQ(state_.Settings.WindowedMode, c.windowed);
    EXPECT_EQ(state_.Settings.MusicOn, c.music);
    EXPECT_EQ(state_.Settings.SoundOn, c.sound);
    EXPECT_EQ(state_.GameState, gsOptions);
    ComposeFrame();
    EXPECT_EQ(ShowsFirstChoice(0), c.windowed);
    EXPECT_EQ(ShowsFirstChoice(1), c.music);
    EXPECT_EQ(ShowsFirstChoice(2), c.sound);
  }
  // Choosing full screen while in full screen rebuilds all the same.
  ClickOn(menu_layout::kOptionsRects[1]);
  const size_t modes = sys_.DisplayModes.size();
  ClickOn(menu_layout::kOptionsRects[1]);
  EXPECT_EQ(sys_.DisplayModes.size(), modes + 1);
}

TEST_F(CommandTest, LeavingThroughTheExitQuestionSavesTheTypedNameAndTheTableInMemory) {
  Start();
  TypePlayerName("LYNX");
  state_.HiScores[0] = {"CAPTAIN", 5000};
  for (uint16_t key : {kUp, kUp, kEnter, kLeft, kEnter}) Key(key);  // exit: Yes
  ASSERT_TRUE(form_->Closed());
  form_.reset();  // teardown after the save
  TOptions options;
  THiScoreTable table{};
  TConfigFile(ConfigPath()).Load(options, table);
  EXPECT_EQ(options.PlayerName, "LYNX");
  EXPECT_EQ(table[0].Score, 5000);
}
