#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The last frame handed to the window, kept to find what the next one
// changes: the presenter uploads only the band of rows that differ and skips
// a frame that is identical to the one on screen. Pixels are 32-bit words.
class SdlFrameCache {
 public:
  SdlFrameCache(int32_t width, int32_t height);

  // Rows [First, First + Count) differ from the cached frame; Count 0: none.
  struct TBand {
    int32_t First = 0;
    int32_t Count = 0;
  };

  // Compares `pixels` (rows `pitch` bytes apart) with the cached frame row by
  // row, copies the rows that differ into the cache and returns the band
  // that holds them; after Invalidate() the whole frame counts as changed.
  TBand Update(const uint32_t* pixels, int32_t pitch);
  // The next Update reports every row (the window lost what it showed).
  void Invalidate() { valid_ = false; }

  const uint32_t* Row(int32_t y) const { return frame_.data() + static_cast<size_t>(y) * width_; }
  int32_t Pitch() const { return width_ * static_cast<int32_t>(sizeof(uint32_t)); }

 private:
  int32_t width_;
  int32_t height_;
  std::vector<uint32_t> frame_;
  bool valid_ = false;
};
