#pragma once

#include <cstdint>

#include "graphics/Surface.h"
#include "widgets/WidgetContext.h"

// A setting with two choices whose labels are part of the background picture:
// the chosen one is marked by an image drawn over its label.
class TDDToggleButton {
 public:
  TDDToggleButton(const TWidgetContext& context, const TRect& first, const TRect& second,
                  uint8_t firstImage, uint8_t secondImage);

  void Draw(TSurface& surface) const;

  TRect FirstRect;   // label area of the first choice
  TRect SecondRect;  // label area of the second choice
  bool Focused = false;
  bool Checked = false;     // true = the first choice is in force
  uint8_t FirstImage = 0;   // MenuImages slot shown at FirstRect when checked
  uint8_t SecondImage = 0;  // MenuImages slot shown at SecondRect when not checked

 private:
  TWidgetContext context_;
};
