#include "platform/SdlFrameCache.h"

#include <cstddef>
#include <cstring>

SdlFrameCache::SdlFrameCache(int32_t width, int32_t height) : width_(width), height_(height) {}

SdlFrameCache::TBand SdlFrameCache::Update(const uint32_t* pixels, int32_t pitch) {
  if (unchecked_ > 0) {
    --unchecked_;
    valid_ = false;
    return TBand{0, height_};
  }
  // Made on the first frame, not when the platform is.
  if (frame_.empty()) frame_.resize(static_cast<size_t>(width_) * height_);
  const size_t rowBytes = static_cast<size_t>(width_) * sizeof(uint32_t);
  const auto* source = reinterpret_cast<const unsigned char*>(pixels);
  int32_t first = -1;
  int32_t last = -1;
  for (int32_t y = 0; y < height_; ++y) {
    const unsigned char* row = source + static_cast<ptrdiff_t>(y) * pitch;
    uint32_t* cached = frame_.data() + static_cast<size_t>(y) * width_;
    if (valid_ && std::memcmp(cached, row, rowBytes) == 0) continue;
    std::memcpy(cached, row, rowBytes);
    if (first < 0) first = y;
    last = y;
  }
  valid_ = true;
  const TBand band = first < 0 ? TBand{} : TBand{first, last - first + 1};
  busyRun_ = band.Count * 10 >= height_ * 9 ? busyRun_ + 1 : 0;
  if (busyRun_ >= kBusyFrames) {
    busyRun_ = 0;
    unchecked_ = kUncheckedFrames;
  }
  return band;
}
