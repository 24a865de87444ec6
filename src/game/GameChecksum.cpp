#include "game/GameChecksum.h"

#include <cmath>
#include <cstring>

#include "game/Bonus.h"
#include "game/EnemyEngine.h"
#include "game/Game.h"
#include "game/Hit.h"
#include "game/Island.h"
#include "game/MyShip.h"
#include "game/RunBackground.h"
#include "game/RunScore.h"

namespace {

// FNV-1a over the bytes of each value, in the host's byte order: replays are
// checked against checksums made by the same game logic, and every platform
// the game targets is little-endian.
class TChecksum {
 public:
  template <typename T>
  void Add(const T& value) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (unsigned char b : bytes) hash_ = (hash_ ^ b) * 0x100000001B3ull;
  }
  uint64_t Value() const { return hash_; }

 private:
  uint64_t hash_ = 0xCBF29CE484222325ull;
};

// What FrameTag sums apart: the ship's position, gun angles and weapon.
enum class TShipPart : uint8_t { Hashed, Left };

void AddGun(TChecksum& sum, const TGunner& gun, TShipPart part) {
  if (part == TShipPart::Hashed) sum.Add(gun.Angle);
  sum.Add(gun.ShotCount);
  sum.Add(gun.FireType);
  sum.Add(gun.LastShot);
  for (const auto& shot : gun.Shots) {
    sum.Add(static_cast<bool>(shot));
    if (!shot) continue;
    sum.Add(shot->Kind);
    sum.Add(shot->X);
    sum.Add(shot->Y);
    sum.Add(shot->Angle);
  }
}

uint64_t Checksum(const TGame& game, TShipPart part) {
  TChecksum sum;
  sum.Add(game.Level);
  sum.Add(game.Score);
  sum.Add(game.Kills);
  sum.Add(game.Phase);
  sum.Add(game.Lives);
  sum.Add(game.Health);
  if (part == TShipPart::Hashed) sum.Add(game.Weapon);
  for (uint16_t ammo : game.Ammo) sum.Add(ammo);
  if (part == TShipPart::Hashed) sum.Add(game.Ship->X);
  sum.Add(game.Ship->Y);
  sum.Add(game.Ship->Frame);
  for (const auto& gun : game.Ship->Guns) AddGun(sum, *gun, part);
  sum.Add(game.Fleet->Count);
  for (const auto& enemy : game.Fleet->Ships) {
    sum.Add(static_cast<bool>(enemy));
    if (!enemy) continue;
    sum.Add(enemy->Kind);
    sum.Add(enemy->X);
    sum.Add(enemy->Y);
    sum.Add(enemy->Drift);
    sum.Add(enemy->HitPoints);
    sum.Add(enemy->Freeze);
    sum.Add(enemy->Frame);
    sum.Add(enemy->LifeBar->Visible);
    AddGun(sum, *enemy->Gun, TShipPart::Hashed);
  }
  for (const auto& island : game.Islands) {
    sum.Add(static_cast<bool>(island));
    if (!island) continue;
    sum.Add(island->Kind);
    sum.Add(island->Y);
  }
  for (const auto& hit : game.Hits) {
    sum.Add(static_cast<bool>(hit));
    if (!hit) continue;
    sum.Add(hit->Kind);
    sum.Add(hit->X);
    sum.Add(hit->Y);
    sum.Add(hit->Frame);
  }
  for (const auto& bonus : game.Bonuses) {
    sum.Add(static_cast<bool>(bonus));
    if (!bonus) continue;
    sum.Add(bonus->Kind);
    sum.Add(bonus->X);
    sum.Add(bonus->Y);
  }
  for (const auto& score : game.RunScores) {
    sum.Add(static_cast<bool>(score));
    if (!score) continue;
    sum.Add(score->X);
    sum.Add(score->Y);
    sum.Add(score->Value);
  }
  sum.Add(game.Background->Scroll);
  return sum.Value();
}

}  // namespace

uint64_t GameChecksum(const TGame& game) {
  return Checksum(game, TShipPart::Hashed);
}

uint8_t FrameTag(const TGame& game) {
  const uint64_t sum = Checksum(game, TShipPart::Left);
  uint32_t ship = static_cast<uint32_t>(game.Ship->X) + static_cast<uint32_t>(game.Weapon);
  for (const auto& gun : game.Ship->Guns) {
    ship += static_cast<uint32_t>(std::lround(gun->Angle * 100.0));
  }
  return static_cast<uint8_t>((static_cast<uint32_t>(sum ^ (sum >> 32)) + ship) & 0x07);
}
