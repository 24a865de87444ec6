#include "platform/SdlLetterbox.h"

#include <algorithm>

namespace {

int32_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return static_cast<int32_t>(q);
}

}  // namespace

SdlLetterbox SdlLetterbox::Fit(int32_t outWidth, int32_t outHeight) {
  SdlLetterbox box;
  if (outWidth <= 0 || outHeight <= 0) return box;  // nothing sensible to fit: 1:1
  const int64_t w = outWidth;
  const int64_t h = outHeight;
  if (w * kFrameHeight <= h * kFrameWidth) {
    // Width-limited: bars above and below.
    box.W = outWidth;
    box.H = static_cast<int32_t>((w * kFrameHeight + kFrameWidth / 2) / kFrameWidth);
  } else {
    box.H = outHeight;
    box.W = static_cast<int32_t>((h * kFrameWidth + kFrameHeight / 2) / kFrameHeight);
  }
  box.W = std::max(box.W, 1);
  box.H = std::max(box.H, 1);
  box.X = (outWidth - box.W) / 2;
  box.Y = (outHeight - box.H) / 2;
  return box;
}

void SdlLetterbox::ToFrame(int32_t outX, int32_t outY, int32_t& frameX, int32_t& frameY) const {
  const int32_t w = std::max(W, 1);
  const int32_t h = std::max(H, 1);
  frameX = FloorDiv(static_cast<int64_t>(outX - X) * kFrameWidth, w);
  frameY = FloorDiv(static_cast<int64_t>(outY - Y) * kFrameHeight, h);
  frameX = std::clamp(frameX, 0, kFrameWidth - 1);
  frameY = std::clamp(frameY, 0, kFrameHeight - 1);
}

void SdlLetterbox::ToOutput(int32_t frameX, int32_t frameY, int32_t& outX, int32_t& outY) const {
  // The first output pixel that ToFrame maps to at least this frame pixel:
  // with a scale of 1 or more that is exactly the pixel, so a warp lands where
  // the frame says.
  outX = X - FloorDiv(-static_cast<int64_t>(frameX) * W, kFrameWidth);
  outY = Y - FloorDiv(-static_cast<int64_t>(frameY) * H, kFrameHeight);
  outX = std::clamp(outX, X, X + std::max(W, 1) - 1);
  outY = std::clamp(outY, Y, Y + std::max(H, 1) - 1);
}
