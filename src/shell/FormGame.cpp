// The game session as the form drives it: a new session with its seed, each
// frame's input from the devices and the commands queued between frames.
#include <limits>

#include "shell/Form.h"

void TForm1::StartNewGame() {
  // Two draws in two statements: their order is part of the seed.
  const uint64_t high = Rng.Random(std::numeric_limits<uint32_t>::max());
  const uint64_t low = Rng.Random(std::numeric_limits<uint32_t>::max());
  const TGameStart start{(high << 32) | low, Sys.TickCount()};
  pendingInput_ = TFrameInput{};
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
}

void TForm1::NextWeapon() {
  if (State.CurrentGame && pendingInput_.WeaponChanges < std::numeric_limits<uint8_t>::max()) {
    ++pendingInput_.WeaponChanges;
  }
}

void TForm1::QuitGame() {
  if (State.CurrentGame) pendingInput_.Quit = true;
}
