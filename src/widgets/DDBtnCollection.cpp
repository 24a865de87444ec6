#include "widgets/DDBtnCollection.h"

#include "widgets/PointInRect.h"

TDDBtnCollection::TDDBtnCollection(const TWidgetContext& context,
                                   std::span<const TButtonSpec> items)
    : context_(context) {
  Buttons.reserve(items.size());
  for (const TButtonSpec& item : items) Buttons.emplace_back(context, item.Rect, item.ImageIndex);
  Count = static_cast<int8_t>(Buttons.size());
  Current = 0;
  Select(0);
}

void TDDBtnCollection::Select(int32_t index) {
  if (Count <= 0) return;
  if (index > Count - 1) index = 0;
  if (index < 0) index = Count - 1;
  if (Current >= 0 && Current < Count) Buttons[static_cast<size_t>(Current)].Selected = false;
  Buttons[static_cast<size_t>(index)].Selected = true;
  Current = static_cast<int8_t>(index);
  context_.PlayMenuSound();
}

void TDDBtnCollection::SetCurrent(int32_t index) {
  if (index < 0 || index >= Count) return;
  for (TDDButton& button : Buttons) button.Selected = false;
  Buttons[static_cast<size_t>(index)].Selected = true;
  Current = static_cast<int8_t>(index);
}

void TDDBtnCollection::CheckClick() {
  Clicked = false;
  for (const TDDButton& button : Buttons) {
    if (PointInRect(button.BoundsRect, context_.MouseX, context_.MouseY)) Clicked = true;
  }
}

bool TDDBtnCollection::DrawAndTrack(TSurface& surface) {
  if (Count <= 0) return false;
  Previous = Current;
  if (context_.MouseActive != 0) {
    for (int8_t i = 0; i < Count; ++i) {
      if (PointInRect(Buttons[static_cast<size_t>(i)].BoundsRect, context_.MouseX,
                      context_.MouseY)) {
        Current = i;
      }
    }
  }
  if (Current > Count - 1) Current = 0;
  if (Current < 0) Current = static_cast<int8_t>(Count - 1);

  Buttons[static_cast<size_t>(Current)].Draw(surface);

  if (Current == Previous) return false;
  // The highlight follows from the next frame.
  context_.PlayMenuSound();
  if (Previous >= 0 && Previous < Count) Buttons[static_cast<size_t>(Previous)].Selected = false;
  Buttons[static_cast<size_t>(Current)].Selected = true;
  return true;
}

void TDDBtnCollection::Draw(TSurface& surface) {
  DrawAndTrack(surface);
}
