#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Largest picture the decoder accepts; the game's images are at most 800 x 600.
inline constexpr int32_t kMaxBmpSide = 8192;
inline constexpr int64_t kMaxBmpPixels = 16 * 1024 * 1024;

// What a BMP's headers say about its picture, once checked against its bytes.
struct TBmpLayout {
  int32_t Width = 0;
  int32_t Height = 0;  // rows, whichever way they are stored
  int32_t BitsPerPixel = 0;
  uint32_t Compression = 0;     // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
  uint32_t PaletteColours = 0;  // entries read for 1..8 bits per pixel
  uint32_t PixelOffset = 0;     // where the pixel data starts
  bool TopDown = false;         // the first stored row is the top one
  int64_t Pixels() const { return static_cast<int64_t>(Width) * Height; }
};

// Checks, without allocating anything, that the bytes hold the whole picture
// their headers declare: the headers and palette are there, the size is within
// the limits above, and the pixel data fits in the bytes that are left (rows of
// width x depth, padded to 4 bytes; for RLE every row is filled by runs that end
// inside the bytes). Returns false with `error` set otherwise.
bool ValidateBmpLayout(const uint8_t* data, size_t size, TBmpLayout& layout, std::string& error);
