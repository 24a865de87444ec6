#include "game/EnemyShip.h"

#include "game/GameTrig.h"

#include "game/EnemyEngine.h"
#include "game/Game.h"
#include "game/GameLayout.h"
#include "game/GameMath.h"
#include "game/MyShip.h"
#include "graphics/Geometry.h"

namespace {
constexpr float kEnemyMinAngle = -1.14f;
constexpr float kEnemyMaxAngle = 1.14f;
}  // namespace

TEnemyShip::TEnemyShip(TGame& game, uint8_t kind) : Kind(kind), game_(game), fleet_(*game.Fleet) {
  const TEnemyKind& row = kEnemyKinds[Kind];
  X = static_cast<int16_t>(kSeaLeft + game_.Random(400));
  Y = static_cast<int16_t>(-row.Height);
  uint8_t model = row.Model;
  uint8_t fireType = row.FireType;
  if (Kind == kIslandGun) {
    model = static_cast<uint8_t>(game_.Random(3));
    fireType = static_cast<uint8_t>(2 * model);
  }
  if (Kind == kSupplyPlane) Y = 672;
  Gun = std::make_unique<TGunner>(game_, model, fireType, static_cast<uint8_t>(Kind + 3), X, Y,
                                  false, kEnemyMinAngle, kEnemyMaxAngle);
  HitPoints = row.Value;
  LifeBar = std::make_unique<TLineLive>(game_, X, Y, HitPoints, row.Width, row.Value);
  ++fleet_.Count;
}

TEnemyShip::~TEnemyShip() {
  --fleet_.Count;
}

int16_t TEnemyShip::Width() const {
  return kEnemyKinds[Kind].Width;
}
int16_t TEnemyShip::Height() const {
  return kEnemyKinds[Kind].Height;
}
TRect TEnemyShip::GetRect() const {
  return BoxAt(X, Y, Width(), Height());
}

bool TEnemyShip::Process(TSurface* back) {
  if (Freeze > 0) {
    --Freeze;
  } else {
    Move();
  }
  const TEnemyKind& row = kEnemyKinds[Kind];
  const uint32_t now = game_.Tick();
  if (Elapsed(now, LastAnim, 60)) {
    ++Frame;
    if (Frame >= row.Frames) Frame = 0;
    LastAnim = game_.Tick();
  }
  if (const TSurface* image = game_.Sprite(row.Sprite); image && back) {
    const int32_t top = row.Height * Frame;
    DrawClipped(*image, *back, TRect{0, top, row.Width, top + row.Height}, X, Y);
  }
  Gun->Process(back, Kind <= kIslandGun);
  if (HitPoints <= 0) {
    game_.AddHit(X, Y, 0, 0);
    ++game_.Kills;
    game_.Score += row.Value;
    game_.AddRunScore(X, Y, static_cast<uint16_t>(row.Value));
    return false;
  }
  if (LifeBar->Visible) LifeBar->Draw(back);
  return true;
}

void TEnemyShip::TakeHit(int32_t damage) {
  HitPoints -= damage;
  LifeBar->Visible = true;
}

void TEnemyShip::Aim() {
  const TMyShip& ship = *game_.Ship;
  const int32_t dx = ship.X - Gun->AimX;
  int32_t dy = ship.Y - Gun->AimY - 40;
  if (dy == 0) dy = ship.Y - Gun->AimY - 41;
  Gun->Angle = -game_trig::Atan(static_cast<double>(dx) / dy);
}

void TEnemyShip::Move() {
  if (Kind <= kIslandGun) Aim();
  if (Kind == kIslandGun) {
    if (IslandY) Y = static_cast<int16_t>(*IslandY + IslandOffset);
  } else {
    Y = static_cast<int16_t>(Kind == kSupplyPlane ? Y - 1 : Y + 2);
    if (game_.Random(100) == 2) {
      const auto r = static_cast<int32_t>(game_.Random(2));
      Drift = static_cast<int8_t>(r - 1);
    }
    if (game_.Random(100) == 6) Drift = static_cast<int8_t>(-Drift);
    X = static_cast<int16_t>(X + Drift);
    if (X < kDriftLeft) X = kDriftLeft;
    if (X + Width() > kDriftRight) X = static_cast<int16_t>(kDriftRight - Width());
  }
  if (Kind <= kIslandGun) Ram();
}

void TEnemyShip::Ram() {
  TMyShip& ship = *game_.Ship;
  if (!Overlap(GetRect(), ship.GetRect())) return;
  const int32_t r = HitPoints;
  // A ram that destroys the enemy shows no bar: it is removed this frame.
  TakeHit(game_.Health);
  if (r > 0) ship.TakeDamage(static_cast<uint8_t>(r));
}
