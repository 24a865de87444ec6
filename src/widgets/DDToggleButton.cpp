#include "widgets/DDToggleButton.h"

#include "graphics/DeviceContext.h"
#include "graphics/Text.h"

TDDToggleButton::TDDToggleButton(const TWidgetContext& context, const TRect& first,
                                 const TRect& second, uint8_t firstImage, uint8_t secondImage)
    : FirstRect(first),
      SecondRect(second),
      FirstImage(firstImage),
      SecondImage(secondImage),
      context_(context) {}

void TDDToggleButton::Draw(TSurface& surface) const {
  if (Focused) {
    // One underline spanning both choices.
    TDeviceContext dc(context_.Fonts, surface);
    dc.SetHollowBrush();
    dc.SetPen(kDarkBlue, 2);
    dc.Rectangle(FirstRect.Left - 2, SecondRect.Bottom + 4, SecondRect.Right + 5,
                 SecondRect.Bottom + 5);
  }
  const uint8_t slot = Checked ? FirstImage : SecondImage;
  const TRect& at = Checked ? FirstRect : SecondRect;
  if (slot >= kMenuImageCount) return;
  const TSurfacePtr& image = context_.Images.MenuImages[slot];
  // A refused blit leaves the toggle out of this frame only.
  if (image) DrawKeyed(surface, at.Left, at.Top, *image);
}
