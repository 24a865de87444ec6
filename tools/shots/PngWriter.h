#pragma once

#include <cstdint>
#include <string>

#include "graphics/Surface.h"

// Writes `width` x `height` 0x00RRGGBB pixels (rows tightly packed) as an
// opaque PNG file; false on failure.
bool WritePng(const uint32_t* pixels, int width, int height, const std::string& path);

// Writes a surface as an opaque PNG file; false on failure.
bool WritePng(const TSurface& surface, const std::string& path);
