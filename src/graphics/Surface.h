#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Platform.h"

// The result of every surface operation, DirectDraw-style: kDdOk, or why the
// operation did nothing. The values are ours; only kDdOk == 0 is relied on.
enum HResult : int32_t {
  kDdOk = 0,
  kDdRetry = 1,                // RestoreSurfaces: the back buffer still fails; next frame
  kDdErrGeneric = -1,          // the surface is locked, or unlocked twice
  kDdErrSurfaceLost = -2,      // restore it first
  kDdErrInvalidRect = -3,      // empty, inverted or outside its surface
  kDdErrWasStillDrawing = -4,  // busy, and the caller asked not to wait
  kDdErrInvalidParams = -5,
};

// Blt flags.
inline constexpr uint32_t kBltWait = 0x1;
inline constexpr uint32_t kBltColorFill = 0x2;
inline constexpr uint32_t kBltKeySrc = 0x4;

// BltFast flags.
inline constexpr uint32_t kBltFastNoColorKey = 0x0;
inline constexpr uint32_t kBltFastSrcColorKey = 0x1;
inline constexpr uint32_t kBltFastWait = 0x10;
inline constexpr uint32_t kBltFastDoNotWait = 0x20;

// The transparent colour of every image as a 32-bit pixel (magenta).
inline constexpr uint32_t kMagentaPixel = 0x00FF00FF;

// What Lock hands out: the first pixel, the row pitch in bytes and the size.
struct TLockedSurface {
  uint32_t* Bits = nullptr;
  int32_t Pitch = 0;  // bytes
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t BitsPerPixel = 32;
};

// A 32-bit software surface standing in for a DirectDraw offscreen surface.
// Pixels are 0x00RRGGBB words. Like DirectDraw, a blit refuses (does not clip)
// an empty or inverted rectangle and a source rectangle that is not inside its
// surface; nothing ever reads or writes outside a surface.
class TSurface {
 public:
  friend struct TSurfaceTestAccess;  // tests make a surface busy

  TSurface(int32_t width, int32_t height);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t Pitch() const { return width_ * 4; }  // bytes
  uint32_t* Pixels() { return pixels_.data(); }
  const uint32_t* Pixels() const { return pixels_.data(); }
  uint32_t PixelAt(int32_t x, int32_t y) const {
    return pixels_[static_cast<size_t>(y) * width_ + x];
  }
  void SetPixelAt(int32_t x, int32_t y, uint32_t value) {
    pixels_[static_cast<size_t>(y) * width_ + x] = value;
  }

  // Source colour key (low = high value); kept as the raw pixel value.
  void SetColorKey(uint32_t key) { colorKey_ = key; }
  void ClearColorKey() { colorKey_.reset(); }
  std::optional<uint32_t> ColorKey() const { return colorKey_; }

  // Blt: dst == nullptr means the whole surface, src == nullptr with kBltColorFill
  // fills with `fillColour`; srcRect == nullptr means the whole source. Different
  // sizes stretch (nearest neighbour).
  HResult Blt(const TRect* dstRect, const TSurface* src, const TRect* srcRect, uint32_t flags,
              uint32_t fillColour = 0);
  // BltFast: copies srcRect (nullptr = whole source) to (x, y) without stretching.
  HResult BltFast(int32_t x, int32_t y, const TSurface& src, const TRect* srcRect, uint32_t flags);

  // Lock of the whole surface. Fails with kDdErrSurfaceLost while lost.
  HResult Lock(TLockedSurface& out);
  HResult Unlock();
  bool IsLocked() const { return locked_; }

  // Loss and restore: a lost surface refuses every operation until restored.
  // Restore keeps the size, clears the contents and the lost flag.
  bool IsLost() const { return lost_; }
  void SetLost(bool lost) { lost_ = lost; }
  HResult Restore();

 private:
  int32_t width_;
  int32_t height_;
  std::vector<uint32_t> pixels_;
  std::optional<uint32_t> colorKey_;
  bool lost_ = false;
  bool locked_ = false;
  // A busy surface (one the device is still drawing) refuses blits that ask
  // not to wait with kDdErrWasStillDrawing. Only tests make one busy.
  bool busy_ = false;
};

// Holds the lock of a whole surface for a scope and releases it at the end.
//   TSurfaceLock lock(surface);
//   if (!lock.Ok()) return;   // lock.Result() says why
//   lock.Bits().Bits[...]
class TSurfaceLock {
 public:
  explicit TSurfaceLock(TSurface& surface) : surface_(surface), result_(surface.Lock(bits_)) {}
  ~TSurfaceLock() {
    // Unlock fails only on a surface that is not locked, which this lock took.
    if (result_ == kDdOk) (void)surface_.Unlock();
  }
  TSurfaceLock(const TSurfaceLock&) = delete;
  TSurfaceLock& operator=(const TSurfaceLock&) = delete;

  bool Ok() const { return result_ == kDdOk; }
  HResult Result() const { return result_; }
  const TLockedSurface& Bits() const { return bits_; }

 private:
  TSurface& surface_;
  TLockedSurface bits_;
  HResult result_;
};

using TSurfacePtr = std::shared_ptr<TSurface>;

// Converts a GDI colour value (red in the low byte) to a surface pixel.
constexpr uint32_t GdiToPixel(uint32_t colorRef) {
  return ((colorRef & 0xFFu) << 16) | (colorRef & 0xFF00u) | ((colorRef >> 16) & 0xFFu);
}

// Convenience forms of the drawing vocabulary: whole-image fast blits. Most
// callers draw a frame that is composed anew 64 times a second and let a
// refused image be missing from it; they say so where they ignore the result.
inline HResult DrawOpaque(TSurface& dst, int32_t x, int32_t y, const TSurface& src) {
  return dst.BltFast(x, y, src, nullptr, kBltFastWait | kBltFastNoColorKey);
}
inline HResult DrawKeyed(TSurface& dst, int32_t x, int32_t y, const TSurface& src) {
  return dst.BltFast(x, y, src, nullptr, kBltFastWait | kBltFastSrcColorKey);
}
