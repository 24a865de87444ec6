#include "shell/TestPack.h"

#include <vector>

#include "shell/ScreenLayout.h"
#include "support/BmpWriter.h"
#include "support/FileBytes.h"
#include "support/PackWriter.h"

namespace test_pack {
namespace {

struct TSize {
  int32_t Width;
  int32_t Height;
};

TSize SizeOf(int index) {
  if (index == PackIndex(mnuBackground) || index == PackIndex(mnuTitle)) return {800, 600};
  if (index == PackIndex(mnuPauseLine)) return {800, 1};
  if (index == PackIndex(mnuDialogBox))
    return {screen_layout::kDialogWidth, screen_layout::kDialogHeight};
  if (index == PackIndex(mnuHighScorePanel) || index == PackIndex(mnuOptionsPanel) ||
      index == PackIndex(mnuHelpPanel))
    return {480, 340};
  return {24, 24};
}

// A bottom-up 24-bit BMP file.
std::vector<uint8_t> Bitmap(int index) {
  const TSize size = SizeOf(index);
  const bool isTitle = index == PackIndex(mnuTitle);
  return test_kit::MakeBmp(
      {.Width = size.Width, .Height = size.Height, .Pixel = [=](int32_t x, int32_t y) {
         const bool banner =
             x < screen_layout::kTitleBanner.Right && y < screen_layout::kTitleBanner.Bottom;
         return (isTitle && !banner) ? 0x00FF00FFu : Color(index);
       }});
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
  std::vector<uint8_t> pack;
  for (int index = 0; index < kPackImageCount; ++index) packtest::AppendRecord(pack, Bitmap(index));
  return test_kit::WriteFile(path, pack);
}

}  // namespace test_pack
