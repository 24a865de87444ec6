#include "game/Bonus.h"

#include "game/EnemyEngine.h"
#include "game/Game.h"
#include "game/GameLayout.h"
#include "game/GameMath.h"
#include "game/MyShip.h"
#include "graphics/Geometry.h"

namespace {
constexpr int32_t kIceFrames = 300;
constexpr uint16_t kAmmoPerBonus = 10;
constexpr int16_t kFirstAid = 50;
constexpr int32_t kCoins = 100;
}  // namespace

TBonus::TBonus(TGame& game, int16_t x, int16_t y)
    : Kind(static_cast<uint8_t>(game.Random(8))), X(x), Y(y), game_(game) {}

TRect TBonus::GetRect() const {
  const TBonusKind& kind = kBonusKinds[Kind];
  return BoxAt(X, Y, kind.Width, kind.Height);
}

void TBonus::Apply() {
  if (const int8_t weapon = kBonusWeapon[Kind]; weapon >= 0) {
    uint16_t& ammo = game_.Ammo[static_cast<size_t>(weapon)];
    ammo = static_cast<uint16_t>(ammo + kAmmoPerBonus);
    return;
  }
  switch (Kind) {
    case kBonusFirstAid:
      // Above 72 until the ship's next frame cuts it back.
      game_.Health = static_cast<int16_t>(game_.Health + kFirstAid);
      break;
    case kBonusIce:
      for (auto& enemy : game_.Fleet->Ships) {
        if (enemy && enemy->Kind != kIslandGun && enemy->Kind != kSupplyPlane) {
          enemy->Freeze = kIceFrames;
        }
      }
      break;
    case kBonusCoins:
      game_.Score += kCoins;
      break;
    case kBonusMegaBomb:
      for (auto& enemy : game_.Fleet->Ships) {
        if (enemy && enemy->Kind != kSupplyPlane) enemy->HitPoints = 0;
      }
      break;
    default:
      break;
  }
}

bool TBonus::Process(TSurface* back) {
  Y = static_cast<int16_t>(Y + 1);
  if (Overlap(GetRect(), game_.Ship->GetRect())) {
    Apply();
    return false;
  }
  const TBonusKind& kind = kBonusKinds[Kind];
  if (const TSurface* image = game_.Sprite(kind.Sprite); image && back) {
    DrawClipped(*image, *back, TRect{0, 0, kind.Width, kind.Height}, X, Y);
  }
  return Y <= kScreenHeight;
}
