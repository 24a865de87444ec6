#include "platform/BmpDecoder.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

int32_t ReadLe32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) |
                              (static_cast<uint32_t>(p[3]) << 24));
}

// Reads the declared size from the info header so that a hostile header cannot
// make the reader allocate a huge picture before it fails.
bool CheckHeader(const uint8_t* data, size_t size, std::string& error) {
  if (size < 26 || data[0] != 'B' || data[1] != 'M') {
    error = "not a BMP file (no \"BM\" header)";
    return false;
  }
  const int32_t infoSize = ReadLe32(data + 14);
  int64_t width = 0;
  int64_t height = 0;
  if (infoSize == 12) {  // OS/2 core header: 16-bit sizes
    width = data[18] | (data[19] << 8);
    height = data[20] | (data[21] << 8);
  } else if (infoSize >= 40 && size >= 26) {
    width = ReadLe32(data + 18);
    height = ReadLe32(data + 22);
  } else {
    error = "unsupported BMP header";
    return false;
  }
  if (height < 0) height = -height;
  if (width <= 0 || height <= 0 || width > kMaxBmpSide || height > kMaxBmpSide ||
      width * height > kMaxBmpPixels) {
    error = "BMP size " + std::to_string(width) + " x " + std::to_string(height) +
            " is empty or too large";
    return false;
  }
  return true;
}

struct SurfaceDeleter {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfaceHandle = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, TDecodedBitmap& out, std::string& error) {
  if (data == nullptr || !CheckHeader(data, size, error)) return false;
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
