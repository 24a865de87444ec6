#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "assets/PackSlots.h"
#include "audio/MusicPlayer.h"
#include "audio/SoundEffects.h"
#include "game/FrameInput.h"
#include "game/GameHost.h"
#include "graphics/Display.h"
#include "graphics/Fonts.h"
#include "graphics/ImageSlots.h"
#include "online/ResultSubmission.h"
#include "platform/Platform.h"
#include "platform/Random.h"
#include "replay/ReplayRecorder.h"
#include "replay/ReplayStore.h"
#include "settings/ConfigFile.h"
#include "shell/MenuBackdrop.h"
#include "shell/PadNavigator.h"
#include "shell/ReplayViewer.h"
#include "shell/ScreenLayout.h"
#include "shell/Screens.h"
#include "shell/ShellState.h"
#include "widgets/MenuWidgets.h"
#include "widgets/WidgetContext.h"

// Where the form finds its files (relative to the current folder by default).
struct TFormPaths {
  std::string PackPath = kPackRelativePath;
  // The pack of the player's language (Data/<code>/Data.pp); empty: English only.
  std::string LanguagePackPath;
  std::string ConfigPath = "Config.cfg";
};

// The main form: start-up, the frame loop, the reaction to the foreground
// changing, the display mode, the close request, and every screen. It owns the
// display, the image slots and the menu widgets; the shared state, the fonts
// and the sound and music services are handed in and must outlive it.
//
// Life: construct, Create() (loads settings and images, starts input and
// music; throws std::runtime_error with a clear message when the display or
// the image pack fails), Run() until the exit question is answered Yes, then
// destroy (FormDestroy).
//
// Its face is narrow: events go in (Run and RunOnce pump the platform's,
// HandleEvent takes one), frames come out through the platform's present and
// settings through "Config.cfg"; the shared state it was handed holds the
// screen, the settings and the high scores.
class TForm1 final : public IGameHost {
 public:
  // `windowedThisRun`: the display mode of this run only (--windowed,
  // --fullscreen); saves keep the file's mode until the player switches.
  TForm1(Platform& sys, TShellState& state, TFonts& fonts, ISoundEffects& sound, IMusic& music,
         TFormPaths paths = {}, std::optional<bool> windowedThisRun = std::nullopt);
  ~TForm1() override;
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // The form's creation: the first FormCreate pass.
  void Create() { FormCreate(); }
  // Pumps events and composes frames until the form closes. Sleeps until the
  // next tick step between passes and composes nothing while minimized.
  void Run();
  // One pass of the loop: the pending events, then a frame unless minimized.
  void RunOnce();
  bool Closed() const { return closing_; }
  // Dispatches one platform notification to its handler; a screen it asks
  // for shows from then on.
  void HandleEvent(const TPlatformEvent& event);
  // Whether the window may be resized now.
  bool FormCanResize() const;
  // Plays `replay` in the window (ReplayViewer.*) from the current screen.
  // When it ends (or Esc ends it) the form goes back to that screen, or with
  // `closeAfter` closes, as for a replay named on the command line.
  void WatchReplay(TReplay replay, bool closeAfter) {
    StartWatching(std::move(replay), closeAfter);
    CommitScreen();
  }
  // The replay being watched, or the one watched last.
  const TReplayViewer* Viewer() const { return viewer_.get(); }

 private:
  // Tests read the widgets and simulate a lost surface through this helper
  // (tests/shell/FormProbe.h); nothing else reaches the storage below.
  friend struct TFormProbe;
  // The table of screens names the handlers below.
  friend std::span<const TScreen> ScreenTable();

  void HandleOneEvent(const TPlatformEvent& event);

