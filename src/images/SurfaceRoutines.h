#pragma once

#include <cstdint>

#include "graphics/Surface.h"
#include "images/BmpDecoder.h"

// GDI's invalid colour (CLR_INVALID).
inline constexpr uint32_t kClrInvalid = 0xFFFFFFFFu;

// Copies the area (x, y, dx, dy) of `bitmap` onto the whole `surface`,
// stretching when the sizes differ; dx or dy 0 means the bitmap's width or
// height. Restores the surface first. Fails (kDdErrGeneric) when either is
// missing, kDdErrInvalidRect when the area is not inside the bitmap.
HResult CopyBitmapToSurface(TSurface* surface, const TDecodedBitmap* bitmap, int32_t x, int32_t y,
                            int32_t dx, int32_t dy);

// The raw pixel value the GDI colour `colorRef` becomes on `surface`, found by
// writing it to pixel (0, 0) and reading it back; pixel (0, 0) keeps its value.
// Returns kClrInvalid (all bits set) when the surface cannot be locked.
uint32_t MatchSurfaceColor(TSurface& surface, uint32_t colorRef);

// Sets the source colour key of `surface` to the pixel value of `colorRef`.
HResult SetSurfaceColorKey(TSurface& surface, uint32_t colorRef);
