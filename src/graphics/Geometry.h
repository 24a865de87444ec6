#pragma once

#include <cstdint>

#include "graphics/Surface.h"

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// (b.x - a.x, b.y - a.y)
TPoint PointDelta(TPoint a, TPoint b);
// round(v.x cos - v.y sin) and round(v.x sin + v.y cos), halves to even.
int32_t RotateX(TPoint v, double cosine, double sine);
int32_t RotateY(TPoint v, double cosine, double sine);

// Draws the (width x height) top-left area of `source` turned by angle + pi
// about `pivot`, the pivot landing at (anchorX - pivot.X, anchorY - pivot.Y).
// Writes only inside columns kSeaLeft..kSeaRight and rows 0..kSeaBottom (the
// gap copy may reach one column or row further). Draws nothing when a surface
// cannot be locked.
void DrawRotated(TSurface& source, TSurface& destination, TPoint pivot, double angle,
                 uint16_t width, uint16_t height, uint16_t anchorX, uint16_t anchorY);

// Keyed, do-not-wait blit of `rect` (left, top, right, bottom) of `source` to
// (x, y), clipped to the 800 columns and the kSeaBottom rows above the frame's
// two bottom rows.
void DrawClipped(const TSurface& source, TSurface& destination, TRect rect, int16_t x, int16_t y);
