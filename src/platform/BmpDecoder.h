#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A decoded Windows bitmap as 0x00RRGGBB words, top row first.
struct TDecodedBitmap {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint32_t> Pixels;
};

// Largest picture the decoder accepts; the game's images are at most 800 x 600.
inline constexpr int32_t kMaxBmpSide = 8192;
inline constexpr int64_t kMaxBmpPixels = 16 * 1024 * 1024;

// Decodes a complete BMP file held in memory with SDL's BMP reader (any depth
// and compression it accepts). Returns false with `error` set when the bytes
// are not a BMP the reader accepts, or the picture is larger than the limits
// above (checked before anything is allocated for it).
bool DecodeBmp(const uint8_t* data, size_t size, TDecodedBitmap& out, std::string& error);
