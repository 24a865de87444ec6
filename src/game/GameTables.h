#pragma once

#include <array>
#include <cstdint>

#include "assets/PackSlots.h"
#include "assets/SoundList.h"

// The fixed data of the game world: enemies, guns, mounts, shots, bonuses and
// islands. Pixels are back-buffer pixels, times are milliseconds.

// Session phases.
inline constexpr uint8_t phLevelIntro = 0;
inline constexpr uint8_t phPlay = 1;
inline constexpr uint8_t phGameOver = 3;
inline constexpr uint8_t phBetween = 255;

inline constexpr int16_t kMaxHealth = 72;
inline constexpr int kWeaponCount = 5;

// Enemy types.
inline constexpr uint8_t kCutter = 0;
inline constexpr uint8_t kDestroyer = 1;
inline constexpr uint8_t kCruiser = 2;
inline constexpr uint8_t kBattleShip = 3;
inline constexpr uint8_t kIslandGun = 4;
inline constexpr uint8_t kBomber = 5;
inline constexpr uint8_t kHelicopter = 6;
inline constexpr uint8_t kSupplyPlane = 7;
inline constexpr int kEnemyTypeCount = 8;

struct TEnemyKind {
  uint8_t Sprite;  // SpriteImages slot
  int16_t Width;   // hit box and image frame
  int16_t Height;
  uint8_t Frames;  // animation frames stacked vertically
  int32_t Value;   // hit points and score
  uint8_t Model;   // gun model (island guns draw theirs at random)
  uint8_t FireType;
};

inline constexpr std::array<TEnemyKind, kEnemyTypeCount> kEnemyKinds{{
    {sprCutter, 24, 88, 1, 15, 0, 0},
    {sprDestroyer, 30, 111, 1, 25, 1, 1},
    {sprCruiser, 34, 136, 1, 50, 1, 2},
    {sprBattleShip, 47, 146, 1, 75, 2, 4},
    {sprIslandGun, 23, 28, 1, 5, 0, 0},
    {sprBomber, 47, 56, 4, 25, 1, 2},
    {sprHelicopter, 50, 55, 1, 50, 2, 31},
    {sprSupplyPlane, 73, 72, 1, 30, 3, 6},
}};

// The player's ship box (the hull image is larger, see GameLayout.h).
inline constexpr int16_t kShipWidth = 26;
inline constexpr int16_t kShipHeight = 93;

struct TGunModel {
  uint8_t Sprite;
  uint16_t Width;
  uint16_t Height;
  int32_t PivotX;
  int32_t PivotY;
  int32_t Barrel;     // pixels from the mount to the muzzle
  uint32_t Interval;  // a fire needs more than this since the last
};

inline constexpr std::array<TGunModel, 4> kGunModels{{
    {sprGun0, 12, 24, 6, 18, 20, 80},
    {sprGun1, 14, 25, 6, 18, 30, 400},
    {sprGun2, 18, 24, 9, 15, 30, 700},
    {sprLeftPanel, 9, 22, 4, 17, 44, 100},  // supply plane: never drawn
}};

struct TMount {
  int16_t MountX;
  int16_t MountY;
  int16_t MuzzleX;
  int16_t MuzzleY;
};

// Row = mount index: ship guns 0 to 2, then enemy type + 3.
inline constexpr std::array<TMount, 11> kMounts{{
    {18, 65, -4, -10},  // ship gun 0
    {18, 35, -4, -10},  // ship gun 1
    {21, 90, -8, 0},    // ship gun 2
    {18, 90, -7, -10},  // Cutter
    {22, 90, -3, -4},   // Destroyer
    {23, 120, 0, 0},    // Cruiser
    {29, 130, 0, 0},    // BattleShip
    {18, 25, -4, -10},  // island gun
    {0, -20, 28, 80},   // Bomber
    {50, 128, 0, 0},    // Helicopter
    {-280, 0, 0, 0},    // supply plane
}};

struct TShotKind {
  uint8_t Sprite;
  uint16_t Width;
  uint16_t Height;
  int32_t PivotX;
  int32_t PivotY;
  float Speed;  // pixels per frame
  uint8_t Damage;
};

