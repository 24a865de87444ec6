#pragma once

#include <cstdint>

#include "graphics/Surface.h"
#include "widgets/WidgetContext.h"

// A menu item shown only by its highlight image: the background picture shows
// the item unhighlighted, and while Selected the image in MenuImages slot
// ImageIndex is drawn at the rectangle's top-left corner.
class TDDButton {
 public:
  TDDButton(const TWidgetContext& context, const TRect& bounds, uint8_t imageIndex);

  void Draw(TSurface& surface) const;

  TRect BoundsRect;  // frame pixels; also the mouse-sensitive area
  bool Selected = false;
  uint8_t ImageIndex = 0;  // MenuImages slot of the highlight

 private:
  TWidgetContext context_;
};
