#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "graphics/Surface.h"
#include "widgets/DDButton.h"
#include "widgets/MenuLayout.h"
#include "widgets/WidgetContext.h"

// A list of image buttons with one current item that follows the pointer (while
// MouseActive is set) and the keys, and plays the menu click when it changes.
class TDDBtnCollection {
 public:
  // Makes one button per table entry, then selects item 0 (which plays the menu click).
  TDDBtnCollection(const TWidgetContext& context, std::span<const TButtonSpec> items);
  virtual ~TDDBtnCollection() = default;
  TDDBtnCollection(const TDDBtnCollection&) = delete;
  TDDBtnCollection& operator=(const TDDBtnCollection&) = delete;

  // Makes `index` current, wrapping past either end, and plays the menu click.
  void Select(int32_t index);
  // Makes `index` (within range) current and highlighted, without the click.
  void SetCurrent(int32_t index);
  void SelectNext() { Select(Current + 1); }
  void SelectPrev() { Select(Current - 1); }
  // Clicked := the pointer is inside any button.
  void CheckClick();
  // Follows the pointer, draws the current item's highlight and plays the menu
  // click when the current item changed.
  virtual void Draw(TSurface& surface);

  std::vector<TDDButton> Buttons;
  int8_t Current = 0;
  int8_t Previous = 0;  // Current at the start of the last draw
  int8_t Count = 0;
  bool Clicked = false;

 protected:
  // Steps 1 to 5 of the draw; returns whether the current item changed.
  bool DrawAndTrack(TSurface& surface);

  TWidgetContext context_;
};
