#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/Bonus.h"
#include "game/EnemyEngine.h"
#include "game/FrameInput.h"
#include "game/Game.h"
#include "game/GameHost.h"
#include "game/GameStates.h"
#include "game/Hit.h"
#include "game/Island.h"
#include "game/MyShip.h"
#include "game/RunBackground.h"
#include "game/RunScore.h"
#include "graphics/Fonts.h"
#include "graphics/ImageSlots.h"
#include "settings/HiScores.h"
#include "support/FakePlatform.h"
#include "support/RecordingAudio.h"

class TTestHost final : public IGameHost {
 public:
  void SetGameState(uint32_t state) override { States.push_back(state); }
  bool MusicOn() const override { return Music; }
  bool ScoreQualifies(int32_t score) const override { return QualifiesForTable(Table, score); }
  void SetMainMenuCurrent(int32_t item) override { MenuCurrent = item; }
  void ShowCursor(bool show) override { CursorVisible = show; }

  std::vector<uint32_t> States;
  bool Music = true;
  THiScoreTable Table{};  // every row 0 points
  int32_t MenuCurrent = -1;
  bool CursorVisible = true;
};

// The real faces, loaded once for all tests of the binary.
inline TFonts& SharedFonts() {
  static TFonts fonts;
  return fonts;
}

// Plain surfaces of the pack's sizes, each filled with a colour of its own and
// keyed on magenta, standing in for the image pack.
inline void FillTestImages(TImageSlots& images) {
  struct TSize {
    int32_t W;
    int32_t H;
  };
  static constexpr TSize kSprites[kSpriteImageCount] = {
      {118, 600}, {118, 600}, {30, 30},  {28, 144},  {61, 305},  {123, 247}, {78, 210},
      {62, 139},  {77, 191},  {72, 176}, {1024, 64}, {1024, 64}, {1024, 64}, {1024, 64},
      {1024, 64}, {64, 64},   {64, 64},  {24, 88},   {30, 111},  {34, 136},  {47, 146},
      {23, 28},   {47, 224},  {50, 55},  {73, 72},   {76, 103},  {12, 24},   {14, 25},
      {18, 24},   {7, 14},    {7, 14},   {7, 27},    {6, 24},    {61, 305},  {24, 23},
      {24, 23},   {24, 23},   {24, 23},  {23, 23},   {24, 23},   {24, 23},   {23, 23},
  };
  for (int i = 0; i < kSpriteImageCount; ++i) {
    auto surface = std::make_shared<TSurface>(kSprites[i].W, kSprites[i].H);
    const uint32_t colour = 0x00102030u + 0x00050709u * static_cast<uint32_t>(i);
    for (int32_t y = 0; y < surface->Height(); ++y) {
      for (int32_t x = 0; x < surface->Width(); ++x) surface->SetPixelAt(x, y, colour);
    }
    surface->SetColorKey(kMagentaPixel);
    images.SpriteImages[static_cast<size_t>(i)] = surface;
  }
  for (int i = 0; i < kMenuImageCount; ++i) {
    auto surface = std::make_shared<TSurface>(800, 1);
    for (int32_t x = 0; x < 800; ++x) surface->SetPixelAt(x, 0, 0x00202020u);
    surface->SetColorKey(kMagentaPixel);
    images.MenuImages[static_cast<size_t>(i)] = surface;
  }
}

// Shots of a gun still alive (not its ShotCount, which hits never lower).
inline int LiveShots(const TGunner& gun) {
  int live = 0;
  for (const auto& shot : gun.Shots) live += shot ? 1 : 0;
  return live;
}

// One session on the fake platform with a fixed seed and a fake clock, driven
// as the shell drives it: each frame's input is read from the fake devices.
struct TGameRig {
  explicit TGameRig(uint64_t seed = 1, bool withImages = true) {
    if (withImages) FillTestImages(Images);
    Game = std::make_unique<TGame>(Context, TGameStart{seed, Sys.Tick()});
  }

  // Advances the clock by one frame of the real loop (about 15.6 ms) and runs it.
  void Frame(uint32_t ms = 16) {
    Sys.Advance(ms);
    Step();
  }
  // Moves the fake clock and the session's clock alike, for tests that step
  // single objects between frames.
  void Advance(uint32_t ms) {
    Sys.Advance(ms);
    Game->SetClock(Sys.Tick());
  }
  void SetTick(uint32_t tick) {
    Sys.SetTick(tick);
    Game->SetClock(tick);
  }
  // Runs a frame at the fake clock's time with the keys, the mouse and pad
  // reads and the queued commands as its input.
  void Step() {
    TMouseState mouse;
    if (!Sys.ReadMouse(mouse)) mouse = TMouseState{};
    TPadState pad;
    Sys.ReadPad(pad);
    TFrameInput input = ReadDevices(Keys, mouse, pad);
    input.Ms = Sys.Tick() - Game->Tick();
    input.WeaponChanges = WeaponChanges;
    input.Quit = Quit;
    WeaponChanges = 0;
    Quit = false;
    LastInput = input;
    Game->RunFrame(input, Draw ? &Back : nullptr);
  }
  // Runs frames until the phase is `phase` (at most `limit` frames); true on success.
  bool RunUntilPhase(uint8_t phase, int limit = 20000) {
    for (int i = 0; i < limit && Game->Phase != phase; ++i) Frame();
    return Game->Phase == phase;
  }
  // From a new session to the first play frame.
  void StartPlay() {
    Frame();
    RunUntilPhase(phPlay);
  }
  TEnemyShip& PlaceEnemy(uint8_t kind, int16_t x, int16_t y) {
    TEnemyEngine& fleet = *Game->Fleet;
    TEnemyShip& enemy = fleet.Place(fleet.FirstFree(), kind);
    enemy.X = x;
    enemy.Y = y;
    return enemy;
  }
  void Key(uint8_t dik, bool down) { Keys[dik] = down ? 0x80 : 0x00; }

  FakePlatform Sys;
  TImageSlots Images;
  TRecordingSound Sound;
  TRecordingMusic Music;
  TTestHost Host;
  TSurfacePtr Snapshot = std::make_shared<TSurface>(800, 600);
  TKeyboardSnapshot Keys{};
  uint8_t WeaponChanges = 0;  // Space or wheel presses for the next frame
  bool Quit = false;          // the quit question's Yes for the next frame
  bool Draw = true;           // false: frames run without a back buffer
  TFrameInput LastInput{};
  TGameContext Context{Images, &SharedFonts(), Sound, Music, Host, Snapshot};
  TSurface Back{800, 600};
  std::unique_ptr<TGame> Game;
};
