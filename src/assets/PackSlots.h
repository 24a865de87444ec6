#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// Every picture of the image pack (Data/Data.pp), in pack order: the 42
// sprites, then the 34 menu pictures. The game, the shell, the widgets, the
// help pages and the asset forge name a picture only through these slots.

// SpriteImages slot s holds pack image s.
enum TSpriteSlot : uint8_t {
  sprLeftPanel = 0,
  sprRightPanel = 1,
  sprLife = 2,
  sprHealthBar = 3,
  sprWeaponFrame = 4,
  sprSea = 5,
  sprIsland0 = 6,  // islands 0..3 follow in order
  sprIsland1 = 7,
  sprIsland2 = 8,
  sprIsland3 = 9,
  sprBlast = 10,  // explosion kinds 0..4 follow in order
  sprExplosion = 11,
  sprSplash = 12,
  sprSmoke = 13,
  sprImpact = 14,
  sprBuoy = 15,
  sprLifebelt = 16,
  sprCutter = 17,  // enemy types 0..7 follow in order
  sprDestroyer = 18,
  sprCruiser = 19,
  sprBattleShip = 20,
  sprIslandGun = 21,
  sprBomber = 22,
  sprHelicopter = 23,
  sprSupplyPlane = 24,
  sprPlayerShip = 25,
  sprGun0 = 26,  // gun models 0..2 follow in order
  sprGun1 = 27,
  sprGun2 = 28,
  sprBullet = 29,  // shot kinds 0..3 follow in order
  sprShell = 30,
  sprRocket = 31,
  sprTracer = 32,
  sprWeaponIcons = 33,
  sprBonusRocket = 34,  // bonus kinds 0..7 follow in order
  sprBonusGun = 35,
  sprBonusRocket3x = 36,
  sprBonusGun2x = 37,
  sprBonusFirstAid = 38,
  sprBonusIce = 39,
  sprBonusCoins = 40,
  sprBonusMegaBomb = 41,
};
inline constexpr int kSpriteImageCount = 42;

// MenuImages slot m holds pack image kSpriteImageCount + m.
enum TMenuSlot : uint8_t {
  mnuBackground = 0,
  mnuNewGame = 1,  // the main menu's highlights 1..6 follow in order
  mnuOptions = 2,
  mnuHighScores = 3,
  mnuHelp = 4,
  mnuHomePage = 5,
  mnuExit = 6,
  mnuWindowed = 7,
  mnuFullScreen = 8,
  mnuFocusFrame = 9,
  mnuHighScorePanel = 10,
  mnuClearTable = 11,
  mnuWorldScores = 12,
  mnuOptionsPanel = 13,
  mnuHelpPanel = 14,
  mnuHelpBack = 15,
  mnuHelpNext = 16,
  mnuToggleOn = 17,
  mnuToggleOff = 18,
  mnuDialogBox = 19,
  mnuAboutPicture = 20,
  mnuPauseLine = 21,
  mnuSpare22 = 22,
  mnuOptionsMarker = 23,  // the markers of options, high scores and help
  mnuHighScoresMarker = 24,
  mnuHelpMarker = 25,
  mnuSpare26 = 26,
  mnuSpare27 = 27,
  mnuSpare28 = 28,
  mnuTitle = 29,
  mnuSpare30 = 30,
  mnuSpare31 = 31,
  mnuSpare32 = 32,
  mnuSpare33 = 33,
};
inline constexpr int kMenuImageCount = 34;
inline constexpr int kPackImageCount = kSpriteImageCount + kMenuImageCount;

// One picture of the pack: its name (the forge's contact sheet), its place in
// the pack file, and whether it is drawn without colour key (stored flat,
// never keyed).
struct TPackSlot {
  std::string_view Name;
  int Index = 0;
  bool Opaque = false;
};

constexpr int PackIndex(TSpriteSlot slot) {
  return slot;
}
constexpr int PackIndex(TMenuSlot slot) {
  return kSpriteImageCount + slot;
}

