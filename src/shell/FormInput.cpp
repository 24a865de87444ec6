// Key, mouse and wheel handlers of the main form: every screen is driven by
// these events; during play they only pause, quit or change the weapon (the
// ship itself reads the keyboard snapshot and the mouse device every frame).
#include <cstdint>
#include <optional>
#include <string>

#include "game/GameTables.h"
#include "shell/Form.h"
#include "shell/KeyName.h"
#include "shell/VirtualKeys.h"

namespace {

// The Alt stall: the keyboard is released around a mode switch so the Enter
// that triggered it is not seen again by the new display.
constexpr uint32_t kAltSleepMs = 150;

bool IsLetter(uint16_t key) {
  return key >= kVkA && key <= kVkZ;
}
bool IsConfirm(uint16_t key) {
  return key == kVkReturn || key == kVkSpace;
}

// Left and Right pick the first or second caption of a two-caption dialog.
bool ChooseCaption(TDDTextBtnCollection& group, uint16_t key) {
  if (key != kVkLeft && key != kVkRight) return false;
  group.Select(key == kVkLeft);
  return true;
}

}  // namespace

void TForm1::FormKeyDown(uint16_t key, bool alt) {
  if (alt) {
    Sys.UnacquireKeyboard();
    Sys.Sleep(kAltSleepMs);
    if (key == kVkReturn) SetWindowed(!State.Settings.WindowedMode);
    Sys.Sleep(kAltSleepMs);
    Sys.AcquireKeyboard();
    return;
  }
  State.MouseActive = kFalse32;
  if (key == State.Settings.MinimizeKey) {
    MinimizeApp();
    return;
  }
  ScreenKey(key);
}

