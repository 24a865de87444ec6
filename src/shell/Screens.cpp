// The table of screens: one row per GameState. What a screen draws, what its
// keys, clicks, wheel and pad do, what it does when a button of it is chosen
// and what a close request does on it are read here and nowhere else.
#include "shell/Screens.h"

#include <array>

#include "game/GameStates.h"
#include "shell/Form.h"
#include "shell/ScreenLayout.h"
#include "shell/VirtualKeys.h"
#include "widgets/MenuLayout.h"

namespace {

using TB = TPadButton;

// The menus: A chooses like Enter, B and Back go back like Esc.
constexpr std::array<TPadKey, 3> kMenuPad{
    {{TB::A, kVkReturn}, {TB::B, kVkEscape}, {TB::Back, kVkEscape}}};
// The main menu: Start also asks the exit question.
constexpr std::array<TPadKey, 4> kMainMenuPad{
    {{TB::Start, kVkEscape}, {TB::A, kVkReturn}, {TB::B, kVkEscape}, {TB::Back, kVkEscape}}};
// The table: the shoulders pick a row with a replay, X watches it.
constexpr std::array<TPadKey, 6> kHighScoresPad{{{TB::LeftShoulder, kVkPageUp},
                                                 {TB::RightShoulder, kVkPageDown},
                                                 {TB::X, kVkW},
                                                 {TB::A, kVkReturn},
                                                 {TB::B, kVkEscape},
                                                 {TB::Back, kVkEscape}}};
// The game: Start pauses, Back asks to quit, X, Y and the shoulders change
// the weapon; A and the trigger fire, which the ship reads itself.
constexpr std::array<TPadKey, 6> kPlayingPad{{{TB::Start, kVkP},
                                              {TB::Back, kVkEscape},
                                              {TB::X, kVkSpace},
                                              {TB::Y, kVkSpace},
                                              {TB::LeftShoulder, kVkSpace},
                                              {TB::RightShoulder, kVkSpace}}};
// A paused game or replay: Start goes on, B and Back leave. (While watching,
// A and the right shoulder are held for speed.)
constexpr std::array<TPadKey, 3> kPausePad{
    {{TB::Start, kVkP}, {TB::B, kVkEscape}, {TB::Back, kVkEscape}}};

using F = TForm1;
using TBd = TScreenBackdrop;
using TCl = TScreenClose;

constexpr uint16_t kPageButtons = kMainMenuButtons | kHelpButtons;

}  // namespace

