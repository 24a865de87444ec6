#include "widgets/DDButton.h"

TDDButton::TDDButton(const TWidgetContext& context, const TRect& bounds, uint8_t imageIndex)
    : BoundsRect(bounds), ImageIndex(imageIndex), context_(context) {}

void TDDButton::Draw(TSurface& surface) const {
  if (!Selected || ImageIndex >= kMenuImageCount) return;
  const TSurfacePtr& image = context_.Images.MenuImages[ImageIndex];
  // A refused blit leaves the highlight out of this frame only.
  if (image) DrawKeyed(surface, BoundsRect.Left, BoundsRect.Top, *image);
}
