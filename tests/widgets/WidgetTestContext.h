#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/Fonts.h"
#include "graphics/ImageSlots.h"
#include "graphics/Surface.h"
#include "graphics/Text.h"
#include "support/FakePlatform.h"
#include "support/RecordingAudio.h"
#include "widgets/WidgetContext.h"

// The form state the widgets read, owned by the test. Every menu image is a
// small solid square whose colour tells its slot.
struct TWidgetTestState {
  static constexpr int32_t kImageSize = 6;
  static constexpr uint32_t ImageColour(int slot) {
    return 0x00100000u + static_cast<uint32_t>(slot);
  }

  TWidgetTestState() {
    for (int slot = 0; slot < kMenuImageCount; ++slot) {
      auto image = std::make_shared<TSurface>(kImageSize, kImageSize);
      for (int32_t y = 0; y < kImageSize; ++y) {
        for (int32_t x = 0; x < kImageSize; ++x) image->SetPixelAt(x, y, ImageColour(slot));
      }
      image->SetColorKey(kMagentaPixel);
      images.MenuImages[static_cast<size_t>(slot)] = image;
    }
  }

  void PointAt(int32_t x, int32_t y) {
    mouseX = x;
    mouseY = y;
  }

  FakePlatform sys;
  TImageSlots images;
  TFonts fonts;
  TRecordingSound sound;
  int32_t mouseX = 0;
  int32_t mouseY = 0;
  int32_t mouseActive = -1;
  uint32_t gameState = 0;
  TWidgetContext context{images, fonts, sound, sys, mouseX, mouseY, mouseActive, gameState, 1};
  TSurface frame{800, 600};
};
