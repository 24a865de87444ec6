#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The last frame handed to the window, kept to find what the next one
// changes: the presenter uploads only the band of rows that differ and skips
// a frame that is identical to the one on screen. Pixels are 32-bit words.
//
// While every frame changes nearly all of its rows (a battle scrolls the
// sea), comparing and keeping a copy only costs: after kBusyFrames such frames
// in a row the next kUncheckedFrames are reported whole without being looked
// at, then the frames are compared again.
class SdlFrameCache {
 public:
  static constexpr int kBusyFrames = 2;
  static constexpr int kUncheckedFrames = 30;

  SdlFrameCache(int32_t width, int32_t height);

  // Rows [First, First + Count) differ from the cached frame; Count 0: none.
  struct TBand {
    int32_t First = 0;
    int32_t Count = 0;
  };

  // Compares `pixels` (rows `pitch` bytes apart) with the cached frame row by
  // row, copies the rows that differ into the cache and returns the band
  // that holds them; after Invalidate(), and while busy frames go unchecked,
  // the whole frame counts as changed. The rows to show are always the
  // caller's: the cache holds them only while frames are checked.
  TBand Update(const uint32_t* pixels, int32_t pitch);
  // The next Update reports every row (the window lost what it showed).
  void Invalidate() { valid_ = false; }

 private:
  int32_t width_;
  int32_t height_;
  std::vector<uint32_t> frame_;
  bool valid_ = false;
  int busyRun_ = 0;    // frames in a row that changed nearly every row
  int unchecked_ = 0;  // frames still to report whole without a look
};
