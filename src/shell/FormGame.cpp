// The game session as the form drives it: a new session with its seed, each
// frame's input from the devices and the commands queued between frames, and
// the recording of every game into the replays folder; the keys, Esc and wheel
// of the game's screens.
#include <ctime>
#include <filesystem>
#include <iostream>
#include <limits>

#include "game/GameTables.h"
#include "i18n/Gettext.h"
#include "replay/ReplayFile.h"
#include "shell/Form.h"
#include "shell/VirtualKeys.h"

#ifndef TL_VERSION
#define TL_VERSION "unknown"
#endif

void TForm1::StartNewGame() {
  // Two draws in two statements: their order is part of the seed.
  const uint64_t high = Rng.Random(std::numeric_limits<uint32_t>::max());
  const uint64_t low = Rng.Random(std::numeric_limits<uint32_t>::max());
  const TGameStart start{(high << 32) | low, Sys.TickCount()};
  pendingInput_ = TFrameInput{};
  recorder_ = std::make_unique<TReplayRecorder>(start, TL_VERSION, State.Settings.PlayerName,
                                                static_cast<int64_t>(std::time(nullptr)));
  auto game = std::make_unique<TGame>(GameContext, start);
  State.CurrentGame = std::move(game);
}

void TForm1::RunGameFrame(TSurface& back) {
  if (!State.CurrentGame) return;
  TGame& game = *State.CurrentGame;
  TMouseState mouse;
  if (!Sys.ReadMouse(mouse)) mouse = TMouseState{};
  TPadState pad;
  Sys.ReadPad(pad);  // no pad: a zero state
  // The pointer is held inside the window; only relative motion is used.
  if (State.MouseActive != kFalse32) Sys.SetCursorPos(700, 500);

  TFrameInput input = ReadDevices(State.KeyboardState, mouse, pad);
  input.Ms = State.FrameStartTick - game.Tick();
  input.WeaponChanges = pendingInput_.WeaponChanges;
  input.Quit = pendingInput_.Quit;
  pendingInput_ = TFrameInput{};
  game.RunFrame(input, &back);
  if (recorder_) recorder_->AddFrame(input, game);
  // The session hands back to the menus in the frame it ends.
  if (NextScreen() != gsPlaying) FinishRecording();
}

void TForm1::FinishRecording() {
  if (!recorder_ || !State.CurrentGame) return;
  const std::unique_ptr<TReplayRecorder> recorder = std::move(recorder_);
  // Nothing of an earlier game may stand for this one (a link, an upload).
  lastReplay_ = TReplay{};
  lastReplayName_.clear();
  if (!recorder->Whole()) {
    // TRANSLATORS: Said on standard error after the game.
    std::cerr << "Tidal Lynx: " << _("the game was too long to keep its replay") << '\n';
    return;
  }
  lastReplay_ = recorder->Finish(*State.CurrentGame);
  TReplayStore store = Replays();
  std::string error;
  lastReplayName_ = store.Add(EncodeReplay(lastReplay_), lastReplay_.StartDate, error);
  if (lastReplayName_.empty()) {
    // TRANSLATORS: Said on standard error after the game; %s is why (in English, from the
    // system).
    const std::string told = Format(_("%s; the replay of this game is not kept"), error.c_str());
    std::cerr << "Tidal Lynx: " << told << '\n';
    return;
  }
  store.Prune(store.ReadIndex());
}

void TForm1::LinkReplayToTable(const std::string& name, int32_t score) {
  if (lastReplayName_.empty()) return;
  TReplayStore store = Replays();
  std::string error;
  if (lastReplay_.PlayerName != name) {
    lastReplay_.PlayerName = name;
    if (!store.Replace(lastReplayName_, EncodeReplay(lastReplay_), error)) {
      std::cerr << "Tidal Lynx: " << error << '\n';
    }
  }
  // The new row is the last one holding this name and score: a new result
  // never moves ahead of an equal older one.
  size_t row = kHiScoreCount;
  for (size_t i = 0; i < static_cast<size_t>(kHiScoreCount); ++i) {
    if (State.HiScores[i].Name == name && State.HiScores[i].Score == score) row = i;
  }
  if (row == static_cast<size_t>(kHiScoreCount)) return;
  const TReplayStore::TIndex old = store.ReadIndex();
  TReplayStore::TIndex index;
  for (size_t i = 0, from = 0; i < index.size(); ++i) {
    index[i] = i == row ? lastReplayName_ : old[from++];
  }
  if (!store.WriteIndex(index, error)) std::cerr << "Tidal Lynx: " << error << '\n';
  store.Prune(index);
}

void TForm1::UnlinkReplays() {
  std::string error;
  TReplayStore store = Replays();
  if (!store.WriteIndex({}, error)) std::cerr << "Tidal Lynx: " << error << '\n';
  store.Prune({});
}

TReplayStore TForm1::Replays() const {
  const std::filesystem::path config(Paths.ConfigPath);
  return TReplayStore((config.parent_path() / "replays").string());
}

void TForm1::NextWeapon() {
  if (State.CurrentGame && pendingInput_.WeaponChanges < std::numeric_limits<uint8_t>::max()) {
    ++pendingInput_.WeaponChanges;
  }
}

void TForm1::QuitGame() {
  if (State.CurrentGame) pendingInput_.Quit = true;
}

// --- the game's screens: keys, Esc and the wheel ------------------------------------

namespace {

bool InPlay(const TShellState& state) {
  return state.CurrentGame && state.CurrentGame->Phase == phPlay;
}

}  // namespace

void TForm1::PlayingKey(uint16_t key) {
  if (key == kVkP) {
    FreezeSnapshot(true);
    GoTo(gsPaused);
  } else if (key == kVkSpace && InPlay(State)) {
    NextWeapon();
  }
}

void TForm1::AskQuit() {
  if (!InPlay(State)) return;
  GoTo(gsQuitGame);
  Sys.ShowCursor(true);
  FreezeSnapshot(false);
}

void TForm1::WheelWeapon() {
  if (InPlay(State)) NextWeapon();
}

void TForm1::PausedKey(uint16_t key) {
  if (key == kVkP) Unpause();
}
