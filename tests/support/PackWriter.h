#pragma once

// Builds BMP files and image packs byte by byte for the pack tests.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace packtest {

inline void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A bottom-up BMP of `w` x `h` pixels; pixel(x, y) gives 0x00RRGGBB. With
// `paletted` the picture is stored with 8 bits per pixel and a palette of the
// distinct colours (at most 256), otherwise with 24 bits per pixel.
template <typename PixelFn>
std::vector<uint8_t> MakeBmp(int32_t w, int32_t h, PixelFn pixel, bool paletted = false) {
  std::vector<uint32_t> palette;
  if (paletted) {
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const uint32_t c = pixel(x, y);
        bool found = false;
        for (uint32_t p : palette) found = found || p == c;
        if (!found) palette.push_back(c);
      }
  }
  const int bpp = paletted ? 8 : 24;
  const uint32_t rowBytes = (static_cast<uint32_t>(w) * bpp / 8 + 3) & ~3u;
  const uint32_t dataOffset = 14 + 40 + static_cast<uint32_t>(palette.size()) * 4;
  const uint32_t fileSize = dataOffset + rowBytes * static_cast<uint32_t>(h);
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  PutLe(out, fileSize, 4);
  PutLe(out, 0, 4);
  PutLe(out, dataOffset, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(w), 4);
  PutLe(out, static_cast<uint32_t>(h), 4);
  PutLe(out, 1, 2);
  PutLe(out, static_cast<uint32_t>(bpp), 2);
  PutLe(out, 0, 4);  // BI_RGB
  PutLe(out, rowBytes * static_cast<uint32_t>(h), 4);
  PutLe(out, 2835, 4);
  PutLe(out, 2835, 4);
  PutLe(out, static_cast<uint32_t>(palette.size()), 4);
  PutLe(out, 0, 4);
  for (uint32_t c : palette) PutLe(out, c, 4);  // B, G, R, 0
  for (int32_t y = h - 1; y >= 0; --y) {
    const size_t start = out.size();
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t c = pixel(x, y);
      if (paletted) {
        uint8_t index = 0;
        while (palette[index] != c) ++index;
        out.push_back(index);
      } else {
        PutLe(out, c, 3);
      }
    }
    while (out.size() - start < rowBytes) out.push_back(0);
  }
  return out;
}

// Image k of a test pack: (k + 1) x (k % 7 + 1) pixels, filled with ImageColour(k)
// except its top-left pixel, which is magenta.
inline uint32_t ImageColour(int k) {
  return 0x00010203u * static_cast<uint32_t>(k + 1);
}
inline std::vector<uint8_t> PackImage(int k) {
  return MakeBmp(k + 1, k % 7 + 1, [k](int32_t x, int32_t y) {
    return x == 0 && y == 0 ? 0x00FF00FFu : ImageColour(k);
  });
}

inline void AppendRecord(std::vector<uint8_t>& pack, const std::vector<uint8_t>& bmp) {
  PutLe(pack, static_cast<uint32_t>(bmp.size()), 4);
  pack.insert(pack.end(), bmp.begin(), bmp.end());
}

inline std::vector<uint8_t> MakePack(int records) {
  std::vector<uint8_t> pack;
  for (int k = 0; k < records; ++k) AppendRecord(pack, PackImage(k));
  return pack;
}

// A scratch file that is removed again when the test ends.
class TempFile {
 public:
  explicit TempFile(const std::string& name, const std::vector<uint8_t>& bytes)
      : path_(std::filesystem::temp_directory_path() /
              ("tl_graphics_" + std::to_string(::getpid()) + "_" + name)) {
    std::ofstream out(path_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  ~TempFile() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  std::string Path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace packtest
