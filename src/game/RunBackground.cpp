#include "game/RunBackground.h"

#include "assets/PackSlots.h"
#include "game/Game.h"
#include "game/GameLayout.h"
#include "game/GameMath.h"
#include "game/Island.h"
#include "graphics/Geometry.h"

namespace {
constexpr int16_t kTileWidth = 123;
constexpr int16_t kTileHeight = 247;
}  // namespace

TRunBackground::TRunBackground(TGame& game) : game_(game) {}

void TRunBackground::Process(TSurface* back) {
  if (const TSurface* tile = game_.Sprite(sprSea); tile && back) {
    for (int r = -1; r <= 3; ++r) {
      for (int k = 0; k <= 4; ++k) {
        DrawClipped(*tile, *back, TRect{0, 0, kTileWidth, kTileHeight},
                    static_cast<int16_t>(kSeaLeft + kTileWidth * k),
                    static_cast<int16_t>(kTileHeight * r + Scroll));
      }
    }
  }
  // The rows below the sea stay black, as they are on a cleared frame: with
  // them the game writes its whole frame and the shell need not clear it.
  if (back) {
    const TRect below{kSeaLeft, kSeaBottom, kSeaRight, back->Height()};
    (void)back->Blt(&below, nullptr, nullptr, kBltColorFill, 0);
  }
  Now = game_.Tick();
  if (!Elapsed(Now, LastMove, 20)) return;
  Scroll = static_cast<int16_t>(Scroll + 3);
  if (game_.Random(133) == 5) {
    for (size_t i = 0; i < game_.Islands.size(); ++i) {
      if (!game_.Islands[i]) {
        game_.Islands[i] = std::make_unique<TIsland>(game_, static_cast<uint8_t>(i));
        break;
      }
    }
  }
  if (Scroll >= 246) Scroll = 0;
  LastMove = game_.Tick();
}
