#include "shell/TestPack.h"

#include <fstream>
#include <vector>

#include "shell/ScreenLayout.h"

namespace test_pack {
namespace {

struct TSize {
  int32_t Width;
  int32_t Height;
};

TSize SizeOf(int index) {
  switch (index - kMenuBase) {
    case 0:
    case 29:
      return {800, 600};
    case 21:
      return {800, 1};
    case 19:
      return {screen_layout::kDialogWidth, screen_layout::kDialogHeight};
    case 10:
    case 13:
    case 14:
      return {480, 340};
    default:
      return {24, 24};
  }
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

// A bottom-up 24-bit BMP file.
std::vector<uint8_t> Bitmap(int index) {
  const TSize size = SizeOf(index);
  const int32_t rowBytes = (size.Width * 3 + 3) & ~3;
  const uint32_t dataSize = static_cast<uint32_t>(rowBytes * size.Height);
  std::vector<uint8_t> out;
  out.reserve(54 + dataSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + dataSize);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(size.Width));
  Put32(out, static_cast<uint32_t>(size.Height));
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);
  Put32(out, dataSize);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  const bool isTitle = index == kMenuBase + 29;
  for (int32_t row = size.Height - 1; row >= 0; --row) {
    int32_t written = 0;
    for (int32_t x = 0; x < size.Width; ++x) {
      const bool banner =
          x < screen_layout::kTitleBanner.Right && row < screen_layout::kTitleBanner.Bottom;
      const uint32_t c = (isTitle && !banner) ? 0x00FF00FFu : Color(index);
      out.push_back(static_cast<uint8_t>(c));
      out.push_back(static_cast<uint8_t>(c >> 8));
      out.push_back(static_cast<uint8_t>(c >> 16));
      written += 3;
    }
    for (; written < rowBytes; ++written) out.push_back(0);
  }
  return out;
}

}  // namespace

uint32_t Color(int index) {
  // Spread the indices over the colour cube; red never 0xFF, so no magenta.
  const auto i = static_cast<uint32_t>(index);
  const uint32_t r = 0x20 + (i * 37) % 0xC0;
  const uint32_t g = 0x10 + (i * 71) % 0xE0;
  const uint32_t b = 0x30 + (i * 13) % 0xC0;
  return (r << 16) | (g << 8) | b;
}

bool Write(const std::string& path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  for (int index = 0; index < 76; ++index) {
    const std::vector<uint8_t> bitmap = Bitmap(index);
    const auto length = static_cast<uint32_t>(bitmap.size());
    const char header[4] = {static_cast<char>(length), static_cast<char>(length >> 8),
                            static_cast<char>(length >> 16), static_cast<char>(length >> 24)};
    file.write(header, 4);
    file.write(reinterpret_cast<const char*>(bitmap.data()),
               static_cast<std::streamsize>(bitmap.size()));
  }
  return static_cast<bool>(file);
}

}  // namespace test_pack
