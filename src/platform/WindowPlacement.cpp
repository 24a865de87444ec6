#include "platform/WindowPlacement.h"

#include <algorithm>
#include <cmath>

namespace window_placement {

namespace {

// One axis: the outer span [pos - before, pos + size + after) inside
// [start, start + length). The low edge wins when both cannot hold.
int32_t KeptOnAxis(int32_t pos, int32_t size, int32_t before, int32_t after, int32_t start,
                   int32_t length) {
  pos = std::min(pos, start + length - after - size);
  return std::max(pos, start + before);
}

int32_t Units(int32_t pixels, double density) {
  return std::max<int32_t>(1, static_cast<int32_t>(std::lround(pixels / density)));
}

}  // namespace

int32_t Scale(int32_t usableWidth, int32_t usableHeight, int32_t requested) {
  if (requested >= 1) return requested;
  // 90 %: room for the title bar, the borders and a margin of desktop.
  const int64_t w = static_cast<int64_t>(std::max(usableWidth, 0)) * 9 / 10;
  const int64_t h = static_cast<int64_t>(std::max(usableHeight, 0)) * 9 / 10;
  return static_cast<int32_t>(std::max<int64_t>(1, std::min(w / kFrameWidth, h / kFrameHeight)));
}

TWindowPlacement Centred(const TRect& usable, int32_t requestedScale, double density,
                         const TFrameBorders& borders) {
  if (!(density > 0.0)) density = 1.0;
  TWindowPlacement out;
  out.Scale = Scale(static_cast<int32_t>(usable.Width() * density),
                    static_cast<int32_t>(usable.Height() * density), requestedScale);
  const int32_t w = Units(kFrameWidth * out.Scale, density);
  const int32_t h = Units(kFrameHeight * out.Scale, density);
  out.Fits = w + borders.Left + borders.Right <= usable.Width() &&
             h + borders.Top + borders.Bottom <= usable.Height();
  const TRect centred{usable.Left + (usable.Width() - w) / 2,
                      usable.Top + (usable.Height() - h) / 2, 0, 0};
  out.Client = KeptInside(TRect{centred.Left, centred.Top, centred.Left + w, centred.Top + h},
                          usable, borders);
  return out;
}

TRect KeptInside(const TRect& client, const TRect& usable, const TFrameBorders& borders) {
  const int32_t x = KeptOnAxis(client.Left, client.Width(), borders.Left, borders.Right,
                               usable.Left, usable.Width());
  const int32_t y = KeptOnAxis(client.Top, client.Height(), borders.Top, borders.Bottom, usable.Top,
                               usable.Height());
  return TRect{x, y, x + client.Width(), y + client.Height()};
}

}  // namespace window_placement
