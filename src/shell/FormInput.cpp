// Keys, mouse and wheel: each goes to the handler the current screen's row
// names; the menus' own keys are here (the questions' in FormDialogs.cpp, the
// game's in FormGame.cpp).
#include <cstdint>
#include <optional>
#include <string>

#include "shell/Form.h"
#include "shell/KeyName.h"
#include "shell/MenuKeys.h"
#include "shell/VirtualKeys.h"

namespace {

// The Alt stall: the keyboard is released around a mode switch so the Enter
// that triggered it is not seen again by the new display.
constexpr uint32_t kAltSleepMs = 150;

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
  const TScreen& screen = Screen();
  if (key == kVkEscape && screen.Escape) {
    (this->*screen.Escape)();
  } else if (screen.Key) {
    (this->*screen.Key)(key);
  }
}

void TForm1::Confirm(bool& clicked) {
  clicked = true;
  DoMenuCommand();
}

void TForm1::PageKeys(TDDBtnCollection& group, uint16_t key) {
  if (key == kVkUp || key == kVkLeft) {
    group.SelectPrev();
  } else if (key == kVkDown || key == kVkRight) {
    group.SelectNext();
  } else if (IsConfirm(key)) {
    Confirm(group.Clicked);
  }
}

// --- the menus' keys ---------------------------------------------------------------

void TForm1::MainMenuKey(uint16_t key) {
  PageKeys(*Widgets->MainMenuGroup, key);
}

void TForm1::OptionsKey(uint16_t key) {
  TDDOptBtnCollection& options = *Widgets->OptionsGroup;
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
  }
}

void TForm1::KeyCaptureKey(uint16_t key) {
  if (const std::optional<std::string> name = KeyName(key)) {
    GoTo(gsOptions);
    State.Settings.MinimizeKey = key;
    Widgets->OptionsGroup->KeyButton.Caption = *name;
  }
}

void TForm1::HighScoresKey(uint16_t key) {
  if (TableReplayKey(key)) return;
  PageKeys(*Widgets->HighScoreButtons, key);
}

void TForm1::HelpKey(uint16_t key) {
  PageKeys(*Widgets->HelpButtons, key);
}

// --- the mouse ---------------------------------------------------------------------

void TForm1::FormMouseMove(int32_t x, int32_t y) {
  State.MouseActive = kTrue32;
  if (DisplayReady == kFalse32) return;
  if (Widgets) Widgets->OptionsGroup->MouseHover = true;
  State.MouseX = x;
  State.MouseY = y;
}

void TForm1::FormMouseDown(int32_t, int32_t) {
  if (!Widgets) return;
  if (const auto click = Screen().Click) (this->*click)();
}

void TForm1::MenuClick() {
  // Every group's Clicked is recomputed on each press, whatever screen shows.
  Widgets->MainMenuGroup->CheckClick();
  Widgets->HighScoreButtons->CheckClick();
  Widgets->HelpButtons->CheckClick();
  Widgets->OptionsGroup->CheckClick();
  Widgets->YesNoGroup->CheckClick();
  Widgets->OkCancelGroup->CheckClick();
  DoMenuCommand();
}

void TForm1::TableClick() {
  if (!TableReplayClick(State.MouseX, State.MouseY)) MenuClick();
}

void TForm1::FormMouseWheelUp() {
  if (const auto wheel = Screen().Wheel) (this->*wheel)();
}

void TForm1::FormMouseWheelDown() {
  FormMouseWheelUp();
}
