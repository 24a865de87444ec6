#include "graphics/Surface.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool IsValidRectIn(const TRect& r, int32_t width, int32_t height) {
  // Empty or inverted rectangles are refused, never clipped; so is anything
  // reaching outside the surface.
  return r.Left < r.Right && r.Top < r.Bottom && r.Left >= 0 && r.Top >= 0 && r.Right <= width &&
         r.Bottom <= height;
}

// One row of a keyed copy: every source word that is not the key replaces
// the destination word. Runs for every sprite of every frame.
void CopyRowKeyed(uint32_t* dst, const uint32_t* src, int32_t count, uint32_t key) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i keys = _mm_set1_epi32(static_cast<int>(key));
  for (; i + 4 <= count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i mask = _mm_cmpeq_epi32(s, keys);
    const int transparent = _mm_movemask_epi8(mask);
    if (transparent == 0xFFFF) continue;  // all transparent
    if (transparent == 0) {
      // All opaque: a plain store, without waiting for the destination's words.
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
      continue;
    }
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i out = _mm_or_si128(_mm_and_si128(mask, d), _mm_andnot_si128(mask, s));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), out);
  }
#endif
  for (; i < count; ++i) {
    const uint32_t s = src[i];
    if (s != key) dst[i] = s;
  }
}

void FillRow(uint32_t* dst, int32_t count, uint32_t colour) {
  std::fill_n(dst, count, colour);
}

}  // namespace

TSurface::TSurface(int32_t width, int32_t height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0u) {}

HResult TSurface::Blt(const TRect* dstRect, const TSurface* src, const TRect* srcRect,
                      uint32_t flags, uint32_t fillColour) {
  if (lost_ || (src != nullptr && src->lost_)) return kDdErrSurfaceLost;
  if ((busy_ || (src != nullptr && src->busy_)) && (flags & kBltWait) == 0) {
    return kDdErrWasStillDrawing;
  }
  if (locked_ || (src != nullptr && src->locked_)) return kDdErrGeneric;
  const TRect dr = dstRect != nullptr ? *dstRect : TRect{0, 0, width_, height_};
  if (!IsValidRectIn(dr, width_, height_)) return kDdErrInvalidRect;

  if ((flags & kBltColorFill) != 0) {
    for (int32_t y = dr.Top; y < dr.Bottom; ++y) {
      FillRow(pixels_.data() + static_cast<size_t>(y) * width_ + dr.Left, dr.Width(), fillColour);
    }
    return kDdOk;
  }
  if (src == nullptr) return kDdErrInvalidParams;
  const TRect sr = srcRect != nullptr ? *srcRect : TRect{0, 0, src->width_, src->height_};
  if (!IsValidRectIn(sr, src->width_, src->height_)) return kDdErrInvalidRect;

  const bool keyed = (flags & kBltKeySrc) != 0 && src->colorKey_.has_value();
  if (sr.Width() == dr.Width() && sr.Height() == dr.Height()) {
    return BltFast(dr.Left, dr.Top, *src, &sr,
                   (keyed ? kBltFastSrcColorKey : kBltFastNoColorKey) | kBltFastWait);
  }

  // Stretch (nearest neighbour). A blit of a surface onto itself reads from a
  // copy so that rows already written are not read again.
  std::vector<uint32_t> copy;
  const uint32_t* srcPixels = src->pixels_.data();
  int32_t srcStride = src->width_;
  if (src == this) {
    copy.resize(static_cast<size_t>(sr.Width()) * sr.Height());
    for (int32_t y = 0; y < sr.Height(); ++y) {
      std::memcpy(copy.data() + static_cast<size_t>(y) * sr.Width(),
                  pixels_.data() + static_cast<size_t>(sr.Top + y) * width_ + sr.Left,
                  static_cast<size_t>(sr.Width()) * 4);
    }
    srcPixels = copy.data();
    srcStride = sr.Width();
  } else {
    srcPixels += static_cast<size_t>(sr.Top) * srcStride + sr.Left;
  }
  const uint32_t key = keyed ? *src->colorKey_ : 0;
  const int64_t dw = dr.Width();
  const int64_t dh = dr.Height();
  for (int32_t y = 0; y < dr.Height(); ++y) {
    const auto sy = static_cast<int32_t>(static_cast<int64_t>(y) * sr.Height() / dh);
    const uint32_t* srow = srcPixels + static_cast<size_t>(sy) * srcStride;
    uint32_t* drow = pixels_.data() + static_cast<size_t>(dr.Top + y) * width_ + dr.Left;
    for (int32_t x = 0; x < dr.Width(); ++x) {
      const uint32_t s = srow[static_cast<int64_t>(x) * sr.Width() / dw];
      if (!keyed || s != key) drow[x] = s;
    }
  }
  return kDdOk;
}

HResult TSurface::BltFast(int32_t x, int32_t y, const TSurface& src, const TRect* srcRect,
                          uint32_t flags) {
  if (lost_ || src.lost_) return kDdErrSurfaceLost;
  if ((busy_ || src.busy_) && (flags & kBltFastDoNotWait) != 0) return kDdErrWasStillDrawing;
  if (locked_ || src.locked_) return kDdErrGeneric;
  const TRect sr = srcRect != nullptr ? *srcRect : TRect{0, 0, src.width_, src.height_};
  if (!IsValidRectIn(sr, src.width_, src.height_)) return kDdErrInvalidRect;
  const int64_t right = static_cast<int64_t>(x) + sr.Width();
  const int64_t bottom = static_cast<int64_t>(y) + sr.Height();
  if (x < 0 || y < 0 || right > width_ || bottom > height_) return kDdErrInvalidRect;

  const int32_t w = sr.Width();
  const int32_t h = sr.Height();
  const bool keyed = (flags & kBltFastSrcColorKey) != 0 && src.colorKey_.has_value();
  // Overlapping copies within one surface walk rows bottom-up when moving down.
  const bool reverse = &src == this && y > sr.Top;
  for (int32_t i = 0; i < h; ++i) {
    const int32_t row = reverse ? h - 1 - i : i;
    const uint32_t* s =
        src.pixels_.data() + static_cast<size_t>(sr.Top + row) * src.width_ + sr.Left;
    uint32_t* d = pixels_.data() + static_cast<size_t>(y + row) * width_ + x;
    if (!keyed) {
      std::memmove(d, s, static_cast<size_t>(w) * 4);
    } else if (&src == this && y + row == sr.Top + row && x > sr.Left) {
      // Same row, moving right: go from the end so no source word is overwritten first.
      const uint32_t key = *src.colorKey_;
      for (int32_t k = w - 1; k >= 0; --k) {
        if (s[k] != key) d[k] = s[k];
      }
    } else {
      CopyRowKeyed(d, s, w, *src.colorKey_);
    }
  }
  return kDdOk;
}

HResult TSurface::Lock(TLockedSurface& out) {
  if (lost_) return kDdErrSurfaceLost;
  if (locked_) return kDdErrGeneric;
  locked_ = true;
  out.Bits = pixels_.data();
  out.Pitch = Pitch();
  out.Width = width_;
  out.Height = height_;
  out.BitsPerPixel = 32;
  return kDdOk;
}

HResult TSurface::Unlock() {
  if (!locked_) return kDdErrGeneric;
  locked_ = false;
  return kDdOk;
}

HResult TSurface::Restore() {
  // Like video memory, a lost surface comes back with undefined contents; ours
  // come back black. A surface that is not lost keeps its picture.
  if (lost_) {
    std::fill(pixels_.begin(), pixels_.end(), 0u);
    lost_ = false;
  }
  return kDdOk;
}
