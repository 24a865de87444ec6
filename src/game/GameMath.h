#pragma once

#include <cmath>
#include <cstdint>

#include "graphics/FrameGeometry.h"  // kHalfPi, RoundEven
#include "platform/Platform.h"

// Small helpers shared by the game objects.

// Every timer test: strictly more than `ms` since `since`, on the wrapping 32-bit tick.
inline bool Elapsed(uint32_t now, uint32_t since, uint32_t ms) {
  return static_cast<uint32_t>(now - since) > ms;
}

inline TRect BoxAt(int32_t x, int32_t y, int32_t width, int32_t height) {
  return TRect{x, y, x + width, y + height};
}

// Two boxes overlap when their intersection has positive width and height.
inline bool Overlap(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}
