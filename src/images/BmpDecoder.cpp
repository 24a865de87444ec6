#include "images/BmpDecoder.h"

#include <SDL.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct SurfaceDeleter {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfaceHandle = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, TDecodedBitmap& out, std::string& error) {
  // Nothing is allocated for a picture whose pixels are not all in the data.
  TBmpLayout layout;
  if (!ValidateBmpLayout(data, size, layout, error)) return false;
  if (size > static_cast<size_t>(INT32_MAX)) {
    error = "BMP data too large";
    return false;
  }
  SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
  if (rw == nullptr) {
    error = SDL_GetError();
    return false;
  }
  SurfaceHandle loaded(SDL_LoadBMP_RW(rw, 1));
  if (!loaded) {
    error = std::string("BMP reader: ") + SDL_GetError();
    return false;
  }
  SurfaceHandle converted(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGB888, 0));
  if (!converted) {
    error = std::string("BMP conversion: ") + SDL_GetError();
    return false;
  }
  const int w = converted->w;
  const int h = converted->h;
  out.Width = w;
  out.Height = h;
  out.Pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0u);
  if (SDL_LockSurface(converted.get()) != 0) {
    error = std::string("BMP conversion: ") + SDL_GetError();
    return false;
  }
  const auto* base = static_cast<const uint8_t*>(converted->pixels);
  for (int y = 0; y < h; ++y) {
    const auto* row =
        reinterpret_cast<const uint32_t*>(base + static_cast<size_t>(y) * converted->pitch);
    uint32_t* dst = out.Pixels.data() + static_cast<size_t>(y) * w;
    for (int x = 0; x < w; ++x) dst[x] = row[x] & 0x00FFFFFFu;
  }
  SDL_UnlockSurface(converted.get());
  return true;
}

bool DecodeBmpInto(const uint8_t* data, size_t size, const TBmpLayout& layout, uint32_t* pixels,
                   int32_t pitchWords, std::string& error) {
  const int32_t w = layout.Width;
  const int32_t h = layout.Height;
  const size_t rowBytes = (static_cast<size_t>(w) * 3 + 3) & ~static_cast<size_t>(3);
  const bool direct = layout.BitsPerPixel == 24 && layout.Compression == 0 && w > 0 && h > 0 &&
                      layout.PixelOffset <= size &&
                      rowBytes * static_cast<size_t>(h) <= size - layout.PixelOffset;
  if (direct) {
    const uint8_t* first = data + layout.PixelOffset;
    for (int32_t y = 0; y < h; ++y) {
      const int32_t stored = layout.TopDown ? y : h - 1 - y;
      const uint8_t* in = first + static_cast<size_t>(stored) * rowBytes;
      uint32_t* out = pixels + static_cast<ptrdiff_t>(y) * pitchWords;
      for (int32_t x = 0; x < w; ++x, in += 3) {
        out[x] = static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
                 (static_cast<uint32_t>(in[2]) << 16);
      }
    }
    return true;
  }
  TDecodedBitmap bitmap;
  if (!DecodeBmp(data, size, bitmap, error)) return false;
  if (bitmap.Width != w || bitmap.Height != h) {
    error = "the BMP reader's picture differs in size from its headers";
    return false;
  }
  for (int32_t y = 0; y < h; ++y) {
    std::memcpy(pixels + static_cast<ptrdiff_t>(y) * pitchWords,
                bitmap.Pixels.data() + static_cast<size_t>(y) * w, static_cast<size_t>(w) * 4);
  }
  return true;
}
