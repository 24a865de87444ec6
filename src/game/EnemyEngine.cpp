#include "game/EnemyEngine.h"

#include "game/Game.h"
#include "game/GameLayout.h"
#include "game/GameMath.h"

TEnemyEngine::TEnemyEngine(TGame& game) : game_(game) {}

TEnemyEngine::~TEnemyEngine() {
  // Each enemy uncounts itself on the way out; free them while Count is alive.
  for (auto& ship : Ships) ship.reset();
}

uint8_t TEnemyEngine::FirstFree() const {
  for (size_t i = 0; i < Ships.size(); ++i) {
    if (!Ships[i]) return static_cast<uint8_t>(i);
  }
  return kNoSlot;
}

TEnemyShip& TEnemyEngine::Place(uint8_t slot, uint8_t kind) {
  Ships[slot] = std::make_unique<TEnemyShip>(game_, kind);
  Ships[slot]->Serial = ++placed_;
  return *Ships[slot];
}

TEnemyShip* TEnemyEngine::Find(const TFleetHandle& handle) const {
  if (handle.Slot >= Ships.size()) return nullptr;
  TEnemyShip* enemy = Ships[handle.Slot].get();
  return enemy != nullptr && enemy->Serial == handle.Serial ? enemy : nullptr;
}

void TEnemyEngine::Clear() {
  for (auto& ship : Ships) ship.reset();
  game_.ClearBonuses();
}

void TEnemyEngine::RemoveGone() {
  for (auto& ship : Ships) {
    if (!ship) continue;
    const bool gone = ship->Kind == kSupplyPlane ? ship->Y < -72 : ship->Y > kScreenHeight;
    if (gone) ship.reset();
  }
}

void TEnemyEngine::Process(TSurface* back) {
  RemoveGone();
  for (auto& ship : Ships) {
    if (ship && !ship->Process(back)) ship.reset();
  }
  Now = game_.Tick();
  if (Elapsed(Now, LastSpawn, 200)) {
    if (game_.Random(10) == 3 && Count < 2) {
      const uint8_t slot = FirstFree();
      if (slot != kNoSlot) Place(slot, game_.PickEnemyType());
    }
    LastSpawn = game_.Tick();
  }
}
