#include "widgets/DDTextButton.h"

#include <utility>

#include "graphics/DeviceContext.h"
#include "graphics/Text.h"

TDDTextButton::TDDTextButton(const TWidgetContext& context, const TRect& bounds,
                             std::string caption)
    : BoundsRect(bounds), Caption(std::move(caption)), context_(context) {}

void TDDTextButton::Draw(TSurface& surface) const {
  if (Focused) {
    TDeviceContext dc(context_.Fonts, surface);
    dc.SetHollowBrush();
    dc.SetPen(kDarkBlue, 2);
    dc.Rectangle(BoundsRect.Left - 2, BoundsRect.Bottom + 4, BoundsRect.Right + 5,
                 BoundsRect.Bottom + 5);
  }
  DrawCaption(context_.Fonts, BoundsRect.Left, BoundsRect.Top, 32, 20,
              Focused ? kOrange : kDarkBlue, surface, Caption);
}
