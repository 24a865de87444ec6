#include "game/Gunner.h"

#include "game/GameTrig.h"

#include "game/Bonus.h"
#include "game/EnemyEngine.h"
#include "game/Game.h"
#include "game/GameLayout.h"
#include "game/GameMath.h"
#include "game/MyShip.h"
#include "graphics/Geometry.h"

namespace {
constexpr double kPlayerRestAngle = 3.15;
constexpr uint32_t kEnemyFirePauseMs = 1000;
constexpr int8_t kEnemyShotLimit = 50;

// The shot kind whose box sets the aim reference point of a fire type.
uint8_t AimKind(uint8_t fireType) {
  switch (fireType) {
    case 0:
      return 0;
    case 1:
    case 2:
      return 1;
    default:
      return 2;
  }
}
}  // namespace

TGunner::TGunner(TGame& game, uint8_t model, uint8_t fireType, uint8_t mountIndex,
                 const int16_t& ownerX, const int16_t& ownerY, bool isPlayer, float minAngle,
                 float maxAngle)
    : OwnerX(ownerX),
      OwnerY(ownerY),
      MountIndex(mountIndex),
      Angle(isPlayer ? kPlayerRestAngle : 0.0),
      MinAngle(minAngle),
      MaxAngle(maxAngle),
      MountX(kMounts[mountIndex].MountX),
      MountY(kMounts[mountIndex].MountY),
      IsPlayer(isPlayer),
      Model(model),
      FireType(fireType),
      LastShot(game.Tick()),
      game_(game) {}

TGunner::~TGunner() {
  ShotCount = 0;
}

bool TGunner::Fire() {
  Now = game_.Tick();
  if (!Elapsed(Now, LastShot, kGunModels[Model].Interval)) return false;
  const TShotKind& aim = kShotKinds[AimKind(FireType)];
  AimX = static_cast<int16_t>(OwnerX + aim.Width / 2);
  AimY = static_cast<int16_t>(OwnerY + aim.Height / 2);
  if (FireType == kFireDropBonus) {
    Shoot(0, 0, 0, 0, Angle);
  } else if (const TFireRow* row = FindFireRow(FireType)) {
    for (uint8_t i = 0; i < row->Count; ++i) {
      const TFireShot& shot = row->Shots[i];
      Shoot(shot.Kind, shot.Sound, shot.Dx, shot.Dy, Angle + shot.AngleOffset);
    }
  }
  LastShot = game_.Tick();
  return true;
}

void TGunner::Shoot(uint8_t kind, uint8_t sound, int32_t dx, int16_t dy, double angle) {
  const TMount& mount = kMounts[MountIndex];
  const int32_t barrel = kGunModels[Model].Barrel;
  const auto x0 = static_cast<int16_t>(OwnerX + MountX + mount.MuzzleX + dx +
                                       RoundEven(game_trig::Cos(angle + kHalfPi) * barrel));
  const auto y0 = static_cast<int16_t>(OwnerY + MountY + mount.MuzzleY + dy +
                                       RoundEven(game_trig::Sin(angle + kHalfPi) * barrel));
  if (FireType == kFireDropBonus) {
    for (auto& bonus : game_.Bonuses) {
      if (!bonus) {
        bonus = std::make_unique<TBonus>(game_, static_cast<int16_t>(OwnerX + 36),
                                         static_cast<int16_t>(OwnerY + 80));
        return;
      }
    }
    return;
  }
  for (auto& shot : Shots) {
    if (!shot) {
      shot = std::make_unique<TPulya>(game_, kind, x0, y0, angle);
      game_.PlaySoundAt(x0, y0, sound);
      ++ShotCount;
      return;
    }
  }
}

void TGunner::CheckShot(size_t slot) {
  TPulya& shot = *Shots[slot];
  if (shot.Y < 0 || shot.Y > kSeaBottom || shot.X < kSeaLeft || shot.X > kSeaRight) {
    Shots[slot].reset();
    --ShotCount;
    return;
  }
  const TRect box = shot.GetRect();
  const uint8_t damage = kShotKinds[shot.Kind].Damage;
  if (IsPlayer) {
    auto& ships = game_.Fleet->Ships;
    for (size_t e = 0; e <= game_.HitScanLimit && e < ships.size(); ++e) {
      TEnemyShip* enemy = ships[e].get();
      if (!enemy || enemy->Kind == kSupplyPlane || !Overlap(box, enemy->GetRect())) continue;
      game_.AddHit(static_cast<int16_t>(box.Left), static_cast<int16_t>(box.Top), 4, 0);
      enemy->TakeHit(damage);
      Shots[slot].reset();
      return;
    }
    return;
  }
  TMyShip& ship = *game_.Ship;
  if (Overlap(box, ship.GetRect())) {
    // Placed at the ship's x whatever the shot's x.
    game_.AddHit(static_cast<int16_t>(ship.X - 13), static_cast<int16_t>(box.Top), 4, 0);
    ship.TakeDamage(damage);
    // Hits do not lower ShotCount: a gun that has hit 50 times falls silent.
    Shots[slot].reset();
  }
}

void TGunner::Process(TSurface* back, bool drawGun) {
  Now = game_.Tick();
  for (size_t i = 0; i < Shots.size(); ++i) {
    if (Shots[i]) CheckShot(i);
    if (Shots[i]) Shots[i]->Process(back);
  }
  if (Angle > MaxAngle) Angle = MaxAngle;
  if (Angle < MinAngle) Angle = MinAngle;
  if (drawGun && Model < 3) {
    const TGunModel& model = kGunModels[Model];
    if (TSurface* image = game_.Sprite(model.Sprite); image && back) {
      // Unsigned 16-bit anchors: a mount above the screen wraps far away and
      // the gun is not drawn.
      DrawRotated(*image, *back, TPoint{model.PivotX, model.PivotY}, Angle, model.Width,
                  model.Height, static_cast<uint16_t>(OwnerX + MountX),
                  static_cast<uint16_t>(OwnerY + MountY));
    }
  }
  if (!IsPlayer && Elapsed(Now, LastShot, kEnemyFirePauseMs)) {
    if (game_.Random(100) == 1 && ShotCount < kEnemyShotLimit) {
      Fire();
      LastShot = game_.Tick();
    }
  }
}