  // --- life ---------------------------------------------------------------------
  // First pass (FirstCreate): seed, desktop size, settings load and apply,
  // input, menu music. Every later pass rebuilds the display and reloads images.
  void FormCreate();
  void FirstCreatePass();
  void SecondCreatePass();
  void ApplySettings();
  // Releases images, widgets, the game, the surfaces and the keyboard. Safe to
  // call twice.
  void FormDestroy();
  void SetUpInput();
  void SetWindowed(bool value);
  void SetSoundOn(bool value) { State.Settings.SoundOn = value; }
  // Reads the keyboard; composes and presents a frame when more than 5 ms passed
  // since the last one. Returns 0, or 1 when a surface restore must be retried.
  int32_t RenderFrame();
  int32_t RestoreSurfaces();
  void ApplicationEvents1Activate();
  void ApplicationEvents1Deactivate();
  void ApplicationEvents1Restore();
  // Whether the form may close now; otherwise the exit question (or nothing).
  bool FormCloseQuery();
  // Maximize button and a double click on the caption switch to full screen.
  void FormMaximizeRequest() { SetWindowed(false); }

  // --- input: dispatched to the current screen's row (Screens.cpp) ------------------
  void FormKeyDown(uint16_t key, bool alt);
  void FormMouseMove(int32_t x, int32_t y);
  void FormMouseDown(int32_t x, int32_t y);
  void FormMouseWheelUp();
  void FormMouseWheelDown();
  // What a key does on the current screen (after the Alt and minimize keys).
  void ScreenKey(uint16_t key);
  // Gamepad buttons, axes and hot-plug (FormPad.cpp): the screen's moves and
  // choices (the ship reads the pad itself each frame).
  void FormPadEvent(const TPlatformEvent& event);
  // Repeats a held pad direction like a held arrow key; once per loop pass.
  void PadRepeat();
  void PadDirection(TPadDirection direction);
  void PadButton(TPadButton button);
  // Carries out what the player chose on the current screen: its own group
  // first and, on screens that show the main menu beside them, the main menu.
  // It never clears a Clicked flag; the next mouse press recomputes them all.
  void DoMenuCommand();
  // Once the submission's requests have ended: its screen and the menu sound.
  void PollSubmission();
  void OpenUrl(const std::string& url);

  // --- the screens -------------------------------------------------------------------
  // The row of the screen showing.
  const TScreen& Screen() const { return FindScreen(State.GameState); }
  // Asks for screen `state`. Handlers never switch the screen under
  // themselves: the last screen asked for takes effect in CommitScreen, once
  // the event, the pad repeat, the submission's end or the frame that asked
  // has been handled.
  void GoTo(uint32_t state) { requestedScreen_ = state; }
  void CommitScreen();
  // The screen after the current handling: the one asked for, else this one.
  uint32_t NextScreen() const {
    return requestedScreen_ == kNoScreenRequest ? State.GameState : requestedScreen_;
  }
  // "Confirm G": the group counts as clicked and the menu command acts on it.
  void Confirm(bool& clicked);
  // Up/Left and Down/Right move along `group`, Enter and Space choose.
  void PageKeys(TDDBtnCollection& group, uint16_t key);

