#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "images/BmpLayout.h"

// A decoded Windows bitmap as 0x00RRGGBB words, top row first.
struct TDecodedBitmap {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint32_t> Pixels;
};

// Decodes a complete BMP file held in memory with SDL's BMP reader after
// ValidateBmpLayout accepted it. Returns false with `error` set when the bytes
// are not a BMP the checks and the reader accept.
bool DecodeBmp(const uint8_t* data, size_t size, TDecodedBitmap& out, std::string& error);

// Decodes the picture straight into `pixels` (layout.Width x layout.Height
// words, top row first, rows `pitchWords` apart), where `layout` is what
// ValidateBmpLayout accepted for these same bytes. Uncompressed 24-bit
// pictures, the pack's own kind, are read directly; every other kind goes
// through DecodeBmp. Returns false with `error` set when the reader rejects it.
bool DecodeBmpInto(const uint8_t* data, size_t size, const TBmpLayout& layout, uint32_t* pixels,
                   int32_t pitchWords, std::string& error);
