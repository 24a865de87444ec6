// What the menus' buttons do: the screen's own command (the table of screens
// names it), then the main menu beside it. The questions' commands are in
// FormDialogs.cpp.
#include "online/WebLinks.h"
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

}  // namespace

void TForm1::OpenUrl(const std::string& url) {
  Sys.ShellOpen(url);
}

void TForm1::DoMenuCommand() {
  if (!Widgets) return;
  const TScreen& screen = Screen();
  if (screen.Command && (this->*screen.Command)()) return;
  if ((screen.Buttons & kMainMenuButtons) != 0 && Widgets->MainMenuGroup->Clicked) {
    MainMenuCommand();
  }
}

bool TForm1::IntroCommand() {
  GoTo(gsMainMenu);
  return true;
}

bool TForm1::OptionsCommand() {
  TDDOptBtnCollection& options = *Widgets->OptionsGroup;
  if (!options.Clicked) return false;
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
      GoTo(gsKeyCapture);
      options.KeyButton.Caption = "...";
      break;
    default:
      break;
  }
  Sound.PlaySoundAt(State.MouseX, State.MouseY, sndCheckMenu);
  return true;
}

bool TForm1::HighScoresCommand() {
  TDDBtnCollection& buttons = *Widgets->HighScoreButtons;
  if (!buttons.Clicked) return false;
  if (buttons.Current == 0) {
    GoTo(gsClearScores);
    FreezeSnapshot(false);
  } else {
    OpenUrl(WorldScoresUrl());
  }
  Sound.PlaySoundAt(State.MouseX, State.MouseY, sndCheckMenu);
  return true;
}

bool TForm1::HelpCommand() {
  TDDBtnCollection& buttons = *Widgets->HelpButtons;
  if (!buttons.Clicked) return false;
  const bool next = buttons.Current != 0;
  // The help pages in order; the first page has no "back", the last no "next".
  static constexpr uint32_t kPages[] = {gsHelpStory, gsHelpControls, gsHelpEnemies, gsAbout};
  int page = 0;
  while (kPages[page] != State.GameState) ++page;
  const int target = next ? page + 1 : page - 1;
  if (target < 0 || target > 3) return true;  // silent button
  GoTo(kPages[target]);
  Sound.PlaySoundAt(State.MouseX, State.MouseY, sndCheckMenu);
  return true;
}

void TForm1::MainMenuCommand() {
  switch (Widgets->MainMenuGroup->Current) {
    case kItemNewGame:
      if (State.Settings.MusicOn) Music.PlayMusic("2.xm");
      GoTo(gsPlaying);
      StartNewGame();
      return;  // no menu sound
    case kItemOptions:
      GoTo(gsOptions);
      break;
    case kItemHighScores:
      GoTo(gsHighScores);
      break;
    case kItemHelp:
      GoTo(gsHelpStory);
      break;
    case kItemHomePage:
      OpenUrl(HomePageUrl());
      break;
    case kItemExit:
      GoTo(gsExitConfirm);
      FreezeSnapshot(false);
      break;
    default:
      return;
  }
  Sound.PlaySoundAt(State.MouseX, State.MouseY, sndCheckMenu);
}
