#pragma once

#include <string>

#include "graphics/Surface.h"
#include "widgets/WidgetContext.h"

// A caption (Tahoma 32 x 20) that turns orange and is underlined while focused.
class TDDTextButton {
 public:
  TDDTextButton(const TWidgetContext& context, const TRect& bounds, std::string caption);

  void Draw(TSurface& surface) const;

  TRect BoundsRect;  // caption at the top-left corner; mouse-sensitive area
  bool Focused = false;
  std::string Caption;

 private:
  TWidgetContext context_;
};
