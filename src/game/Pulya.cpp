#include "game/Pulya.h"

#include "game/GameTrig.h"

#include "game/Game.h"
#include "game/GameMath.h"
#include "graphics/Geometry.h"

TPulya::TPulya(TGame& game, uint8_t kind, float x, float y, double angle)
    : Kind(kind), Y(y), X(x), Angle(angle), game_(game) {}

TRect TPulya::GetRect() const {
  const TShotKind& kind = kShotKinds[Kind];
  return BoxAt(RoundEven(X), RoundEven(Y), kind.Width, kind.Height);
}

void TPulya::Process(TSurface* back) {
  const TShotKind& kind = kShotKinds[Kind];
  if (TSurface* image = game_.Sprite(kind.Sprite); image && back) {
    // The anchor is an unsigned 16-bit pixel, as the rotation routine takes it.
    DrawRotated(*image, *back, TPoint{kind.PivotX, kind.PivotY}, Angle, kind.Width, kind.Height,
                static_cast<uint16_t>(RoundEven(X)), static_cast<uint16_t>(RoundEven(Y)));
  }
  X = static_cast<float>(X + game_trig::Cos(Angle + kHalfPi) * kind.Speed);
  Y = static_cast<float>(Y + game_trig::Sin(Angle + kHalfPi) * kind.Speed);
}
