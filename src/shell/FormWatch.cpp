// Watching a replay in the window: the form hands the viewer the real time
// that passed and the speed the held keys ask for, and takes the pause and
// the end from the keys and the pad.
#include "graphics/Text.h"
#include "i18n/Gettext.h"
#include "shell/Form.h"
#include "shell/VirtualKeys.h"

namespace {

// Held for faster watching: Right or the pad's right shoulder 4x, Up or the
// pad's A 8x.
uint32_t HeldSpeed(const TKeyboardSnapshot& keys, const TPadState& pad) {
  if ((keys[dik::kUp] & 0x80) != 0 || pad.Down(TPadButton::A)) return 8;
  if ((keys[dik::kRight] & 0x80) != 0 || pad.Down(TPadButton::RightShoulder)) return 4;
  return 1;
}

}  // namespace

void TForm1::StartWatching(TReplay replay, bool closeAfter) {
  watchReturn_ = State.GameState == gsWatching ? watchReturn_ : State.GameState;
  closeAfterWatch_ = closeAfter;
  viewer_.reset();
  viewer_ = std::make_unique<TReplayViewer>(
      std::move(replay), TReplayViewer::TParts{Images, Fonts, Sound, Music, Display.SnapshotSurface,
                                               State.Settings.MusicOn});
  lastWatchTick_ = Sys.TickCount();
  GoTo(gsWatching);
}

void TForm1::WatchFrame(TSurface& back) {
  if (!viewer_ || viewer_->Stopped) {
    GoTo(watchReturn_);
    return;
  }
  if (viewer_->Ended()) {
    StopWatching();
    return;
  }
  if (viewer_->Paused) {
    DrawBackground(back, Display.SnapshotSurface.get(), true);
    // TRANSLATORS: Shown while the game is paused.
    DrawCaption(Fonts, 350, 300, 32, 20, kDarkBlue, back, _("Pause"));
    return;
  }
  TPadState pad;
  Sys.ReadPad(pad);  // no pad: a zero state
  const uint32_t now = State.FrameStartTick;
  viewer_->Advance(now - lastWatchTick_, HeldSpeed(State.KeyboardState, pad), back);
  lastWatchTick_ = now;
  if (viewer_->Ended()) StopWatching();
}

void TForm1::WatchKey(uint16_t key) {
  if (!viewer_ || viewer_->Stopped) return;
  if (key == kVkP || key == kVkSpace) {
    viewer_->Paused = !viewer_->Paused;
    // The watched picture striped, as the game's own pause shows it.
    if (viewer_->Paused) FreezeSnapshot(true);
    lastWatchTick_ = Sys.TickCount();
  }
}

void TForm1::StopWatching() {
  if (!viewer_ || viewer_->Stopped) return;
  // Esc before the end leaves the game's music playing; the menus have theirs.
  if (!viewer_->Ended() && State.Settings.MusicOn) Music.PlayMusic("1.xm");
  // The viewer stays, stopped, until the next replay: what it watched can
  // still be asked.
  viewer_->Stopped = true;
  GoTo(watchReturn_);
  if (closeAfterWatch_) closing_ = true;
}
