#pragma once

#include <cstdint>

// The game's frame: every screen is composed in 800 x 600 pixels, whatever
// the size of the window that shows it.
inline constexpr int32_t kFrameWidth = 800;
inline constexpr int32_t kFrameHeight = 600;
