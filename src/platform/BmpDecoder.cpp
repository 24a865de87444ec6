#include "platform/BmpDecoder.h"

#include <SDL.h>

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
