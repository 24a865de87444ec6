// DoMenuCommand: carries out what the player chose on the current screen. It
// reads the Clicked flag and current item of the screen's own group first and,
// on screens that show the main menu beside them, the main menu after that.
// It never clears a Clicked flag; the next mouse press recomputes them all.
#include "game/GameTables.h"
#include "online/ReplayUpload.h"
#include "online/ResultSubmission.h"
#include "online/WebLinks.h"
#include "settings/HiScores.h"
#include "shell/Form.h"

namespace {

// Main-menu items, top to bottom.
enum : int8_t {
  kItemNewGame = 0,
  kItemOptions = 1,
  kItemHighScores = 2,
  kItemHelp = 3,
  kItemHomePage = 4,
  kItemExit = 5,
};

// Options cursor positions.
enum : int8_t {
  kCursorWindowed = 0,
  kCursorFullScreen = 1,
  kCursorMusicOn = 2,
  kCursorMusicOff = 3,
  kCursorSoundOn = 4,
  kCursorSoundOff = 5,
  kCursorName = 6,
  kCursorKey = 7,
};

bool ShowsMainMenu(uint32_t state) {
  switch (state) {
    case gsMainMenu:
    case gsOptions:
    case gsHighScores:
    case gsHelpStory:
    case gsHelpControls:
    case gsHelpEnemies:
    case gsAbout:
      return true;
    default:
      return false;
  }
}

}  // namespace

void TForm1::OpenUrl(const std::string& url) {
  Sys.ShellOpen(url);
}