inline constexpr std::array<TPackSlot, kPackImageCount> kPackSlots{{
    {"left panel", PackIndex(sprLeftPanel), false},
    {"right panel", PackIndex(sprRightPanel), false},
    {"life", PackIndex(sprLife), false},
    {"health", PackIndex(sprHealthBar), false},
    {"weapon frame", PackIndex(sprWeaponFrame), false},
    {"sea", PackIndex(sprSea), true},
    {"island 0", PackIndex(sprIsland0), false},
    {"island 1", PackIndex(sprIsland1), false},
    {"island 2", PackIndex(sprIsland2), false},
    {"island 3", PackIndex(sprIsland3), false},
    {"blast", PackIndex(sprBlast), false},
    {"explosion 1", PackIndex(sprExplosion), false},
    {"splash", PackIndex(sprSplash), false},
    {"smoke", PackIndex(sprSmoke), false},
    {"impact", PackIndex(sprImpact), false},
    {"buoy", PackIndex(sprBuoy), false},
    {"lifebelt", PackIndex(sprLifebelt), false},
    {"Cutter", PackIndex(sprCutter), false},
    {"Destroyer", PackIndex(sprDestroyer), false},
    {"Cruiser", PackIndex(sprCruiser), false},
    {"BattleShip", PackIndex(sprBattleShip), false},
    {"gun", PackIndex(sprIslandGun), false},
    {"Bomber", PackIndex(sprBomber), false},
    {"Helicopter", PackIndex(sprHelicopter), false},
    {"supply", PackIndex(sprSupplyPlane), false},
    {"player", PackIndex(sprPlayerShip), false},
    {"gun 0", PackIndex(sprGun0), false},
    {"gun 1", PackIndex(sprGun1), false},
    {"gun 2", PackIndex(sprGun2), false},
    {"bullet", PackIndex(sprBullet), false},
    {"shell", PackIndex(sprShell), false},
    {"rocket", PackIndex(sprRocket), false},
    {"tracer", PackIndex(sprTracer), false},
    {"weapons", PackIndex(sprWeaponIcons), false},
    {"Rocket", PackIndex(sprBonusRocket), false},
    {"Gun", PackIndex(sprBonusGun), false},
    {"Rocket 3x", PackIndex(sprBonusRocket3x), false},
    {"Gun 2x", PackIndex(sprBonusGun2x), false},
    {"First-aid", PackIndex(sprBonusFirstAid), false},
    {"Ice", PackIndex(sprBonusIce), false},
    {"Coins", PackIndex(sprBonusCoins), false},
    {"Mega-Bomb", PackIndex(sprBonusMegaBomb), false},
    {"menu 0", PackIndex(mnuBackground), true},
    {"menu 1", PackIndex(mnuNewGame), false},
    {"menu 2", PackIndex(mnuOptions), false},
    {"menu 3", PackIndex(mnuHighScores), false},
    {"menu 4", PackIndex(mnuHelp), false},
    {"menu 5", PackIndex(mnuHomePage), false},
    {"menu 6", PackIndex(mnuExit), false},
    {"menu 7", PackIndex(mnuWindowed), false},
    {"menu 8", PackIndex(mnuFullScreen), false},
    {"menu 9", PackIndex(mnuFocusFrame), false},
    {"menu 10", PackIndex(mnuHighScorePanel), true},
    {"menu 11", PackIndex(mnuClearTable), false},
    {"menu 12", PackIndex(mnuWorldScores), false},
    {"menu 13", PackIndex(mnuOptionsPanel), true},
    {"menu 14", PackIndex(mnuHelpPanel), true},
    {"menu 15", PackIndex(mnuHelpBack), false},
    {"menu 16", PackIndex(mnuHelpNext), false},
    {"menu 17", PackIndex(mnuToggleOn), false},
    {"menu 18", PackIndex(mnuToggleOff), false},
    {"menu 19", PackIndex(mnuDialogBox), true},
    {"menu 20", PackIndex(mnuAboutPicture), false},
    {"menu 21", PackIndex(mnuPauseLine), false},
    {"menu 22", PackIndex(mnuSpare22), false},
    {"menu 23", PackIndex(mnuOptionsMarker), true},
    {"menu 24", PackIndex(mnuHighScoresMarker), true},
    {"menu 25", PackIndex(mnuHelpMarker), true},
    {"menu 26", PackIndex(mnuSpare26), false},
    {"menu 27", PackIndex(mnuSpare27), false},
    {"menu 28", PackIndex(mnuSpare28), false},
    {"menu 29", PackIndex(mnuTitle), false},
    {"menu 30", PackIndex(mnuSpare30), false},
    {"menu 31", PackIndex(mnuSpare31), false},
    {"menu 32", PackIndex(mnuSpare32), false},
    {"menu 33", PackIndex(mnuSpare33), false},
}};

// Each row sits at its own pack index, so the table is the pack's order.
constexpr bool PackSlotsInOrder() {
  for (size_t i = 0; i < kPackSlots.size(); ++i) {
    if (kPackSlots[i].Index != static_cast<int>(i)) return false;
  }
  return true;
}
static_assert(PackSlotsInOrder(), "kPackSlots rows must be in pack order");
