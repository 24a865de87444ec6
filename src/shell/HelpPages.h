#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "assets/PackSlots.h"
#include "graphics/DeviceContext.h"
#include "i18n/Gettext.h"
#include "shell/ScreenLayout.h"

// The fixed texts of the help and About pages: one line of text at its
// top-left corner on the 800 x 600 frame, English here and drawn in the
// player's language.
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

// The lines' standard font (no shadow); a translation too long for its box
// steps down from it (FittingFont). The text's box ends inside the frame
// drawn at the panel picture's right edge, the enemies' column at the bonus
// icons.
inline constexpr TFontSpec kHelpTextFont{14, 8, 800};
inline constexpr TFontSpec kEnemyTextFont{18, 10, 800};
inline constexpr int32_t kHelpTextRight = screen_layout::kPanel.Right - 16;

// Page 1, in kHelpTextFont.
inline constexpr std::array<THelpLine, 9> kStoryLines{{
    // TRANSLATORS: Help page 1: the nine lines are one story told in two
    // paragraphs (the second starts at line 6). Split yours across them as it
    // reads best, each line at most as wide as the English.
    {340, 200, N_("A line boat that was on an intercontinental cruise")},
    {320, 220, N_("was hijacked. There were a lot of rich people aboard.")},
    {320, 240, N_("The terrorists who have a lot of military vessels at their")},
    {320, 260, N_("disposal hijacked this watercraft. Your mission is to")},
    {320, 280, N_("destroy all of the terrorists and save hostages lives. ")},
    {340, 300, N_("An armed ship is your sword of justice. From time to ")},
    {320, 320, N_("time you are supplied with ammunitions from the air.If")},
    {320, 340, N_("you collect different objects, you will get additional")},
    {320, 360, N_("arms and scores.")},
}};

// Page 2, in kHelpTextFont below two headings; the gamepad's
// lines close the game section.
inline constexpr int32_t kGameHeadingY = 300;
inline constexpr std::array<THelpLine, 15> kControlLines{{
    // TRANSLATORS: Help page 2, lines 1-6: one text about the menus. Split
    // yours across them as it reads best, each line at most as wide as the
    // English. Key names in quotes are the keys' own labels.
    {320, 200, N_("Use the cursor keys or mouse to move the menu cursor")},
    {320, 215, N_("up and down. Press the \"Enter\" key or any mouse button")},
    {320, 230, N_("to enter menu options. Press the \"Left Arrow\", \"Right")},
    {320, 245, N_("Arrow\", \"Enter\" keys or any mouse button to change a")},
    {320, 260, N_("menu option. Press \"Esc\" to back from the submenu to")},
    {320, 275, N_("Main Menu")},
    // TRANSLATORS: Help page 2, lines 7-15: one text about the game, as
    // lines 1-6 are about the menus.
    {320, 330, N_("Use the arrow keys or mouse to move the spaceship and")},
    {320, 345, N_("rotate the gun. Press \"Ctrl\" key or left mouse button")},
    {320, 360, N_("to fire. Press \"Space\" key or mouse wheel to change the")},
    {320, 375, N_("gun. Use \"P\" to pause or resume the game. Use \"Escape\"")},
    {320, 390, N_("key to quit the game to Main Menu. Use \"Alt\"+\"Enter\"")},
    {320, 405, N_("keys to change window/full screen modes.")},
    {320, 420, N_("Gamepad: the stick or D-pad moves and aims, \"A\" or the")},
    {320, 435, N_("right trigger fires, \"X\", \"Y\" or a shoulder changes the")},
    {320, 450, N_("gun, \"Start\" pauses, \"Back\" quits, \"B\" goes back.")},
}};

// Page 3: enemies in kEnemyTextFont (the blanks align the dashes), then the
// bonus icons with their names in kHelpTextFont.
inline constexpr int32_t kBonusHeadingX = 580;
inline constexpr std::array<THelpLine, 6> kEnemyLines{{
    // TRANSLATORS: Help page 3: an enemy and the points it gives. The blanks
    // line up the dashes in the game's font; do the same for your names.
    {330, 200, N_("Cutter        - 15 scores")},
    {330, 220, N_("Destroyer  - 25 scores")},
    {330, 240, N_("Crulser      - 50 scores")},
    {330, 260, N_("BattleShip - 75 scores")},
    {330, 280, N_("Bomber     - 25 scores")},
    {330, 300, N_("Helicopter - 50 scores")},
}};
inline constexpr int32_t kBonusIconX = 590;
inline constexpr int32_t kBonusNameX = 630;
inline constexpr std::array<THelpBonus, 8> kBonusRows{{
    // TRANSLATORS: Help page 3: a bonus dropped by the supply plane, beside
    // its icon (at most 160 pixels).
    {200, sprBonusGun, N_("Gun")},
    {225, sprBonusGun2x, N_("Gun 2x")},
    {250, sprBonusRocket, N_("Rocket")},
    {275, sprBonusRocket3x, N_("Rocket 3x")},
    {300, sprBonusFirstAid, N_("First-aid set")},
    {325, sprBonusIce, N_("Ice")},
    {350, sprBonusCoins, N_("Coins")},
    {375, sprBonusMegaBomb, N_("Mega-Bomb")},
}};

// About page: the title and the two publisher lines, beside the picture.
inline constexpr THelpLine kAboutTitle{460, 250, "Tidal Lynx v.2.0"};
inline constexpr std::array<THelpLine, 2> kPublisherLines{{
    // TRANSLATORS: About page: who made the game.
    {460, 290, N_("Tidal Lynx Team")},
    // TRANSLATORS: About page: the edition and its year.
    {460, 310, N_("Linux edition 2026")},
}};
