#include "widgets/DDMainBtnCollection.h"

void TDDMainBtnCollection::Draw(TSurface& surface) {
  if (DrawAndTrack(surface)) context_.GameState = context_.MainMenuState;
}
