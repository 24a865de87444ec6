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
#include "shell/Form.h"
#include "support/FakePlatform.h"

namespace {

class TShotSession {
 public:
  explicit TShotSession(std::string outDir)
      : outDir_(std::move(outDir)),
        configDir_(std::filesystem::temp_directory_path() /
                   ("tl_shots_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(configDir_);
    TFormPaths paths;
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

  TForm1& Form() { return *form_; }
  TShellState& State() { return state_; }

  // Composes a frame of `gameState` and writes it as <name>.png.
  void Shot(uint32_t gameState, const std::string& name) {
    state_.GameState = gameState;
    Frame();
    const auto path = std::filesystem::path(outDir_) / (name + ".png");
    if (WritePng(*form_->Display.BackBuffer, path.string())) {
      std::cout << path.string() << '\n';
    } else {
      std::cerr << "shots: cannot write " << path.string() << '\n';
      ++failures_;
    }
  }
  void Frame() {
    sys_.Advance(16);
    form_->RenderFrame();
  }
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

int WriteShellShots(const std::string& outDir) {
  std::filesystem::create_directories(outDir);
  TShotSession session(outDir);
  TShellState& state = session.State();
  TForm1& form = session.Form();

  for (uint32_t offset : {60u, 240u, 420u, 522u}) {
    state.IntroOffset = offset;
    session.Shot(gsIntro, "intro_" + std::to_string(offset));
  }
  session.Shot(gsMainMenu, "main_menu");
  session.Shot(gsOptions, "options");
  form.Widgets->OptionsGroup->Cursor = TDDOptBtnCollection::kCursorKey;
  session.Shot(gsOptions, "options_key_focused");
  form.Widgets->OptionsGroup->KeyButton.Caption = "...";
  session.Shot(gsKeyCapture, "key_capture");
  form.Widgets->OptionsGroup->KeyButton.Caption = "F12";
  form.Widgets->OptionsGroup->Cursor = 0;
  session.Shot(gsHighScores, "high_scores");
  session.Shot(gsHelpStory, "help_1_story");
  session.Shot(gsHelpControls, "help_2_controls");
  session.Shot(gsHelpEnemies, "help_3_enemies");
  session.Shot(gsAbout, "help_4_about");
  session.Shot(gsExitConfirm, "exit_confirm");

  // The in-game dialogs sit on a frozen game picture.
  form.StartNewGame();
  state.GameState = gsPlaying;
  for (int i = 0; i < 40; ++i) session.Frame();
  form.FreezeSnapshot(true);
  session.Shot(gsPaused, "pause");
  form.FreezeSnapshot(false);
  session.Shot(gsQuitGame, "quit_game");
  state.CurrentGame->Score = 1250;
  for (char letter : {'J', 'O', 'H', 'N'}) form.Widgets->NameField->KeyInput(letter);
  session.Shot(gsNameEntry, "name_entry");
  session.Shot(gsSubmitAsk, "submit_ask");
  session.Shot(gsConnectFailed, "connect_failed");
  session.Shot(gsSubmitting, "please_wait");
  // Clearing the table is asked over the high-score screen.
  session.Shot(gsHighScores, "high_scores_again");
  form.FreezeSnapshot(false);
  session.Shot(gsClearScores, "clear_scores");
  return session.Failures();
}