void TForm1::DoMenuCommand() {
  if (!Widgets) return;
  TMenuWidgets& w = *Widgets;
  auto menuSound = [this] { Sound.PlaySoundAt(State.MouseX, State.MouseY, sndCheckMenu); };

  switch (State.GameState) {
    case gsIntro:
      State.GameState = gsMainMenu;
      return;

    case gsOptions: {
      TDDOptBtnCollection& options = *w.OptionsGroup;
      if (!options.Clicked) break;
      switch (options.Cursor) {
        case kCursorWindowed:
          SetWindowed(true);
          break;
        case kCursorFullScreen:
          SetWindowed(false);
          break;
        case kCursorMusicOn:
          options.MusicToggle.Checked = true;
          State.Settings.MusicOn = true;
          Music.PlayMusic("1.xm");
          break;
        case kCursorMusicOff:
          options.MusicToggle.Checked = false;
          State.Settings.MusicOn = false;
          Music.StopMusic();
          break;
        case kCursorSoundOn:
          options.SoundToggle.Checked = true;
          SetSoundOn(true);
          break;
        case kCursorSoundOff:
          options.SoundToggle.Checked = false;
          SetSoundOn(false);
          break;
        case kCursorName:
          options.NameEdit.Editing = !options.NameEdit.Editing;
          break;
        case kCursorKey:
          State.GameState = gsKeyCapture;
          options.KeyButton.Caption = "...";
          break;
        default:
          break;
      }
      menuSound();
      return;
    }

    case gsHighScores:
      if (!w.HighScoreButtons->Clicked) break;
      if (w.HighScoreButtons->Current == 0) {
        State.GameState = gsClearScores;
        FreezeSnapshot(false);
      } else {
        OpenUrl(WorldScoresUrl());
      }
      menuSound();
      return;

    case gsHelpStory:
    case gsHelpControls:
    case gsHelpEnemies:
    case gsAbout: {
      if (!w.HelpButtons->Clicked) break;
      const bool next = w.HelpButtons->Current != 0;
      // The help pages in order; the first page has no "back", the last no "next".
      static constexpr uint32_t kPages[] = {gsHelpStory, gsHelpControls, gsHelpEnemies, gsAbout};
      int page = 0;
      while (kPages[page] != State.GameState) ++page;
      const int target = next ? page + 1 : page - 1;
      if (target < 0 || target > 3) return;  // silent button
      State.GameState = kPages[target];
      menuSound();
      return;
    }

    case gsExitConfirm:
      if (!w.YesNoGroup->Clicked) break;
      if (w.YesNoGroup->FirstSelected) {
        State.ExitConfirmed = true;
        // Save while the name field still exists, then let the close through.
        SaveSettings();
        Close();
      } else {
        State.GameState = gsMainMenu;
        State.ExitConfirmed = false;
      }
      menuSound();
      return;

    case gsClearScores:
      if (!w.OkCancelGroup->Clicked) break;
      if (w.OkCancelGroup->FirstSelected) {
        ResetHiScores(State.HiScores);
        UnlinkReplays();
      }
      State.GameState = gsHighScores;
      menuSound();
      return;

    case gsNameEntry:
      if (!w.OkCancelGroup->Clicked) break;
      if (w.OkCancelGroup->FirstSelected) {
        const int32_t score = State.CurrentGame ? State.CurrentGame->Score : 0;
        InsertResult(State.HiScores, w.NameField->Text, score);
        SaveSettings();  // a failed save is reported on stderr; the flow goes on
        LinkReplayToTable(w.NameField->Text, score);
        State.GameState = gsSubmitAsk;
      } else {
        State.GameState = gsMainMenu;
      }
      menuSound();
      return;

    case gsSubmitAsk:
    case gsConnectFailed:
    case gsUploadFailed: {
      if (!w.YesNoGroup->Clicked) break;
      const bool send = w.YesNoGroup->FirstSelected;
      const bool retryUpload = State.GameState == gsUploadFailed;
      // "Please wait..." is on screen at once.
      State.GameState = gsSubmitting;
      State.LastFrameTick = Sys.TickCount() - 10;
      RenderFrame();
      if (send && retryUpload && retryUpload_) {
        // The result is in; only its replay goes again.
        submission_ = std::move(retryUpload_);
        submission_->RetryFailedStep();
        return;
      }
      retryUpload_.reset();
      if (send) {
        // The requests run on their own thread; the loop keeps drawing this
        // screen and shows the outcome, with the menu sound, when they end.
        const int32_t score = State.CurrentGame ? State.CurrentGame->Score : 0;
        submission_ = std::make_unique<TResultSubmission>(Sys, w.NameField->Text, score,
                                                          State.Settings.PlayerName);
        // The replay of the game the result is from goes after it.
        if (lastReplay_.FrameCount() > 0) {
          const std::vector<uint8_t> bytes = EncodeReplay(lastReplay_);
          submission_->Then(ReplayUploadStep(std::string(bytes.begin(), bytes.end())));
        }
        submission_->Start();
        return;
      }
      State.GameState = gsHighScores;
      menuSound();
      return;
    }

    case gsQuitGame:
      if (!w.YesNoGroup->Clicked) break;
      // The session ends at its next frame.
      if (w.YesNoGroup->FirstSelected) QuitGame();
      State.GameState = gsPlaying;
      Sys.ShowCursor(false);
      menuSound();
      return;

    default:
      break;
  }

  if (!ShowsMainMenu(State.GameState) || !w.MainMenuGroup->Clicked) return;
  switch (w.MainMenuGroup->Current) {
    case kItemNewGame:
      if (State.Settings.MusicOn) Music.PlayMusic("2.xm");
      State.GameState = gsPlaying;
      StartNewGame();
      return;  // no menu sound
    case kItemOptions:
      State.GameState = gsOptions;
      break;
    case kItemHighScores:
      State.GameState = gsHighScores;
      break;
    case kItemHelp:
      State.GameState = gsHelpStory;
      break;
    case kItemHomePage:
      OpenUrl(HomePageUrl());
      break;
    case kItemExit:
      State.GameState = gsExitConfirm;
      FreezeSnapshot(false);
      break;
    default:
      return;
  }
  menuSound();
}
