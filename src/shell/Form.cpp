#include "shell/Form.h"

#include <algorithm>
#include <cstdlib>
#include <future>
#include <iostream>
#include <stdexcept>

#include "game/Game.h"
#include "images/ImagePack.h"
#include "shell/KeyName.h"

namespace {

// The pause line image lies over every second row of the 600.
constexpr int32_t kFrameRows = kFrameHeight;
// A frame is composed only when more than this many ms passed since the last one.
constexpr uint32_t kMinFrameGapMs = 5;
// Wheel distance of one notch.
constexpr int32_t kWheelNotch = 120;

}  // namespace

TForm1::TForm1(Platform& sys, TShellState& state, TFonts& fonts, ISoundEffects& sound,
               IMusic& music, TFormPaths paths, std::optional<bool> windowedThisRun)
    : Sys(sys),
      State(state),
      Fonts(fonts),
      Sound(sound),
      Music(music),
      Paths(std::move(paths)),
      WindowedThisRun(windowedThisRun),
      Config(Paths.ConfigPath),
      WidgetContext{
          Images,           Fonts,     Sound, Sys, State.MouseX, State.MouseY, State.MouseActive,
          requestedScreen_, gsMainMenu},
      GameContext{Images, &Fonts, Sound, Music, *this, Display.SnapshotSurface} {}

TForm1::~TForm1() {
  FormDestroy();
}

// --- life ---------------------------------------------------------------------------

void TForm1::FormCreate() {
  if (State.FirstCreate) {
    FirstCreatePass();
  } else {
    SecondCreatePass();
  }
}

void TForm1::FirstCreatePass() {
  Rng.Seed(Sys.TickCount());
  State.FirstCreate = false;
  State.DesktopWidth = static_cast<uint16_t>(Sys.ScreenWidth());
  State.DesktopHeight = static_cast<uint16_t>(Sys.ScreenHeight());

  // A short or damaged file keeps the defaults for what is missing; the game
  // starts all the same and the file is rewritten at the next save.
  const TConfigLoadResult loaded = Config.Load(State.Settings, State.HiScores);
  if (!loaded.Error.empty()) {
    std::cerr << "Tidal Lynx: " << Config.Path() << ": " << loaded.Error << '\n';
  }
  if (WindowedThisRun) {
    savedWindowedMode_ = State.Settings.WindowedMode;
    State.Settings.WindowedMode = *WindowedThisRun;
  }
  ApplySettings();

  SetUpInput();
  if (State.Settings.MusicOn) {
    Music.PlayMusic("1.xm");
  } else {
    Music.StopMusic();
  }
}

void TForm1::ApplySettings() {
  SecondCreatePass();
  SetSoundOn(State.Settings.SoundOn);
  TDDOptBtnCollection& options = *Widgets->OptionsGroup;
  options.DisplayToggle.Checked = State.Settings.WindowedMode;
  options.MusicToggle.Checked = State.Settings.MusicOn;
  options.SoundToggle.Checked = State.Settings.SoundOn;
  options.NameEdit.SetText(State.Settings.PlayerName);
  options.KeyButton.Caption = KeyCaption(static_cast<uint16_t>(State.Settings.MinimizeKey));
}

namespace {

// The language's own pictures over the English ones; a damaged language pack
// is said once and the game goes on with English pictures.
void LoadLanguagePictures(TImageSlots& slots, const std::string& languagePackPath) {
  if (languagePackPath.empty()) return;
  const std::string problem = LoadLanguageImages(slots, languagePackPath);
  if (!problem.empty()) std::cerr << "Tidal Lynx: " << problem << "; English pictures shown\n";
}

}  // namespace

void TForm1::SecondCreatePass() {
  DisplayReady = kFalse32;
  // The pictures are read while the window is being made: neither has to
  // wait for the other. (A failed window still waits for the reader.)
  auto pictures = std::async(std::launch::async, [paths = Paths] {
    TImageSlots slots;
    ::LoadAllImages(slots, paths.PackPath);
    LoadLanguagePictures(slots, paths.LanguagePackPath);
    return slots;
  });
  if (!Display.SetUpDisplay(Sys, State.Settings.WindowedMode)) {
    const std::string& error = Display.LastError();
    throw std::runtime_error(error.empty() ? "The display could not be set up." : error);
  }
  try {
    Backdrop.Forget();
    Images = pictures.get();
    if (!Widgets) Widgets = std::make_unique<TMenuWidgets>(WidgetContext);
  } catch (const TPackError&) {
    // Loaded again in place: the error, and the slots it leaves, are those of
    // a direct load.
    LoadAllImages();
  }
  DisplayReady = kTrue32;
  // The window refuses a resize from the start rather than undoing one.
  Sys.SetWindowResizable(FormCanResize());
}

