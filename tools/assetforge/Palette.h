#pragma once

#include <cstdint>

// One colour in 0..1 components, as cairo takes them.
struct TColor {
  double r = 0, g = 0, b = 0, a = 1;

  static constexpr TColor Hex(uint32_t rgb, double alpha = 1) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
  }
  constexpr TColor WithAlpha(double alpha) const { return {r, g, b, alpha}; }
  // Mixes toward `other` by t (0 = this, 1 = other).
  constexpr TColor Mix(const TColor& other, double t) const {
    return {r + (other.r - r) * t, g + (other.g - g) * t, b + (other.b - b) * t,
            a + (other.a - a) * t};
  }
};

// The naval palette every picture is drawn from.
namespace palette {
inline constexpr TColor kSeaDeep = TColor::Hex(0x0E3A5C);
inline constexpr TColor kSeaMid = TColor::Hex(0x17557F);
inline constexpr TColor kSeaLight = TColor::Hex(0x2A7AA8);
inline constexpr TColor kFoam = TColor::Hex(0xE8F4F8);
inline constexpr TColor kSand = TColor::Hex(0xE2C98F);
inline constexpr TColor kSandDark = TColor::Hex(0xB89B62);
inline constexpr TColor kShallow = TColor::Hex(0x4FB3C4);
inline constexpr TColor kRock = TColor::Hex(0x7A7570);
inline constexpr TColor kRockDark = TColor::Hex(0x4E4A46);
inline constexpr TColor kPalm = TColor::Hex(0x2F7A3A);
inline constexpr TColor kPalmLight = TColor::Hex(0x57A84E);
inline constexpr TColor kHullGrey = TColor::Hex(0x8A949C);
inline constexpr TColor kHullDark = TColor::Hex(0x4A545C);
inline constexpr TColor kDeck = TColor::Hex(0xB8A47E);
inline constexpr TColor kEnemyHull = TColor::Hex(0x6B5E55);
inline constexpr TColor kEnemyDark = TColor::Hex(0x3E3530);
inline constexpr TColor kEnemyAccent = TColor::Hex(0x9C3B2E);
inline constexpr TColor kPlayerHull = TColor::Hex(0x5E7E96);
inline constexpr TColor kPlayerAccent = TColor::Hex(0x1F4E79);
inline constexpr TColor kSteel = TColor::Hex(0x6E7A84);
inline constexpr TColor kSteelLight = TColor::Hex(0xC4CED6);
inline constexpr TColor kBrass = TColor::Hex(0xD9A441);
inline constexpr TColor kNavy = TColor::Hex(0x003399);    // the menus' dark blue text
inline constexpr TColor kOrange = TColor::Hex(0xFF9900);  // the menus' highlight text
inline constexpr TColor kPanel = TColor::Hex(0xD8CFB6);   // parchment of panels
inline constexpr TColor kPanelEdge = TColor::Hex(0x8C7A55);
inline constexpr TColor kRed = TColor::Hex(0xC8302A);
inline constexpr TColor kGreen = TColor::Hex(0x3CA33A);
inline constexpr TColor kWhite = TColor::Hex(0xF4F4F0);
inline constexpr TColor kBlack = TColor::Hex(0x141414);
inline constexpr TColor kShadow = TColor::Hex(0x000000, 0.35);
}  // namespace palette
