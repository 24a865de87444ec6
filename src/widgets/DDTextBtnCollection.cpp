#include "widgets/DDTextBtnCollection.h"

#include <algorithm>
#include <utility>

#include "graphics/Text.h"
#include "platform/FrameSize.h"
#include "widgets/PointInRect.h"

namespace {

// `rect` widened to where `caption` ends (never past `limit`), so that a
// click on any letter of a translation longer than the laid-out rectangle
// counts; the English captions fit theirs, which stay as they are.
TRect CoveringCaption(TFonts& fonts, TRect rect, const std::string& caption, int32_t limit) {
  // The caption and its shadow's pixel.
  const int32_t end = rect.Left + MeasureText(fonts, TDDTextBtnCollection::kFont, caption) + 1;
  rect.Right = std::max(rect.Right, std::min(end, limit));
  return rect;
}

}  // namespace

TDDTextBtnCollection::TDDTextBtnCollection(const TWidgetContext& context, const TRect& firstRect,
                                           const TRect& secondRect, std::string firstCaption,
                                           std::string secondCaption)
    : FirstCaption(std::move(firstCaption)),
      SecondCaption(std::move(secondCaption)),
      FirstRect(CoveringCaption(context.Fonts, firstRect, FirstCaption, secondRect.Left - 1)),
      SecondRect(CoveringCaption(context.Fonts, secondRect, SecondCaption, kFrameWidth)),
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
