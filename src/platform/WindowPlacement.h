#pragma once

#include <cstdint>

#include "platform/Platform.h"

// Where a windowed game stands on its display, worked out from rectangles
// alone so that every desktop can be tried without one.
//
// All rectangles are in window units, the coordinates the window system
// places windows in. `density` is how many real pixels one window unit holds
// (1 on most desktops, 2 on a doubled high-density one): the whole-number
// scale is chosen in real pixels, the size and the place in window units.
struct TFrameBorders {
  int32_t Top = 0;  // the title bar, as the window manager draws it
  int32_t Left = 0;
  int32_t Bottom = 0;
  int32_t Right = 0;
  friend bool operator==(const TFrameBorders&, const TFrameBorders&) = default;
};

struct TWindowPlacement {
  int32_t Scale = 1;
  TRect Client;  // the frame's area on the screen, without the borders
  // False when the window with its borders is larger than the usable area:
  // it then stands at the usable area's top-left corner.
  bool Fits = true;
};

namespace window_placement {

// The whole-number scale of a window: `requested` when it is 1 or more,
// otherwise the largest multiple of the frame within 90 % of the usable area
// (both in real pixels), and never below 1.
int32_t Scale(int32_t usableWidth, int32_t usableHeight, int32_t requested);

// The window centred on `usable` (the display without its panels) at the
// largest whole multiple of the frame within 90 % of it, or at
// `requestedScale` when that is 1 or more. The borders stay inside the usable
// area too; where they cannot, the top-left corner stays visible.
TWindowPlacement Centred(const TRect& usable, int32_t requestedScale, double density,
                         const TFrameBorders& borders);

// `client` moved as little as possible so that it and its borders lie inside
// `usable`; a window larger than the area keeps its top-left corner visible.
TRect KeptInside(const TRect& client, const TRect& usable, const TFrameBorders& borders);

}  // namespace window_placement
