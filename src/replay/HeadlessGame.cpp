#include "replay/HeadlessGame.h"

THeadlessGame::THeadlessGame(const TGameStart& start)
    : context_{images_, nullptr, sound_, music_, *this, snapshot_},
      game_(std::make_unique<TGame>(context_, start)) {}

THeadlessGame::~THeadlessGame() = default;

bool THeadlessGame::Step(const TFrameInput& input) {
  const bool before = ended_;
  game_->RunFrame(input, nullptr);
  return ended_ && !before;
}
