#pragma once

#include <string>

#include "graphics/Surface.h"

// Writes a surface (0x00RRGGBB pixels) as an opaque PNG file; false on failure.
bool WritePng(const TSurface& surface, const std::string& path);
