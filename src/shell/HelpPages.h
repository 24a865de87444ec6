#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "assets/PackSlots.h"

// The fixed texts of the help and About pages: one line of text at its
// top-left corner on the 800 x 600 frame.
struct THelpLine {
  int32_t X = 0;
  int32_t Y = 0;
  std::string_view Text;
};

// A bonus row of the third help page: the icon's sprite slot at (590, Y) and
// its name at (630, Y + 5).
struct THelpBonus {
  int32_t Y = 0;
  TSpriteSlot SpriteSlot{};
  std::string_view Name;
};

inline constexpr int32_t kHelpHeadingX = 320;
inline constexpr int32_t kHelpHeadingY = 170;

// Page 1, drawn 14 x 8 without shadow.
inline constexpr std::array<THelpLine, 9> kStoryLines{{
    {340, 200, "A line boat that was on an intercontinental cruise"},
    {320, 220, "was hijacked. There were a lot of rich people aboard."},
    {320, 240, "The terrorists who have a lot of military vessels at their"},
    {320, 260, "disposal hijacked this watercraft. Your mission is to"},
    {320, 280, "destroy all of the terrorists and save hostages lives. "},
    {340, 300, "An armed ship is your sword of justice. From time to "},
    {320, 320, "time you are supplied with ammunitions from the air.If"},
    {320, 340, "you collect different objects, you will get additional"},
    {320, 360, "arms and scores."},
}};

// Page 2, drawn 14 x 8 without shadow, below two headings; the gamepad's
// lines close the game section.
inline constexpr int32_t kGameHeadingY = 300;
inline constexpr std::array<THelpLine, 15> kControlLines{{
    {320, 200, "Use the cursor keys or mouse to move the menu cursor"},
    {320, 215, "up and down. Press the \"Enter\" key or any mouse button"},
    {320, 230, "to enter menu options. Press the \"Left Arrow\", \"Right"},
    {320, 245, "Arrow\", \"Enter\" keys or any mouse button to change a"},
    {320, 260, "menu option. Press \"Esc\" to back from the submenu to"},
    {320, 275, "Main Menu"},
    {320, 330, "Use the arrow keys or mouse to move the spaceship and"},
    {320, 345, "rotate the gun. Press \"Ctrl\" key or left mouse button"},
    {320, 360, "to fire. Press \"Space\" key or mouse wheel to change the"},
    {320, 375, "gun. Use \"P\" to pause or resume the game. Use \"Escape\""},
    {320, 390, "key to quit the game to Main Menu. Use \"Alt\"+\"Enter\""},
    {320, 405, "keys to change window/full screen modes."},
    {320, 420, "Gamepad: the stick or D-pad moves and aims, \"A\" or the"},
    {320, 435, "right trigger fires, \"X\", \"Y\" or a shoulder changes the"},
    {320, 450, "gun, \"Start\" pauses, \"Back\" quits, \"B\" goes back."},
}};

// Page 3: enemies drawn 18 x 10 without shadow (the blanks align the dashes),
// then the bonus icons with their names.
inline constexpr int32_t kBonusHeadingX = 580;
inline constexpr std::array<THelpLine, 6> kEnemyLines{{
    {330, 200, "Cutter        - 15 scores"},
    {330, 220, "Destroyer  - 25 scores"},
    {330, 240, "Crulser      - 50 scores"},
    {330, 260, "BattleShip - 75 scores"},
    {330, 280, "Bomber     - 25 scores"},
    {330, 300, "Helicopter - 50 scores"},
}};
inline constexpr int32_t kBonusIconX = 590;
inline constexpr int32_t kBonusNameX = 630;
inline constexpr std::array<THelpBonus, 8> kBonusRows{{
    {200, sprBonusGun, "Gun"},
    {225, sprBonusGun2x, "Gun 2x"},
    {250, sprBonusRocket, "Rocket"},
    {275, sprBonusRocket3x, "Rocket 3x"},
    {300, sprBonusFirstAid, "First-aid set"},
    {325, sprBonusIce, "Ice"},
    {350, sprBonusCoins, "Coins"},
    {375, sprBonusMegaBomb, "Mega-Bomb"},
}};

// About page: the title and the two publisher lines, beside the picture.
inline constexpr THelpLine kAboutTitle{460, 250, "Tidal Lynx v.2.0"};
inline constexpr std::array<THelpLine, 2> kPublisherLines{{
    {460, 290, "Tidal Lynx Team"},
    {460, 310, "Linux edition 2026"},
}};
