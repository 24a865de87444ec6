#pragma once

#include <cstdint>
#include <string>

// A small image pack for the shell's tests: 76 bitmaps of plain, distinct
// colours, so a pixel probe tells which image landed where.
//   MenuImages 0 (background) and 29 (title) are 800 x 600; the title is magenta
//   except its banner area. MenuImages 21 (pause line) is 800 x 1. MenuImages
//   19 (dialog box) has the dialog's size. Panels are 480 x 340.
//   Everything else is 24 x 24.
namespace test_pack {

inline constexpr int kMenuBase = 42;

// The 0x00RRGGBB colour of pack image `index` (never magenta, never black).
uint32_t Color(int index);
inline uint32_t MenuColor(int slot) {
  return Color(kMenuBase + slot);
}

// Writes the pack; returns false when the file cannot be written.
bool Write(const std::string& path);

}  // namespace test_pack
