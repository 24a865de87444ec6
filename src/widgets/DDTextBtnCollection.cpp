#include "widgets/DDTextBtnCollection.h"

#include <utility>

#include "graphics/Text.h"
#include "widgets/PointInRect.h"

TDDTextBtnCollection::TDDTextBtnCollection(const TWidgetContext& context, const TRect& firstRect,
                                           const TRect& secondRect, std::string firstCaption,
                                           std::string secondCaption)
    : FirstCaption(std::move(firstCaption)),
      SecondCaption(std::move(secondCaption)),
      FirstRect(firstRect),
      SecondRect(secondRect),
      context_(context) {}

void TDDTextBtnCollection::Select(bool first) {
  context_.PlayMenuSound();
  FirstSelected = first;
}

void TDDTextBtnCollection::CheckClick() {
  Clicked = PointInRect(FirstRect, context_.MouseX, context_.MouseY) ||
            PointInRect(SecondRect, context_.MouseX, context_.MouseY);
}

void TDDTextBtnCollection::Draw(TSurface& surface) {
  const bool before = FirstSelected;
  // The pointer wins on every draw, moved or not.
  if (PointInRect(FirstRect, context_.MouseX, context_.MouseY)) FirstSelected = true;
  if (PointInRect(SecondRect, context_.MouseX, context_.MouseY)) FirstSelected = false;

  DrawCaption(context_.Fonts, FirstRect.Left, FirstRect.Top, kFont.Height, kFont.Width,
              FirstSelected ? kOrange : kDarkBlue, surface, FirstCaption);
  DrawCaption(context_.Fonts, SecondRect.Left, SecondRect.Top, kFont.Height, kFont.Width,
              FirstSelected ? kDarkBlue : kOrange, surface, SecondCaption);

  if (FirstSelected != before) context_.PlayMenuSound();
}
