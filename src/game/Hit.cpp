#include "game/Hit.h"

#include "assets/PackSlots.h"
#include "audio/SoundEffects.h"
#include "game/Game.h"
#include "game/GameMath.h"
#include "graphics/Geometry.h"

THit::THit(TGame& game, uint8_t kind, int16_t x, int16_t y, int16_t startFrame)
    : Kind(kind), X(x), Y(y), Frame(startFrame), game_(game) {}

bool THit::Process(TSurface* back) {
  // The frame drawn is the one from before this frame's step.
  const int16_t shown = Frame;
  Now = game_.Tick();
  // Repeats every frame while the explosion waits on frame 0.
  if (Frame == 0 && Kind == 0) game_.PlaySoundAt(X, Y, sndExpl);
  if (Elapsed(Now, LastFrame, 30)) {
    ++Frame;
    LastFrame = game_.Tick();
  }
  if (Frame < 0) return true;
  if (Frame > 15) return false;
  if (shown < 0) return true;  // stepping from -1 to 0: nothing to show yet
  if (const TSurface* image = game_.Sprite(sprBlast + Kind); image && back) {
    DrawClipped(*image, *back, TRect{64 * shown, 0, 64 * shown + 64, 64}, X, Y);
  }
  return true;
}
