#pragma once

// BMP files for tests, byte by byte: pictures drawn from a pixel function, and
// hand-made files whose headers say what the test needs.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace test_kit {

// Appends `value` little-endian in `bytes` bytes.
inline void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

struct TBmp {
  int32_t Width = 1;
  int32_t Height = 1;
  // 0x00RRGGBB of pixel (x, y), y = 0 the top row. Stored bottom-up with
  // 24 bits per pixel, or with 8 and a palette of the distinct colours (at
  // most 256) when Paletted; top row first, with a negative height, when TopDown.
  std::function<uint32_t(int32_t x, int32_t y)> Pixel{};
  bool Paletted = false;
  bool TopDown = false;
  // A hand-made file: these pixel bytes as stored, with Bits, Compression
  // (1 = RLE8) and Palette in the headers, instead of Pixel.
  std::optional<std::vector<uint8_t>> Stored{};
  uint16_t Bits = 24;
  uint32_t Compression = 0;
  std::vector<uint32_t> Palette{};  // 0x00RRGGBB
  // The 12-byte core header (16-bit sizes, no palette) instead of the 40-byte one.
  bool CoreHeader = false;
};

// The whole file, with sizes and offsets in its headers counted from what it holds.
inline std::vector<uint8_t> MakeBmp(const TBmp& bmp) {
  std::vector<uint32_t> palette = bmp.Palette;
  uint16_t bits = bmp.Bits;
  std::vector<uint8_t> pixels;
  if (bmp.Stored) {
    pixels = *bmp.Stored;
  } else {
    palette.clear();
    bits = bmp.Paletted ? 8 : 24;
    if (bmp.Paletted) {
      for (int32_t y = 0; y < bmp.Height; ++y)
        for (int32_t x = 0; x < bmp.Width; ++x) {
          const uint32_t c = bmp.Pixel(x, y);
          bool found = false;
          for (uint32_t p : palette) found = found || p == c;
          if (!found) palette.push_back(c);
        }
    }
    const uint32_t rowBytes = (static_cast<uint32_t>(bmp.Width) * bits / 8 + 3) & ~3u;
    for (int32_t row = 0; row < bmp.Height; ++row) {
      const int32_t y = bmp.TopDown ? row : bmp.Height - 1 - row;
      const size_t start = pixels.size();
      for (int32_t x = 0; x < bmp.Width; ++x) {
        const uint32_t c = bmp.Pixel(x, y);
        if (bmp.Paletted) {
          uint8_t index = 0;
          while (palette[index] != c) ++index;
          pixels.push_back(index);
        } else {
          PutLe(pixels, c, 3);
        }
      }
      while (pixels.size() - start < rowBytes) pixels.push_back(0);
    }
  }
  const uint32_t infoSize = bmp.CoreHeader ? 12 : 40;
  const size_t paletteBytes = bmp.CoreHeader ? 0 : palette.size() * 4;
  const auto dataOffset = static_cast<uint32_t>(14 + infoSize + paletteBytes);
  std::vector<uint8_t> out = {'B', 'M'};
  PutLe(out, dataOffset + static_cast<uint32_t>(pixels.size()), 4);
  PutLe(out, 0, 4);
  PutLe(out, dataOffset, 4);
  PutLe(out, infoSize, 4);
  const int sizeBytes = bmp.CoreHeader ? 2 : 4;
  PutLe(out, static_cast<uint32_t>(bmp.Width), sizeBytes);
  PutLe(out, static_cast<uint32_t>(bmp.TopDown ? -bmp.Height : bmp.Height), sizeBytes);
  PutLe(out, 1, 2);
  PutLe(out, bits, 2);
  if (!bmp.CoreHeader) {
    PutLe(out, bmp.Compression, 4);
    PutLe(out, static_cast<uint32_t>(pixels.size()), 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, static_cast<uint32_t>(palette.size()), 4);
    PutLe(out, 0, 4);
    for (uint32_t c : palette) PutLe(out, c, 4);  // B, G, R, 0
  }
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

}  // namespace test_kit
