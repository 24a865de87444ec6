#pragma once

#include <string>

#include "graphics/DeviceContext.h"
#include "graphics/Surface.h"
#include "widgets/WidgetContext.h"

// A dialog's pair of captions (Yes/No, Ok/Cancel), one of them highlighted.
// The pointer is followed on every draw, whether or not it moved.
class TDDTextBtnCollection {
 public:
  static constexpr TFontSpec kFont{46, 20, 800};

  TDDTextBtnCollection(const TWidgetContext& context, const TRect& firstRect,
                       const TRect& secondRect, std::string firstCaption,
                       std::string secondCaption);
  TDDTextBtnCollection(const TDDTextBtnCollection&) = delete;
  TDDTextBtnCollection& operator=(const TDDTextBtnCollection&) = delete;

  // Highlights the first (true) or second caption and plays the menu click.
  void Select(bool first);
  // Clicked := the pointer is inside either caption's rectangle (widened to
  // the caption's end where a translation runs past it).
  void CheckClick();
  void Draw(TSurface& surface);

  bool FirstSelected = true;
  std::string FirstCaption;
  std::string SecondCaption;
  TRect FirstRect;
  TRect SecondRect;
  bool Clicked = false;

 private:
  TWidgetContext context_;
};
