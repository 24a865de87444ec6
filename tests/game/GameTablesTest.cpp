#include <gtest/gtest.h>

#include <array>
#include <map>

#include "game/GameRig.h"
#include "game/GameTables.h"
#include "graphics/ImageSlots.h"

namespace {

TEST(GameTables, EnemyRowsMatchTheirImagesGunsAndMounts) {
  for (int t = 0; t < kEnemyTypeCount; ++t) {
    SCOPED_TRACE(t);
    const TEnemyKind& kind = kEnemyKinds[static_cast<size_t>(t)];
    EXPECT_EQ(kind.Sprite, 17 + t);
    EXPECT_GT(kind.Width, 0);
    EXPECT_GT(kind.Height, 0);
    EXPECT_GE(kind.Frames, 1);
    EXPECT_LT(kind.Model, kGunModels.size());
    // Every enemy's gun fires a known fire type, or drops bonuses.
    EXPECT_TRUE(FindFireRow(kind.FireType) != nullptr || kind.FireType == kFireDropBonus);
    // Mount row of the enemy's gun exists.
    EXPECT_LT(static_cast<size_t>(t + 3), kMounts.size());
    // Only enemies that can be spawned or placed fit the 20-slot fleet's sea.
    EXPECT_LE(kind.Width, 604 - 196);
  }
  // Only the Bomber is animated, four frames stacked in a 224-pixel image.
  EXPECT_EQ(kEnemyKinds[kBomber].Frames, 4);
  EXPECT_EQ(kEnemyKinds[kBomber].Height * 4, 224);
}

TEST(GameTables, ShotGunAndBonusSpritesLieInTheSpriteSlots) {
  for (const TGunModel& model : kGunModels) EXPECT_LT(model.Sprite, kSpriteImageCount);
  for (size_t i = 0; i < kShotKinds.size(); ++i) {
    EXPECT_EQ(kShotKinds[i].Sprite, 29 + i);
    EXPECT_LT(kShotKinds[i].PivotX, kShotKinds[i].Width);
    EXPECT_LT(kShotKinds[i].PivotY, kShotKinds[i].Height);
  }
  for (size_t i = 0; i < kBonusKinds.size(); ++i) EXPECT_EQ(kBonusKinds[i].Sprite, 34 + i);
  for (size_t i = 0; i < kIslandKinds.size(); ++i) EXPECT_EQ(kIslandKinds[i].Sprite, 6 + i);
}

TEST(GameTables, FireTypesFireTheShotsOfTheirWeapons) {
  struct TCase {
    uint8_t FireType;
    uint8_t Count;
    uint8_t Kind;
    int Damage;  // per shot
  };
  const TCase cases[] = {{0, 1, 0, 2},  {1, 1, 1, 5},  {2, 2, 1, 5},
                         {3, 1, 2, 15}, {4, 3, 2, 15}, {31, 1, 2, 15}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.FireType));
    const TFireRow* row = FindFireRow(c.FireType);
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(row->Count, c.Count);
    for (uint8_t i = 0; i < row->Count; ++i) {
      EXPECT_EQ(row->Shots[i].Kind, c.Kind);
      EXPECT_EQ(kShotKinds[row->Shots[i].Kind].Damage, c.Damage);
    }
  }
  EXPECT_EQ(FindFireRow(kFireDropBonus), nullptr);
  EXPECT_EQ(FindFireRow(5), nullptr);
}

TEST(GameTables, LevelRowsNeverSpawnIslandGunsOrTypeEight) {
  for (const TLevelRow& row : kLevelRows) {
    EXPECT_EQ(row.AllowedMask & (1u << kIslandGun), 0u);
    EXPECT_EQ(row.AllowedMask & ~0xFFu, 0u);
    EXPECT_NE(row.AllowedMask & 1u, 0u);  // Cutters on every level
  }
}

// Share of each enemy type over many spawns of one level.
std::map<int, double> SpawnShares(TGameRig& rig, uint8_t level, int draws) {
  rig.Game->Level = level;
  std::map<int, int> counts;
  for (int i = 0; i < draws; ++i) ++counts[rig.Game->PickEnemyType()];
  std::map<int, double> shares;
  for (const auto& [type, n] : counts) shares[type] = static_cast<double>(n) / draws;
  return shares;
}

TEST(GameSession, EnemyTypeStatisticsFollowTheLevelRows) {
  struct TCase {
    uint8_t Level;
    std::map<int, double> Expected;  // type -> share
  };
  // Ships share a/(accepted) of the draws, aircraft the rest; one in ten
  // becomes a supply plane.
  const TCase cases[] = {
      {1, {{0, 0.90}, {7, 0.10}}},
      {2, {{0, 0.45}, {1, 0.45}, {7, 0.10}}},
      {3, {{0, 0.30}, {1, 0.30}, {2, 0.30}, {7, 0.10}}},
      {4, {{0, 0.225}, {1, 0.225}, {2, 0.225}, {3, 0.225}, {7, 0.10}}},
      {6,
       {{0, 0.0434}, {1, 0.0434}, {2, 0.0434}, {3, 0.0434}, {5, 0.3632}, {6, 0.3632}, {7, 0.10}}},
      {9,
       {{0, 0.0434}, {1, 0.0434}, {2, 0.0434}, {3, 0.0434}, {5, 0.3632}, {6, 0.3632}, {7, 0.10}}},
      {10,
       {{0, 0.2075}, {1, 0.2075}, {2, 0.2075}, {3, 0.2075}, {5, 0.0351}, {6, 0.0351}, {7, 0.10}}},
      {11, {{0, 0.90}, {7, 0.10}}},
  };
  TGameRig rig(20261207);
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Level));
    const auto shares = SpawnShares(rig, c.Level, 40000);
    for (const auto& [type, share] : shares) {
      ASSERT_TRUE(c.Expected.count(type)) << "type " << type << " spawned";
    }
    for (const auto& [type, expected] : c.Expected) {
      const double got = shares.count(type) ? shares.at(type) : 0.0;
      EXPECT_NEAR(got, expected, 0.012) << "type " << type;
    }
  }
}

TEST(GameSession, PickEnemyTypeEndsWithAFrozenClock) {
  // The clock never moves here: every pick must still end.
  TGameRig rig(7);
  for (const uint8_t level : std::initializer_list<uint8_t>{1, 2, 3, 5, 6, 10, 255}) {
    rig.Game->Level = level;
    for (int i = 0; i < 200; ++i) {
      const uint8_t type = rig.Game->PickEnemyType();
      EXPECT_NE(type, kIslandGun);
      EXPECT_LE(type, kSupplyPlane);
    }
  }
}

}  // namespace