std::span<const TScreen> ScreenTable() {
  // The rows that differ only in their handlers share these parts.
  constexpr auto kMenuRow = [](uint32_t state, void (F::*draw)(TSurface&), void (F::*key)(uint16_t),
                               void (F::*escape)(), bool (F::*command)(), uint16_t buttons) {
    return TScreen{.State = state,
                   .Backdrop = TBd::Picture,
                   .Draw = draw,
                   .Key = key,
                   .Escape = escape,
                   .Click = &F::MenuClick,
                   .PadKeys = kMenuPad,
                   .PadMove = &F::PadArrows,
                   .Command = command,
                   .Buttons = buttons};
  };
  // A question over the frozen game: Yes/No (or OK/Cancel) chosen by keys,
  // clicks and the pad.
  constexpr auto kQuestionRow = [kMenuRow](uint32_t state, void (F::*draw)(TSurface&),
                                           void (F::*key)(uint16_t), void (F::*escape)(),
                                           bool (F::*command)(), TCl close, uint16_t buttons) {
    TScreen screen = kMenuRow(state, draw, key, escape, command, buttons);
    screen.Backdrop = TBd::Snapshot;
    screen.Close = close;
    return screen;
  };
  static constexpr std::array kScreens{
      TScreen{.State = gsIntro,
              .Backdrop = TBd::Picture,
              .Draw = &F::DrawIntro,
              .Click = &F::MenuClick,
              .PadPress = &F::PadIntro,
              .PadMove = &F::PadArrows,
              .Command = &F::IntroCommand,
              .Close = TCl::Refused,
              .Buttons = kMainMenuButtons},
      TScreen{.State = gsMainMenu,
              .Backdrop = TBd::Picture,
              .Draw = &F::DrawMainMenu,
              .Key = &F::MainMenuKey,
              .Escape = &F::Close,
              .Click = &F::MenuClick,
              .PadKeys = kMainMenuPad,
              .PadMove = &F::PadArrows,
              .Buttons = kMainMenuButtons},
      kMenuRow(gsOptions, &F::DrawOptions, &F::OptionsKey, &F::BackToMainMenu, &F::OptionsCommand,
               kMainMenuButtons | kOptionsButtons),
      TScreen{.State = gsKeyCapture,  // only a key can become the minimize key
              .Draw = &F::DrawKeyCapture,
              .Key = &F::KeyCaptureKey,
              .Click = &F::MenuClick,
              .PadPress = &F::PadKeyCapture},
      kMenuRow(gsExitConfirm, &F::DrawExitConfirm, &F::QuestionKey, &F::BackToMainMenu,
               &F::ExitCommand, kYesNoButtons),
      TScreen{.State = gsHighScores,
              .Backdrop = TBd::Picture,
              .Draw = &F::DrawHighScores,
              .Key = &F::HighScoresKey,
              .Escape = &F::BackToMainMenu,
              .Click = &F::TableClick,
              .PadKeys = kHighScoresPad,
              .PadMove = &F::PadArrows,
              .Command = &F::HighScoresCommand,
              .Buttons = kMainMenuButtons | kHighScoreButtons | kTableRows},
      kQuestionRow(gsClearScores, &F::DrawClearScores, &F::OkCancelKey, &F::BackToHighScores,
                   &F::ClearScoresCommand, TCl::Asks, kOkCancelButtons),
      kMenuRow(gsHelpStory, &F::DrawHelpPage, &F::HelpKey, &F::BackToMainMenu, &F::HelpCommand,
               kPageButtons),
      kMenuRow(gsHelpControls, &F::DrawHelpPage, &F::HelpKey, &F::BackToMainMenu, &F::HelpCommand,
               kPageButtons),
      kMenuRow(gsHelpEnemies, &F::DrawHelpPage, &F::HelpKey, &F::BackToMainMenu, &F::HelpCommand,
               kPageButtons),
      kMenuRow(gsAbout, &F::DrawAbout, &F::HelpKey, &F::BackToMainMenu, &F::HelpCommand,
               kPageButtons),
      TScreen{.State = gsPlaying,  // the ship reads the keys, mouse and pad itself
              .Backdrop = TBd::Game,
              .Draw = &F::RunGameFrame,
              .Key = &F::PlayingKey,
              .Escape = &F::AskQuit,
              .Wheel = &F::WheelWeapon,
              .PadKeys = kPlayingPad,
              .PadMove = &F::PadArrows,
              .Close = TCl::Refused},
      TScreen{.State = gsPaused,
              .Backdrop = TBd::Snapshot,
              .Draw = &F::DrawPaused,
              .Key = &F::PausedKey,
              .Escape = &F::Unpause,
              .Click = &F::MenuClick,
              .PadKeys = kPausePad,
              .PadMove = &F::PadArrows,
              .Close = TCl::Refused},
      kQuestionRow(gsQuitGame, &F::DrawQuitGame, &F::QuestionKey, &F::BackToGame,
                   &F::QuitGameCommand, TCl::Asks, kYesNoButtons),
      TScreen{.State = gsNameEntry,
              .Backdrop = TBd::Snapshot,
              .Draw = &F::DrawNameEntry,
              .Key = &F::NameEntryKey,
              .Escape = &F::BackToMainMenu,
              .Click = &F::MenuClick,
              .PadPress = &F::PadNameEntry,
              .PadMove = &F::PadNameMove,
              .Command = &F::NameEntryCommand,
              .Close = TCl::Refused,
              .Buttons = kOkCancelButtons},
      kQuestionRow(gsSubmitAsk, &F::DrawSubmitAsk, &F::QuestionKey, &F::BackToMainMenu,
                   &F::SubmitCommand, TCl::Refused, kYesNoButtons),
      TScreen{.State = gsSubmitting,  // the outcome is on its way
              .Backdrop = TBd::Snapshot,
              .Draw = &F::DrawSubmitting,
              .Click = &F::MenuClick,
              .Close = TCl::Refused},
      kQuestionRow(gsConnectFailed, &F::DrawConnectFailed, &F::QuestionKey, &F::BackToMainMenu,
                   &F::SubmitCommand, TCl::Asks, kYesNoButtons),
      kQuestionRow(gsUploadFailed, &F::DrawUploadFailed, &F::QuestionKey, &F::BackToMainMenu,
                   &F::SubmitCommand, TCl::Asks, kYesNoButtons),
      TScreen{.State = gsReplayFailed,  // any key or click closes the message
              .Backdrop = TBd::Snapshot,
              .Draw = &F::DrawReplayFailed,
              .Key = &F::AnyKeyToHighScores,
              .Escape = &F::BackToHighScores,
              .Click = &F::BackToHighScores,
              .PadKeys = kMenuPad,
              .PadMove = &F::PadArrows},
      TScreen{.State = gsWatching,
              .Backdrop = TBd::Replay,
              .Draw = &F::WatchFrame,
              .Key = &F::WatchKey,
              .Escape = &F::StopWatching,
              .Click = &F::MenuClick,
              .PadKeys = kPausePad,
              .PadMove = &F::PadArrows,
              .Close = TCl::EndsWatching},
  };
  return kScreens;
}

const TScreen& FindScreen(uint32_t state) {
  for (const TScreen& screen : ScreenTable()) {
    if (screen.State == state) return screen;
  }
  static constexpr TScreen kNothing{.State = ~0U};
  return kNothing;
}

std::vector<TScreenButton> ScreenButtons(const TScreen& screen) {
  namespace ml = menu_layout;
  std::vector<TScreenButton> buttons;
  auto add = [&](uint16_t group, const auto& rects) {
    if ((screen.Buttons & group) == 0) return;
    int index = 0;
    for (const TRect& rect : rects) buttons.push_back({group, index++, rect});
  };
  auto rectsOf = [](const auto& rows) {
    std::vector<TRect> rects;
    for (const TButtonSpec& button : rows) rects.push_back(button.Rect);
    return rects;
  };
  add(kMainMenuButtons, rectsOf(ml::kMainMenu));
  add(kHighScoreButtons, rectsOf(ml::kHighScoreButtons));
  add(kHelpButtons, rectsOf(ml::kHelpButtons));
  std::vector<TRect> options(ml::kOptionsRects.begin(), ml::kOptionsRects.end());
  options.push_back(ml::kKeyButtonRect);
  add(kOptionsButtons, options);
  add(kYesNoButtons, std::array{ml::kYesRect, ml::kNoRect});
  add(kOkCancelButtons, std::array{ml::kOkRect, ml::kCancelRect});
  std::vector<TRect> rows;
  for (int row = 0; row < kHiScoreCount; ++row) rows.push_back(screen_layout::HiScoreRow(row));
  add(kTableRows, rows);
  return buttons;
}
