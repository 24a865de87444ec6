#include "game/RunScore.h"

#include <string>
#include "game/GameTrig.h"

#include "game/Game.h"
#include "game/GameMath.h"
#include "graphics/ShapeContext.h"

TRunScore::TRunScore(TGame& game, int16_t x, int16_t y, uint16_t value)
    : X(x), Y(static_cast<int16_t>(y - 30)), Value(static_cast<int16_t>(value)), game_(game) {}

bool TRunScore::Process(TSurface* back) {
  Y = static_cast<int16_t>(Y - 1);
  X = static_cast<int16_t>(X + RoundEven(game_trig::Sin(Y / 10.0) * 2));
  Age = static_cast<int16_t>(Age + 1);
  if (Age > 80) return false;
  if (ITextPainter* text = game_.Text(); text && back) {
    text->DrawText(X, Y, 18, 12, false, kTaCenter, kRed, *back, std::to_string(Value));
  }
  return true;
}
