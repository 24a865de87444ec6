#pragma once

#include <cstdint>
#include <string>

#include "assets/PackSlots.h"

// A small image pack for the shell's tests: one bitmap of a plain, distinct
// colour per pack slot, so a pixel probe tells which image landed where.
//   The background and the title are 800 x 600; the title is magenta except
//   its banner area. The pause line is 800 x 1, the dialog box has the
//   dialog's size, and the three panels are 480 x 340.
//   Everything else is 24 x 24.
namespace test_pack {

// The 0x00RRGGBB colour of pack image `index` (never magenta, never black).
uint32_t Color(int index);
inline uint32_t SpriteColor(TSpriteSlot slot) {
  return Color(PackIndex(slot));
}
inline uint32_t MenuColor(TMenuSlot slot) {
  return Color(PackIndex(slot));
}

// Writes the pack; returns false when the file cannot be written.
bool Write(const std::string& path);

}  // namespace test_pack