  // The rows' handlers, by kind (the table says which screen has which).
  // Drawing (FormScreens.cpp):
  void DrawIntro(TSurface& back);
  void DrawMainMenu(TSurface& back);
  void DrawOptions(TSurface& back);
  void DrawKeyCapture(TSurface& back);
  void DrawHighScores(TSurface& back);
  void DrawHelpPage(TSurface& back);
  void DrawAbout(TSurface& back);
  void DrawExitConfirm(TSurface& back);
  void DrawClearScores(TSurface& back);
  void DrawPaused(TSurface& back);
  void DrawNameEntry(TSurface& back);
  void DrawSubmitAsk(TSurface& back);
  void DrawQuitGame(TSurface& back);
  void DrawConnectFailed(TSurface& back);
  void DrawReplayFailed(TSurface& back);
  void DrawUploadFailed(TSurface& back);
  void DrawSubmitting(TSurface& back);
  // Keys of the menus (FormInput.cpp), of the questions (FormDialogs.cpp), of
  // the game (FormGame.cpp):
  void MainMenuKey(uint16_t key);
  void OptionsKey(uint16_t key);
  void KeyCaptureKey(uint16_t key);
  void HighScoresKey(uint16_t key);
  void HelpKey(uint16_t key);
  void QuestionKey(uint16_t key);  // Yes/No; N answers like Esc
  void OkCancelKey(uint16_t key);
  void NameEntryKey(uint16_t key);
  void AnyKeyToHighScores(uint16_t key);
  void PlayingKey(uint16_t key);
  void PausedKey(uint16_t key);
  // Esc, and where the screen says so a click or the pad's B:
  void BackToMainMenu() { GoTo(gsMainMenu); }
  void BackToHighScores() { GoTo(gsHighScores); }
  void AskQuit();  // in play only: the quit question over the frozen game
  void Unpause() { GoTo(gsPlaying); }
  void BackToGame();  // from the quit question: the game and its hidden pointer
  // Mouse presses and the wheel:
  void MenuClick();   // every group recomputes Clicked, then the command
  void TableClick();  // a row with a replay plays it; elsewhere as MenuClick
  void WheelWeapon();
  // Pad buttons and moves (FormPad.cpp):
  void PadArrows(TPadDirection direction);
  void PadIntro(TPadButton button);
  void PadKeyCapture(TPadButton button);
  void PadNameEntry(TPadButton button);
  void PadNameMove(TPadDirection direction);
  // The screens' own commands (MenuCommands.cpp, FormDialogs.cpp): whether
  // their group was chosen.
  bool IntroCommand();
  bool OptionsCommand();
  bool HighScoresCommand();
  bool HelpCommand();
  bool ExitCommand();
  bool ClearScoresCommand();
  bool NameEntryCommand();
  bool SubmitCommand();
  bool QuitGameCommand();
  void MainMenuCommand();

  // The game's commands between frames (FormGame.cpp): they reach the
  // session with the next frame's input, so a replay holds them.
  void NextWeapon();
  void QuitGame();

  // --- helpers for the handlers -----------------------------------------------------
  // Asks the form to close: FormCloseQuery, and when it allows, the loop ends
  // after the current pass.
  void Close();
  // Minimizes the application (the minimize key).
  void MinimizeApp() { Sys.Minimize(); }
  // Copies the back buffer onto the snapshot surface; with `stripes`, lays the
  // pause line image over every second row.
  void FreezeSnapshot(bool stripes);
  // A new session in CurrentGame with a fresh seed; the old one is released
  // only after the new one exists.
  void StartNewGame();
  // One frame of the session: the devices and the queued commands as its
  // input, drawn into `back`, and recorded.
  void RunGameFrame(TSurface& back);
  // At the game's end: the recording written to the replays folder.
  void FinishRecording();
  // After a name entry put the last game in the table (row of `name` and
  // `score`): its replay is linked to that row and carries the name.
  void LinkReplayToTable(const std::string& name, int32_t score);
  // After the table was cleared: no row has a replay any more.
  void UnlinkReplays();
  // replays/ beside Config.cfg.
  TReplayStore Replays() const;
  // Copies the name field of the options into PlayerName and writes "Config.cfg".
  bool SaveSettings();
  // Reloads every image; creates the widgets on the first call.
  void LoadAllImages();

  // --- watching a replay (FormWatch.cpp) ----------------------------------------------
  void StartWatching(TReplay replay, bool closeAfter);
  void WatchFrame(TSurface& back);
  void WatchKey(uint16_t key);
  // Ends the watching: back where it started, or the form closes.
  void StopWatching();
  // The high-score table's replays (FormTableReplays.cpp): the index, read
  // again when it is a second old; the marks; a key, a click and a row.
  const TReplayStore::TIndex& TableReplays();
  void DrawReplayMarks(TSurface& back);
  bool TableReplayKey(uint16_t key);
  bool TableReplayClick(int32_t x, int32_t y);
  void WatchTableRow(size_t row);