void TForm1::ScreenKey(uint16_t key) {
  if (!Widgets) return;
  TMenuWidgets& w = *Widgets;

  // "Confirm G": the group counts as clicked and the menu command acts on it.
  auto confirm = [this](bool& clicked) {
    clicked = true;
    DoMenuCommand();
  };

  switch (State.GameState) {
    case gsMainMenu:
      if (key == kVkUp || key == kVkLeft) {
        w.MainMenuGroup->SelectPrev();
      } else if (key == kVkDown || key == kVkRight) {
        w.MainMenuGroup->SelectNext();
      } else if (IsConfirm(key)) {
        confirm(w.MainMenuGroup->Clicked);
      } else if (key == kVkEscape) {
        Close();
      }
      break;

    case gsPlaying: {
      const bool inPlay = State.CurrentGame && State.CurrentGame->Phase == phPlay;
      if (key == kVkP) {
        FreezeSnapshot(true);
        State.GameState = gsPaused;
      } else if (key == kVkSpace && inPlay) {
        NextWeapon();
      } else if (key == kVkEscape && inPlay) {
        State.GameState = gsQuitGame;
        Sys.ShowCursor(true);
        FreezeSnapshot(false);
      }
      break;
    }

    case gsPaused:
      if (key == kVkP || key == kVkEscape) State.GameState = gsPlaying;
      break;

    case gsWatching:
      WatchKey(key);
      break;

    case gsReplayFailed:  // any key closes the message
      State.GameState = gsHighScores;
      break;

    case gsOptions: {
      TDDOptBtnCollection& options = *w.OptionsGroup;
      const bool typing = options.NameEdit.Focused && options.NameEdit.Editing;
      if (key == kVkDown) {
        options.MoveDown();
      } else if (key == kVkRight && options.ChooseSide(true)) {
        DoMenuCommand();
      } else if (key == kVkLeft && options.ChooseSide(false)) {
        DoMenuCommand();
      } else if (key == kVkUp) {
        options.MoveUp();
      } else if (IsConfirm(key)) {
        options.Activate();
        DoMenuCommand();
      } else if (IsLetter(key) && typing) {
        options.NameEdit.KeyInput(static_cast<char>(key));
      } else if (key == kVkBack && typing) {
        options.NameEdit.KeyInput(TDDEdit::kBackspace);
      } else if (key == kVkEscape) {
        State.GameState = gsMainMenu;
      }
      break;
    }

    case gsHighScores:
    case gsHelpStory:
    case gsHelpControls:
    case gsHelpEnemies:
    case gsAbout: {
      if (State.GameState == gsHighScores && TableReplayKey(key)) break;
      TDDBtnCollection& group =
          State.GameState == gsHighScores ? *w.HighScoreButtons : *w.HelpButtons;
      if (key == kVkUp || key == kVkLeft) {
        group.SelectPrev();
      } else if (key == kVkDown || key == kVkRight) {
        group.SelectNext();
      } else if (IsConfirm(key)) {
        confirm(group.Clicked);
      } else if (key == kVkEscape) {
        State.GameState = gsMainMenu;
      }
      break;
    }

    case gsExitConfirm:
    case gsSubmitAsk:
    case gsConnectFailed:
    case gsUploadFailed:
    case gsQuitGame:
      if (ChooseCaption(*w.YesNoGroup, key)) break;
      if (IsConfirm(key) || key == kVkY) {
        // Y confirms whichever caption is highlighted, exactly like Enter.
        confirm(w.YesNoGroup->Clicked);
      } else if (key == kVkEscape || key == kVkN) {
        if (State.GameState == gsQuitGame) {
          State.GameState = gsPlaying;
          Sys.ShowCursor(false);
        } else {
          State.GameState = gsMainMenu;
        }
      }
      break;

    case gsClearScores:
      if (ChooseCaption(*w.OkCancelGroup, key)) break;
      if (IsConfirm(key)) {
        confirm(w.OkCancelGroup->Clicked);
      } else if (key == kVkEscape) {
        State.GameState = gsHighScores;
      }
      break;

    case gsKeyCapture: {
      if (const std::optional<std::string> name = KeyName(key)) {
        State.GameState = gsOptions;
        State.Settings.MinimizeKey = key;
        w.OptionsGroup->KeyButton.Caption = *name;
      }
      break;
    }

    case gsNameEntry:
      if (ChooseCaption(*w.OkCancelGroup, key)) break;
      if (IsLetter(key)) {
        w.NameField->KeyInput(static_cast<char>(key));
      } else if (key == kVkBack) {
        w.NameField->KeyInput(TDDEdit::kBackspace);
      } else if (IsConfirm(key)) {
        confirm(w.OkCancelGroup->Clicked);
      } else if (key == kVkEscape) {
        State.GameState = gsMainMenu;
      }
      break;

    default:  // gsIntro, gsSubmitting: keys do nothing
      break;
  }
}

void TForm1::FormMouseMove(int32_t x, int32_t y) {
  State.MouseActive = kTrue32;
  if (DisplayReady == kFalse32) return;
  if (Widgets) Widgets->OptionsGroup->MouseHover = true;
  State.MouseX = x;
  State.MouseY = y;
}

void TForm1::FormMouseDown(int32_t, int32_t) {
  // In play the ship reads the buttons from the mouse device; clicks never
  // reach the menus.
  if (State.GameState == gsPlaying || !Widgets) return;
  if (State.GameState == gsReplayFailed) {
    State.GameState = gsHighScores;
    return;
  }
  if (State.GameState == gsHighScores && TableReplayClick(State.MouseX, State.MouseY)) return;
  // Every group's Clicked is recomputed on each press, whatever screen shows.
  Widgets->MainMenuGroup->CheckClick();
  Widgets->HighScoreButtons->CheckClick();
  Widgets->HelpButtons->CheckClick();
  Widgets->OptionsGroup->CheckClick();
  Widgets->YesNoGroup->CheckClick();
  Widgets->OkCancelGroup->CheckClick();
  DoMenuCommand();
}

void TForm1::FormMouseWheelUp() {
  if (State.GameState == gsPlaying && State.CurrentGame && State.CurrentGame->Phase == phPlay) {
    NextWeapon();
  }
}

void TForm1::FormMouseWheelDown() {
  FormMouseWheelUp();
}