inline constexpr std::array<TShotKind, 4> kShotKinds{{
    {sprBullet, 7, 14, 3, 8, 10.0f, 2},
    {sprShell, 7, 14, 3, 8, 4.0f, 5},
    {sprRocket, 7, 27, 3, 14, 4.0f, 15},
    {sprTracer, 6, 24, 3, 12, 4.0f, 20},  // fired by no gun
}};

// One shot of a fire type: kind, sound, start offset, angle offset.
struct TFireShot {
  uint8_t Kind;
  uint8_t Sound;
  int32_t Dx;
  int16_t Dy;
  double AngleOffset;
};

inline constexpr uint8_t kFireDropBonus = 6;
inline constexpr uint8_t kFireHelicopter = 31;

struct TBonusKind {
  uint8_t Sprite;
  int16_t Width;
  int16_t Height;
};

inline constexpr uint8_t kBonusRocket = 0;
inline constexpr uint8_t kBonusGun = 1;
inline constexpr uint8_t kBonusRocket3x = 2;
inline constexpr uint8_t kBonusGun2x = 3;
inline constexpr uint8_t kBonusFirstAid = 4;
inline constexpr uint8_t kBonusIce = 5;
inline constexpr uint8_t kBonusCoins = 6;
inline constexpr uint8_t kBonusMegaBomb = 7;

inline constexpr std::array<TBonusKind, 8> kBonusKinds{{
    {sprBonusRocket, 24, 23},
    {sprBonusGun, 24, 23},
    {sprBonusRocket3x, 24, 23},
    {sprBonusGun2x, 24, 23},
    {sprBonusFirstAid, 23, 23},
    {sprBonusIce, 24, 23},
    {sprBonusCoins, 24, 23},
    {sprBonusMegaBomb, 23, 23},
}};

// The weapon each ammunition bonus refills (-1: not an ammunition bonus).
inline constexpr std::array<int8_t, 8> kBonusWeapon{{3, 1, 4, 2, -1, -1, -1, -1}};

struct TIslandKind {
  uint8_t Sprite;
  int16_t Width;
  int16_t Height;
};

inline constexpr std::array<TIslandKind, 4> kIslandKinds{{
    {sprIsland0, 78, 210},
    {sprIsland1, 62, 139},
    {sprIsland2, 77, 191},
    {sprIsland3, 72, 176},
}};

// Enemy type selection by the level's row (level mod 10).
struct TLevelRow {
  uint8_t WeightShips;     // a: percent drawing a ship type (0 to 3)
  uint8_t WeightAircraft;  // b: percent drawing types 4 to 6
  uint8_t AllowedMask;     // bit t set = type t may spawn
};

inline constexpr std::array<TLevelRow, 10> kLevelRows{{
    {70, 10, 0x6F},  // 0: levels 10, 20, ...
    {70, 10, 0x01},
    {70, 10, 0x03},
    {10, 70, 0x07},
    {70, 10, 0x0F},
    {70, 10, 0x2F},
    {10, 70, 0x6F},
    {70, 10, 0x6F},
    {70, 10, 0x6F},
    {10, 70, 0x6F},
}};

// What one fire of each fire type produces (fire type 6 drops a bonus instead).
struct TFireRow {
  uint8_t FireType;
  uint8_t Count;
  std::array<TFireShot, 3> Shots;
};

inline constexpr std::array<TFireRow, 6> kFireRows{{
    {0, 1, {{{0, sndShot, 5, 0, 0.0}}}},
    {1, 1, {{{1, sndSnarad, 0, 0, 0.0}}}},
    {2, 2, {{{1, sndSnarad, -5, 0, 0.0}, {1, sndSnarad, 5, 0, 0.0}}}},
    {3, 1, {{{2, sndSnarad, 0, 0, 0.0}}}},
    {4, 3, {{{2, sndSnarad, 0, 0, 0.0}, {2, sndSnarad, 0, 0, 0.5}, {2, sndSnarad, 0, 0, -0.5}}}},
    {31, 1, {{{2, sndSnarad, -30, -80, 0.0}}}},
}};

// The row of a fire type, or nullptr for the bonus drop and unknown types.
constexpr const TFireRow* FindFireRow(uint8_t fireType) {
  for (const TFireRow& row : kFireRows) {
    if (row.FireType == fireType) return &row;
  }
  return nullptr;
}
