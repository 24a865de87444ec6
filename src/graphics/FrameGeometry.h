#pragma once

#include "platform/FrameSize.h"

#include <cmath>
#include <cstdint>
#include <numbers>

// The numbers the drawing routines share with the game above them, in
// back-buffer pixels and radians.

// The sea between the game screen's two side panels. Rotated sprites are
// written only inside columns kSeaLeft..kSeaRight and rows 0..kSeaBottom, and
// clipped sprites stop above row kSeaBottom: the two bottom rows of the frame
// are never reached by a sprite.
inline constexpr int16_t kSeaLeft = 118;
inline constexpr int16_t kSeaRight = 682;
inline constexpr int16_t kSeaBottom = 598;

// A quarter turn: the game's sprites point down at angle 0, so directions
// are the angle plus a quarter turn, and rotation picks its gap filler by
// quarter.
inline constexpr double kHalfPi = std::numbers::pi / 2.0;

// Round to the nearest integer, halves to the even neighbour (std::nearbyint
// under the default rounding mode).
inline int32_t RoundEven(double value) {
  return static_cast<int32_t>(std::nearbyint(value));
}