void TForm1::LoadAllImages() {
  Backdrop.Forget();
  ::LoadAllImages(Images, Paths.PackPath);
  LoadLanguagePictures(Images, Paths.LanguagePackPath);
  if (!Widgets) Widgets = std::make_unique<TMenuWidgets>(WidgetContext);
}

void TForm1::SetUpInput() {
  Sys.AcquireKeyboard();
}

void TForm1::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  submission_.reset();
  Backdrop.Forget();
  ReleaseAllImages(Images);
  Widgets.reset();
  State.CurrentGame.reset();
  viewer_.reset();
  Display.Release();
  Sys.UnacquireKeyboard();
}

void TForm1::Run() {
  while (!closing_) RunOnce();
}

void TForm1::RunOnce() {
  events_.clear();
  Sys.PollEvents(events_);
  for (const TPlatformEvent& event : events_) {
    HandleEvent(event);
    if (closing_) return;
  }
  PadRepeat();
  CommitScreen();
  if (closing_) return;
  PollSubmission();
  CommitScreen();
  // The idle pass: a frame, unless minimized.
  if (!minimized_) RenderFrame();
  // Never spin: wait for the clock's next step before the next pass.
  Sys.WaitForTickAfter(Sys.TickCount());
}

void TForm1::HandleEvent(const TPlatformEvent& event) {
  HandleOneEvent(event);
  CommitScreen();
}

void TForm1::CommitScreen() {
  if (requestedScreen_ == kNoScreenRequest) return;
  State.GameState = requestedScreen_;
  requestedScreen_ = kNoScreenRequest;
}

void TForm1::HandleOneEvent(const TPlatformEvent& event) {
  switch (event.Kind) {
    case TEventKind::Activate:
      ApplicationEvents1Activate();
      break;
    case TEventKind::Deactivate:
      ApplicationEvents1Deactivate();
      break;
    case TEventKind::Minimize:
      minimized_ = true;
      break;
    case TEventKind::Restore:
      minimized_ = false;
      ApplicationEvents1Restore();
      break;
    case TEventKind::CloseRequest:
      Close();
      break;
    case TEventKind::MaximizeRequest:
    case TEventKind::CaptionDoubleClick:
      FormMaximizeRequest();
      break;
    case TEventKind::KeyDown:
      FormKeyDown(event.Key, event.Alt);
      break;
    case TEventKind::MouseMove:
      FormMouseMove(event.X, event.Y);
      break;
    case TEventKind::MouseDown:
      FormMouseDown(event.X, event.Y);
      break;
    case TEventKind::MouseWheel: {
      if (event.WheelDelta == 0) break;
      // One change per notch; a fine-grained wheel's part notch counts as one.
      const int32_t notches = std::max(1, std::abs(event.WheelDelta / kWheelNotch));
      for (int32_t i = 0; i < notches; ++i) {
        event.WheelDelta > 0 ? FormMouseWheelUp() : FormMouseWheelDown();
      }
      break;
    }
    case TEventKind::WindowMoved:
      // The platform presents into the window's client area wherever it is.
      break;
    case TEventKind::PadAdded:
    case TEventKind::PadRemoved:
    case TEventKind::PadButtonDown:
    case TEventKind::PadButtonUp:
    case TEventKind::PadAxisMotion:
      FormPadEvent(event);
      break;
  }
}

// --- the frame ------------------------------------------------------------------------

int32_t TForm1::RenderFrame() {
  State.FrameStartTick = Sys.TickCount();
  State.KeyboardState.fill(0);
  Sys.ReadKeyboard(State.KeyboardState);
  // Unsigned difference: the 49.7-day wrap of the tick does not stop the loop.
  if (static_cast<uint32_t>(State.FrameStartTick - State.LastFrameTick) <= kMinFrameGapMs) {
    return 0;
  }
  int32_t result = 0;
  // A screen that writes every pixel (a whole-frame opaque picture first, or
  // a game frame that covers the sea and panels): clearing would be undone.
  if (!ScreenCoversFrame() && Display.ClearBackBuffer() != kDdOk) result = RestoreSurfaces();
  if (Display.BackBuffer) ComposeScreen(*Display.BackBuffer);
  CommitScreen();
  Display.PresentFrame(Sys);
  State.LastFrameTick = Sys.TickCount();
  return result;
}

int32_t TForm1::RestoreSurfaces() {
  return Display.RestoreSurfaces([this] { LoadAllImages(); });
}

