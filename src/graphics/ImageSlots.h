#pragma once

#include <array>

#include "graphics/Surface.h"

// The two image slot arrays: SpriteImages slot s = pack image s, MenuImages
// slot i = pack image 42 + i. An empty slot holds nullptr and draws nothing.
inline constexpr int kSpriteImageCount = 42;
inline constexpr int kMenuImageCount = 34;
inline constexpr int kPackImageCount = kSpriteImageCount + kMenuImageCount;

struct TImageSlots {
  std::array<TSurfacePtr, kSpriteImageCount> SpriteImages{};
  std::array<TSurfacePtr, kMenuImageCount> MenuImages{};
};
