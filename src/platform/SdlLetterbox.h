#pragma once

#include <cstdint>

#include "platform/FrameSize.h"

// Where the 800 x 600 frame lands in an output area of any size: the largest
// 4:3 rectangle that fits, centred, with black bars on the other sides. Used
// both for drawing (in renderer pixels) and for mapping the pointer (in window
// coordinates) between the window and the frame.
struct SdlLetterbox {
  static constexpr int32_t kFrameWidth = ::kFrameWidth;
  static constexpr int32_t kFrameHeight = ::kFrameHeight;

  int32_t X = 0;
  int32_t Y = 0;
  int32_t W = kFrameWidth;
  int32_t H = kFrameHeight;

  static SdlLetterbox Fit(int32_t outWidth, int32_t outHeight);

  // Output point -> frame pixel, clamped into the frame (a pointer over a bar
  // counts as the nearest edge pixel).
  void ToFrame(int32_t outX, int32_t outY, int32_t& frameX, int32_t& frameY) const;
  // Frame pixel -> an output point that shows it (its first one).
  void ToOutput(int32_t frameX, int32_t frameY, int32_t& outX, int32_t& outY) const;

  friend bool operator==(const SdlLetterbox&, const SdlLetterbox&) = default;
};
