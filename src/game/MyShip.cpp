#include "game/MyShip.h"

#include "assets/PackSlots.h"
#include "game/Game.h"
#include "game/GameLayout.h"
#include "game/GameMath.h"
#include "graphics/Geometry.h"

namespace {
constexpr float kPlayerMinAngle = 1.7f;
constexpr float kPlayerMaxAngle = 4.6f;
constexpr double kRestAngle = 3.15;
constexpr int16_t kStep = 6;
constexpr double kTurn = 0.03;
constexpr double kSwingBack = 0.05;
// Rumbles: a short one for a hit, a longer and stronger one for the ship lost.
constexpr uint16_t kHitRumble = 0x6000;
constexpr uint32_t kHitRumbleMs = 150;
constexpr uint16_t kLossRumble = 0xFFFF;
constexpr uint32_t kLossRumbleMs = 700;

struct TShipGun {
  uint8_t Model;
  uint8_t FireType;
};
constexpr TShipGun kShipGuns[3] = {{0, 0}, {1, 1}, {2, 3}};
}  // namespace

TMyShip::TMyShip(TGame& game) : game_(game) {
  for (size_t i = 0; i < Guns.size(); ++i) {
    Guns[i] = std::make_unique<TGunner>(game, kShipGuns[i].Model, kShipGuns[i].FireType,
                                        static_cast<uint8_t>(i), X, Y, true, kPlayerMinAngle,
                                        kPlayerMaxAngle);
    Guns[i]->Angle = kRestAngle;
  }
}

TMyShip::~TMyShip() = default;

int TMyShip::GunIndexForWeapon(int weapon) {
  switch (weapon) {
    case 1:
    case 2:
      return 1;
    case 3:
    case 4:
      return 2;
    default:
      return 0;
  }
}

void TMyShip::TakeDamage(uint8_t amount) {
  game_.Health = static_cast<int16_t>(game_.Health - amount);
  // Shots still landing on the wreck do not shake the pad again.
  if (amount > 0 && game_.Phase == phPlay) game_.Rumble(kHitRumble, kHitRumbleMs);
}

TRect TMyShip::GetRect() const {
  return BoxAt(X, Y, kShipWidth, kShipHeight);
}

void TMyShip::ApplyInput(TGunner& gun) {
  const TFrameInput& in = game_.Input();
  const bool left = game_.KeyDown(kInputLeft) || in.MouseX < 0 || (in.Pad & kPadLeanLeft) != 0;
  const bool right = game_.KeyDown(kInputRight) || in.MouseX > 0 || (in.Pad & kPadLeanRight) != 0;
  const bool up = game_.KeyDown(kInputUp) || in.MouseY > 0 || (in.Pad & kPadLeanUp) != 0;
  const bool down = game_.KeyDown(kInputDown) || in.MouseY < 0 || (in.Pad & kPadLeanDown) != 0;
  if (left) X = static_cast<int16_t>(X - kStep);
  if (right) X = static_cast<int16_t>(X + kStep);
  if (up) gun.Angle += kTurn;
  if (down) gun.Angle -= kTurn;
}

void TMyShip::Process(TSurface* back) {
  // The shell only ever selects 0 to 4; anything else falls back to the
  // standard gun rather than indexing past the ammunition.
  if (game_.Weapon < 0 || game_.Weapon >= kWeaponCount) game_.Weapon = 0;
  const int gunIndex = GunIndexForWeapon(game_.Weapon);
  TGunner& gun = *Guns[static_cast<size_t>(gunIndex)];
  gun.FireType = static_cast<uint8_t>(game_.Weapon);

  if (game_.Health > kMaxHealth) game_.Health = kMaxHealth;
  const bool playing = game_.Phase == phPlay;
  if (playing) ApplyInput(gun);

  for (size_t i = 0; i < Guns.size(); ++i) {
    if (static_cast<int>(i) == gunIndex) continue;
    TGunner& other = *Guns[i];
    if (other.Angle < kRestAngle) other.Angle += kSwingBack;
    if (other.Angle > kRestAngle) other.Angle -= kSwingBack;
  }

  Now = game_.Tick();
  if (Elapsed(Now, LastAnim, 60)) {
    Frame = static_cast<uint8_t>(1 - Frame);
    LastAnim = Now;
  }

  const TFrameInput& in = game_.Input();
  const bool fireDown = game_.KeyDown(kInputLeftControl | kInputRightControl) ||
                        (in.MouseButtons & 1u) != 0 || (in.Pad & kPadFire) != 0;
  uint16_t& ammo = game_.Ammo[static_cast<size_t>(game_.Weapon)];
  if (fireDown && playing && ammo > 0 && gun.Fire()) {
    --ammo;
    if (ammo == 0) game_.Weapon = 0;
  }
  if (gunIndex == 0) game_.Ammo[0] = 999;

  if (Y < kShipMinY) Y = kShipMinY;
  if (Y > kShipMaxY) Y = kShipMaxY;
  if (X < kShipMinX) X = kShipMinX;
  if (X > kShipMaxX) X = kShipMaxX;

  if (const TSurface* hull = game_.Sprite(sprPlayerShip); hull && back) {
    const int32_t left = kHullFrameWidth * Frame;
    const TRect rect{left, 0, left + kHullFrameWidth, kHullHeight};
    // A refused blit leaves the hull out of this frame; the guns still draw.
    (void)back->BltFast(X, Y, *hull, &rect, kBltFastSrcColorKey | kBltFastWait);
  }
  for (auto& g : Guns) g->Process(back, true);

  if (game_.Phase == phPlay && game_.Health <= 0) LoseShip();
}

void TMyShip::LoseShip() {
  game_.Rumble(kLossRumble, kLossRumbleMs);
  game_.ClearHits();
  game_.Phase = phBetween;
  for (int i = 0; i < 9; ++i) {
    const auto dx = static_cast<int32_t>(game_.Random(15));
    const auto dy = static_cast<int32_t>(game_.Random(60));
    game_.AddHit(static_cast<int16_t>(X - dx - 5), static_cast<int16_t>(Y + dy), 0,
                 static_cast<int8_t>(-120 + 15 * i));
  }
  --game_.Lives;
}
