#pragma once

#include <cstdint>

#include "platform/Platform.h"

// True when (x, y) lies strictly inside the rectangle: a point on any edge is
// outside.
constexpr bool PointInRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x,
                           int32_t y) {
  return left < x && x < right && top < y && y < bottom;
}

constexpr bool PointInRect(const TRect& rect, int32_t x, int32_t y) {
  return PointInRect(rect.Left, rect.Top, rect.Right, rect.Bottom, x, y);
}
