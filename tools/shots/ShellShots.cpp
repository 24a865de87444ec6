#include "ShellShots.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "PngWriter.h"
#include "audio/MusicPlayer.h"
#include "audio/SoundEffects.h"
#include "game/Game.h"
#include "game/GameStates.h"
#include "graphics/Fonts.h"
#include "platform/Platform.h"
#include "shell/Form.h"
#include "support/FakePlatform.h"

namespace {

// Windows virtual-key codes the session presses.
constexpr uint16_t kVkReturn = 13, kVkEscape = 27, kVkUp = 38, kVkP = 80;

// A form on the fake platform, driven as a player drives it: events in,
// presented frames out. Only the shared state the form is handed (the screen,
// the intro position, the session's score) is set directly to reach a scene.
class TShotSession {
 public:
  TShotSession(std::string outDir, const std::string& packPath, const std::string& languagePackPath)
      : outDir_(std::move(outDir)),
        configDir_(std::filesystem::temp_directory_path() /
                   ("tl_shots_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(configDir_);
    TFormPaths paths;
    paths.PackPath = packPath;
    paths.LanguagePackPath = languagePackPath;
    paths.ConfigPath = (configDir_ / "Config.cfg").string();
    form_ = std::make_unique<TForm1>(sys_, state_, fonts_, sound_, music_, paths);
    form_->Create();
    state_.MouseActive = 0;  // the pointer rests outside every group
  }
  ~TShotSession() {
    form_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(configDir_, ignored);
  }

  TShellState& State() { return state_; }

  // Composes a frame of `gameState` and writes the presented frame as <name>.png.
  void Shot(uint32_t gameState, const std::string& name) {
    state_.GameState = gameState;
    Frame();
    const auto path = std::filesystem::path(outDir_) / (name + ".png");
    if (WritePng(sys_.LastFrame.data(), FakePlatform::kFrameWidth, FakePlatform::kFrameHeight,
                 path.string())) {
      std::cout << path.string() << '\n';
    } else {
      std::cerr << "shots: cannot write " << path.string() << '\n';
      ++failures_;
    }
  }
  // One pass of the form's loop: pending events, a frame.
  void Frame() { form_->RunOnce(); }
  // A key press, handled at once without a frame.
  void Key(uint16_t key) { form_->HandleEvent({.Kind = TEventKind::KeyDown, .Key = key}); }
  int Failures() const { return failures_; }

 private:
  std::string outDir_;
  std::filesystem::path configDir_;
  FakePlatform sys_;
  TShellState state_;
  TFonts fonts_;
  TSilentSoundEffects sound_;
  TSilentMusic music_;
  std::unique_ptr<TForm1> form_;
  int failures_ = 0;
};

}  // namespace

int WriteShellShots(const std::string& outDir, const std::string& packPath,
                    const std::string& languagePackPath) {
  std::filesystem::create_directories(outDir);
  TShotSession session(outDir, packPath, languagePackPath);
  TShellState& state = session.State();

  for (uint32_t offset : {60u, 240u, 420u, 522u}) {
    state.IntroOffset = offset;
    session.Shot(gsIntro, "intro_" + std::to_string(offset));
  }
  session.Shot(gsMainMenu, "main_menu");
  session.Shot(gsOptions, "options");
  session.Key(kVkUp);  // up from the first row wraps to the key button
  session.Shot(gsOptions, "options_key_focused");
  session.Key(kVkReturn);
  session.Shot(gsKeyCapture, "key_capture");
  session.Shot(gsHighScores, "high_scores");
  session.Shot(gsHelpStory, "help_1_story");
  session.Shot(gsHelpControls, "help_2_controls");
  session.Shot(gsHelpEnemies, "help_3_enemies");
  session.Shot(gsAbout, "help_4_about");
  session.Shot(gsExitConfirm, "exit_confirm");

  // The in-game dialogs sit on a frozen game picture.
  state.GameState = gsMainMenu;
  session.Key(kVkReturn);  // new game
  for (int i = 0; i < 40; ++i) session.Frame();
  session.Key(kVkP);
  session.Shot(gsPaused, "pause");
  session.Key(kVkP);
  for (int i = 0; i < 2000 && state.CurrentGame && state.CurrentGame->Phase != phPlay; ++i) {
    session.Frame();
  }
  session.Key(kVkEscape);  // the quit question over the game
  session.Shot(gsQuitGame, "quit_game");
  if (state.CurrentGame) state.CurrentGame->Score = 1250;
  state.GameState = gsNameEntry;
  for (char letter : {'J', 'O', 'H', 'N'}) session.Key(static_cast<uint16_t>(letter));
  session.Shot(gsNameEntry, "name_entry");
  session.Shot(gsSubmitAsk, "submit_ask");
  session.Shot(gsConnectFailed, "connect_failed");
  session.Shot(gsSubmitting, "please_wait");
  // Clearing the table is asked over the high-score screen.
  session.Shot(gsHighScores, "high_scores_again");
  session.Key(kVkReturn);  // the first button: clear the table
  session.Shot(gsClearScores, "clear_scores");
  return session.Failures();
}
