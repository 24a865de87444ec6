#include "images/BmpLayout.h"

#include <utility>

namespace {

constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;
constexpr size_t kFileHeaderBytes = 14;

uint32_t Le16(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
}
uint32_t Le32(const uint8_t* p) {
  return Le16(p) | (Le16(p + 2) << 16);
}

bool Fail(std::string& error, std::string reason) {
  error = std::move(reason);
  return false;
}

// Walks an RLE8/RLE4 stream over bytes [pos, size): every row must be filled
// by runs (an end-of-line only after a full row, no delta jumps) and the last
// row reached before the bytes end. Nothing is decoded.
bool CheckRleRows(const uint8_t* data, size_t size, size_t pos, const TBmpLayout& layout,
                  std::string& error) {
  const int64_t width = layout.Width;
  const int64_t height = layout.Height;
  const bool rle4 = layout.Compression == kRle4;
  int64_t x = 0;
  int64_t y = 0;
  auto rowDone = [&] { return y == height || (y == height - 1 && x == width); };
  while (!rowDone()) {
    if (size - pos < 2) {
      return Fail(error,
                  "RLE data ends at row " + std::to_string(y) + " of " + std::to_string(height));
    }
    const uint32_t count = data[pos];
    const uint32_t code = data[pos + 1];
    pos += 2;
    if (count > 0) {  // a run of one colour (or two alternating for RLE4)
      if (x + count > width)
        return Fail(error, "RLE run passes the end of row " + std::to_string(y));
      x += count;
    } else if (code == 0) {  // end of line
      if (x != width) return Fail(error, "RLE row " + std::to_string(y) + " is not filled");
      x = 0;
      ++y;
    } else if (code == 1) {  // end of bitmap
      if (!rowDone()) {
        return Fail(error,
                    "RLE data ends at row " + std::to_string(y) + " of " + std::to_string(height));
      }
    } else if (code == 2) {
      return Fail(error, "RLE delta jumps leave pixels unfilled");
    } else {  // `code` pixels stored as they are, padded to a 16-bit boundary
      size_t bytes = rle4 ? (code + 1) / 2 : code;
      bytes += bytes & 1u;
      if (x + code > width)
        return Fail(error, "RLE run passes the end of row " + std::to_string(y));
      if (size - pos < bytes) {
        return Fail(error, "RLE data ends inside row " + std::to_string(y));
      }
      pos += bytes;
      x += code;
    }
  }
  return true;
}

}  // namespace

bool ValidateBmpLayout(const uint8_t* data, size_t size, TBmpLayout& layout, std::string& error) {
  layout = TBmpLayout{};
  if (data == nullptr || size < kFileHeaderBytes + 4 || data[0] != 'B' || data[1] != 'M') {
    return Fail(error, "not a BMP file (no \"BM\" header)");
  }
  const uint32_t infoSize = Le32(data + 14);
  const bool core = infoSize == 12;  // OS/2 core header: 16-bit sizes, 3-byte palette entries
  if (!core && (infoSize < 40 || infoSize > 124)) {
    return Fail(error, "unsupported BMP header of " + std::to_string(infoSize) + " bytes");
  }
  if (size < kFileHeaderBytes + infoSize) {
    return Fail(error, "the BMP header needs " + std::to_string(kFileHeaderBytes + infoSize) +
                           " bytes, the data has " + std::to_string(size));
  }
  const uint8_t* info = data + kFileHeaderBytes;
  int64_t width = 0;
  int64_t height = 0;
  if (core) {
    width = Le16(info + 4);
    height = Le16(info + 6);
    layout.BitsPerPixel = static_cast<int32_t>(Le16(info + 10));
  } else {
    width = static_cast<int32_t>(Le32(info + 4));
    height = static_cast<int32_t>(Le32(info + 8));
    layout.BitsPerPixel = static_cast<int32_t>(Le16(info + 14));
    layout.Compression = Le32(info + 16);
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width > kMaxBmpSide || height > kMaxBmpSide ||
      width * height > kMaxBmpPixels) {
    return Fail(error, "BMP size " + std::to_string(width) + " x " + std::to_string(height) +
                           " is empty or too large");
  }
  layout.TopDown = topDown;
  layout.Width = static_cast<int32_t>(width);
  layout.Height = static_cast<int32_t>(height);

  const int32_t bpp = layout.BitsPerPixel;
  const uint32_t compression = layout.Compression;
  const bool depthKnown = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
  if (!depthKnown) return Fail(error, "unsupported depth of " + std::to_string(bpp) + " bits");
  const bool rle = compression == kRle8 || compression == kRle4;
  if (!(compression == kRgb || (compression == kRle8 && bpp == 8) ||
        (compression == kRle4 && bpp == 4) ||
        (compression == kBitFields && (bpp == 16 || bpp == 32)))) {
    return Fail(error, "unsupported compression " + std::to_string(compression) + " at " +
                           std::to_string(bpp) + " bits");
  }
  if (rle && topDown) return Fail(error, "a top-down BMP cannot be RLE compressed");

  // Headers, colour masks and palette must all be in the data.
  size_t headersEnd = kFileHeaderBytes + infoSize;
  if (compression == kBitFields && infoSize == 40) headersEnd += 12;
  if (bpp <= 8) {
    const uint32_t maxColours = 1u << bpp;
    const uint32_t used = core ? 0 : Le32(info + 32);
    if (used > maxColours) {
      return Fail(error, "palette of " + std::to_string(used) + " colours for " +
                             std::to_string(bpp) + " bits");
    }
    layout.PaletteColours = used == 0 ? maxColours : used;
    headersEnd += static_cast<size_t>(layout.PaletteColours) * (core ? 3 : 4);
  }
  if (headersEnd > size) {
    return Fail(error, "the BMP headers and palette need " + std::to_string(headersEnd) +
                           " bytes, the data has " + std::to_string(size));
  }
  const uint32_t offset = Le32(data + 10);
  layout.PixelOffset = offset != 0 ? offset : static_cast<uint32_t>(headersEnd);
  if (layout.PixelOffset > size) {
    return Fail(error, "pixel data starts at byte " + std::to_string(layout.PixelOffset) +
                           ", past the end of the " + std::to_string(size) + " bytes");
  }

  if (rle) return CheckRleRows(data, size, layout.PixelOffset, layout, error);
  const int64_t rowBytes = (width * bpp + 31) / 32 * 4;
  const int64_t needed = rowBytes * height;
  const int64_t available = static_cast<int64_t>(size) - layout.PixelOffset;
  if (needed > available) {
    return Fail(error, "pixel data of " + std::to_string(width) + " x " + std::to_string(height) +
                           " at " + std::to_string(bpp) + " bits needs " + std::to_string(needed) +
                           " bytes, the data has " + std::to_string(available));
  }
  return true;
}