  // --- drawing (FormScreens.cpp) ------------------------------------------------------
  // Draws the current screen into `back`.
  void ComposeScreen(TSurface& back);
  // Opaque background blit; a failure restores the surfaces and the frame goes on.
  void DrawBackground(TSurface& back, const TSurface* background, bool restoreOnFailure);
  // Whether the current screen writes the whole (usable) back buffer: an
  // opaque picture first, or a game frame that covers it.
  bool ScreenCoversFrame() const;
  // The menu background, the image in `middleSlot` (none: -1) at `middleAt`
  // and the title; a failed background restores the surfaces.
  void DrawBackdrop(TSurface& back, int middleSlot, TPoint middleAt);
  void DrawMenuFrame(TSurface& back, int panelSlot);
  void DrawMarker(TSurface& back, int slot, const screen_layout::TMarker& marker);
  void DrawDialogFrame(TSurface& back, const TSurface* background, TPoint box,
                       bool restoreOnFailure);
  const TSurface* Menu(int slot) const { return Images.MenuImages[slot].get(); }
  const TSurface* Sprite(int slot) const { return Images.SpriteImages[slot].get(); }

  // --- IGameHost --------------------------------------------------------------------
  void SetGameState(uint32_t state) override { GoTo(state); }
  void ShowCursor(bool show) override { Sys.ShowCursor(show); }
  void Rumble(uint16_t strength, uint32_t ms) override { Sys.RumblePad(strength, ms); }
  bool MusicOn() const override { return State.Settings.MusicOn; }
  bool ScoreQualifies(int32_t score) const override;
  void SetMainMenuCurrent(int32_t item) override;

  // --- what the form holds ------------------------------------------------------------
  static constexpr uint32_t kNoScreenRequest = ~0U;
  // The screen asked for during the current handling (GoTo); the main menu
  // group asks through it as well.
  uint32_t requestedScreen_ = kNoScreenRequest;
  Platform& Sys;
  TShellState& State;
  TFonts& Fonts;
  ISoundEffects& Sound;
  IMusic& Music;
  TFormPaths Paths;
  // The display mode of this run only, when the command line chose one.
  const std::optional<bool> WindowedThisRun;
  TConfigFile Config;
  TRandom Rng;
  TDisplay Display;
  TImageSlots Images;
  TMenuBackdrop Backdrop;  // composed from Images; forgotten whenever they change
  TWidgetContext WidgetContext;
  std::unique_ptr<TMenuWidgets> Widgets;  // created by the first image load
  TGameContext GameContext;
  // Commands for the session's next frame.
  TFrameInput pendingInput_;
  // The running game's recording; the last game's replay and its file name
  // ("" when it could not be written).
  std::unique_ptr<TReplayRecorder> recorder_;
  TReplay lastReplay_;
  std::string lastReplayName_;

  // A 32-bit boolean (0 or -1): false while the display is rebuilt or the
  // application is in the background.
  int32_t DisplayReady = kFalse32;
  bool minimized_ = false;  // no frames are composed while minimized
  bool closing_ = false;    // a close request went through; the loop ends
  bool destroyed_ = false;
  std::vector<TPlatformEvent> events_;
  TPadNavigator padNavigator_;
  // The result being sent while "Please wait..." (then "Verifying…") shows.
  std::unique_ptr<TResultSubmission> submission_;
  // A submission whose replay upload failed, kept for the retry question.
  std::unique_ptr<TResultSubmission> retryUpload_;
  // The replay being watched (or watched last), the screen to return to and
  // whether the form closes instead.
  std::unique_ptr<TReplayViewer> viewer_;
  uint32_t watchReturn_ = gsHighScores;
  bool closeAfterWatch_ = false;
  uint32_t lastWatchTick_ = 0;
  // The table's replay links as last read, and the row picked by the keys.
  TReplayStore::TIndex tableReplays_;
  uint32_t tableReplaysTick_ = 0;
  bool tableReplaysRead_ = false;
  int32_t tableReplayRow_ = -1;
  // The saved display mode while WindowedThisRun overrides it.
  std::optional<bool> savedWindowedMode_;
};
