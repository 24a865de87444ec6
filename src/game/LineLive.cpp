#include "game/LineLive.h"

#include "game/Game.h"
#include "game/GameMath.h"
#include "graphics/ShapeContext.h"

TLineLive::TLineLive(TGame& game, const int16_t& ownerX, const int16_t& ownerY,
                     const int32_t& ownerHitPoints, int32_t fullWidth, int32_t maxHitPoints)
    : OwnerX(ownerX),
      OwnerY(ownerY),
      OwnerHitPoints(ownerHitPoints),
      Scale(maxHitPoints != 0 ? static_cast<float>(fullWidth) / static_cast<float>(maxHitPoints)
                              : 0.0f),
      game_(game) {}

int32_t TLineLive::BarWidth() const {
  return RoundEven(static_cast<double>(OwnerHitPoints) * static_cast<double>(Scale));
}

void TLineLive::Draw(TSurface* back) {
  // The bar hides itself after 101 frames whether or not they are drawn.
  if (back) FillRoundRect(OwnerX + 2, OwnerY - 10, BarWidth(), 3, kDarkBlue, *back);
  ++Shown;
  if (Shown > 100) {
    Shown = 0;
    Visible = false;
  }
}