void TForm1::FreezeSnapshot(bool stripes) {
  TSurface* snapshot = Display.SnapshotSurface.get();
  if (!snapshot || !Display.BackBuffer) return;
  // A refused copy leaves the previous picture behind the dialog; surfaces are
  // lost all together, and the next frame's clear restores them.
  (void)DrawOpaque(*snapshot, 0, 0, *Display.BackBuffer);
  const TSurface* line = Menu(mnuPauseLine);
  if (!stripes || !line) return;
  for (int32_t i = 0; i < kFrameRows / 2; ++i) (void)DrawKeyed(*snapshot, 0, 2 * i, *line);
}

// --- foreground changes -------------------------------------------------------------------

void TForm1::ApplicationEvents1Deactivate() {
  Music.StopMusic();
  Sound.SetForeground(false);
  DisplayReady = kFalse32;
  State.MouseActive = kFalse32;
  Sys.UnacquireKeyboard();
  if (State.GameState == gsPlaying) {
    FreezeSnapshot(true);
    GoTo(gsPaused);
  }
  if (State.Settings.WindowedMode) {
    State.SavedWindowRect = Sys.WindowRect();
    State.SkipMinimize = true;
  } else if (State.SkipMinimize) {
    State.SkipMinimize = false;
  } else {
    Sys.Minimize();
  }
}

void TForm1::ApplicationEvents1Activate() {
  Sound.SetForeground(true);
  DisplayReady = kTrue32;
  State.MouseActive = kTrue32;
  Sys.AcquireKeyboard();
  if (State.Settings.MusicOn) {
    const bool inGame = State.GameState == gsPlaying || State.GameState == gsWatching;
    Music.PlayMusic(inGame ? "2.xm" : "1.xm");
  } else {
    Music.StopMusic();
  }
}

void TForm1::ApplicationEvents1Restore() {
  DisplayReady = kFalse32;
  if (State.Settings.WindowedMode) {
    // Nothing was remembered when the window was never deactivated.
    const TRect& saved = State.SavedWindowRect;
    if (saved.Width() > 0 && saved.Height() > 0) Sys.MoveWindow(saved.Left, saved.Top);
  } else {
    FormCreate();
    Sys.ShowWindowNormal();
  }
  DisplayReady = kTrue32;
  if (State.GameState == gsPlaying) {
    RenderFrame();
    FreezeSnapshot(true);
    GoTo(gsPaused);
  }
}

// --- display mode and window ---------------------------------------------------------------

void TForm1::SetWindowed(bool value) {
  savedWindowedMode_.reset();  // the player's own choice is saved from now on
  State.Settings.WindowedMode = value;
  FormCreate();
  if (Widgets) Widgets->OptionsGroup->DisplayToggle.Checked = value;
}

bool TForm1::FormCanResize() const {
  return !(DisplayReady != kFalse32 && State.Settings.WindowedMode);
}

bool TForm1::FormCloseQuery() {
  switch (Screen().Close) {
    case TScreenClose::Refused:
      return false;
    case TScreenClose::EndsWatching:
      if (closeAfterWatch_) return true;  // the window was the replay's only
      StopWatching();
      break;
    case TScreenClose::Asks:
      break;
  }
  const bool allowed = State.ExitConfirmed;
  GoTo(gsExitConfirm);
  return allowed;
}

void TForm1::Close() {
  if (FormCloseQuery()) closing_ = true;
}

// --- helpers ------------------------------------------------------------------------------

bool TForm1::SaveSettings() {
  if (Widgets) State.Settings.PlayerName = Widgets->OptionsGroup->NameEdit.Text;
  TOptions options = State.Settings;
  if (savedWindowedMode_) options.WindowedMode = *savedWindowedMode_;
  const TConfigSaveResult saved = Config.Save(options, State.HiScores);
  if (!saved) std::cerr << "Tidal Lynx: " << Config.Path() << ": " << saved.Error << '\n';
  return static_cast<bool>(saved);
}

void TForm1::PollSubmission() {
  if (!submission_ || !submission_->Finished()) return;
  const uint32_t outcome = submission_->Outcome();
  GoTo(outcome);
  if (outcome == gsUploadFailed) {
    retryUpload_ = std::move(submission_);
  } else {
    submission_.reset();
  }
  Sound.PlaySoundAt(State.MouseX, State.MouseY, sndCheckMenu);
}

bool TForm1::ScoreQualifies(int32_t score) const {
  return QualifiesForTable(State.HiScores, score);
}

// The item is highlighted as well as current, so the menu after a name entry
// shows where Enter leads.
void TForm1::SetMainMenuCurrent(int32_t item) {
  if (Widgets) Widgets->MainMenuGroup->SetCurrent(item);
}
