#include "game/Island.h"

#include "game/EnemyEngine.h"
#include "game/Game.h"
#include "game/GameLayout.h"
#include "game/GameMath.h"
#include "graphics/Geometry.h"

TIsland::TIsland(TGame& game, uint8_t slot)
    : Kind(static_cast<uint8_t>(game.Random(4))), Slot(slot), game_(game) {
  const TIslandKind& kind = kIslandKinds[Kind];
  LeftSide = Kind < 2;
  X = static_cast<int16_t>(LeftSide ? kSeaLeft : kSeaRight - kind.Width);
  Y = static_cast<int16_t>(-kind.Height);
  const uint8_t gunSlot = game_.Fleet->FirstFree();
  if (gunSlot == TEnemyEngine::kNoSlot) return;
  if (game_.Random(10) < 5) return;
  TEnemyShip& gun = game_.Fleet->Place(gunSlot, kIslandGun);
  Gun = game_.Fleet->Handle(gunSlot);
  gun.X = static_cast<int16_t>(X + kind.Width / 2);
  gun.Y = static_cast<int16_t>(Y + kind.Height / 2);
  gun.IslandOffset = static_cast<int16_t>(kind.Height / 2);
  gun.IslandY = &Y;
}

bool TIsland::Process(TSurface* back) {
  const TIslandKind& kind = kIslandKinds[Kind];
  if (const TSurface* image = game_.Sprite(kind.Sprite); image && back) {
    DrawClipped(*image, *back, TRect{0, 0, kind.Width, kind.Height}, X, Y);
  }
  Now = game_.Tick();
  if (Elapsed(Now, LastMove, 20)) {
    Y = static_cast<int16_t>(Y + 3);
    LastMove = game_.Tick();
    if (Y > kScreenHeight) return false;
  }
  return true;
}
