#pragma once

#include <array>
#include <cstdint>

#include "graphics/Surface.h"
#include "widgets/DDEdit.h"
#include "widgets/DDTextButton.h"
#include "widgets/DDToggleButton.h"
#include "widgets/MenuLayout.h"
#include "widgets/WidgetContext.h"

// The options panel: three two-way toggles, the player name field and the
// minimize-key button, with a cursor over eight positions:
//   0/1 DisplayToggle (windowed / full screen), 2/3 MusicToggle (on / off),
//   4/5 SoundToggle (on / off), 6 NameEdit, 7 KeyButton.
class TDDOptBtnCollection {
 public:
  static constexpr int8_t kCursorName = 6;
  static constexpr int8_t kCursorKey = 7;
  static constexpr TRect kKeyButtonRect = menu_layout::kKeyButtonRect;

  // Rectangles 0..5 are the toggles' first and second label areas, rectangle 6
  // the name field; images 0..5 the toggles' marks (the field's focus frame
  // is fixed).
  TDDOptBtnCollection(const TWidgetContext& context, const std::array<TRect, 7>& rects,
                      const std::array<TMenuSlot, 6>& images);
  TDDOptBtnCollection(const TDDOptBtnCollection&) = delete;
  TDDOptBtnCollection& operator=(const TDDOptBtnCollection&) = delete;

  // Enter or Space: on a toggle the cursor moves to the pair's other choice;
  // always sets Clicked. The caller then runs its menu command.
  void Activate();
  // Down and Up keys: clear MouseHover, move the cursor one row (landing on a
  // toggle's current choice) and play the menu click.
  void MoveDown();
  void MoveUp();
  // Left (second = false) or Right (second = true) on a toggle row: Clicked :=
  // true and the cursor goes to that side. Returns false, changing nothing,
  // when the cursor is not on a toggle. The caller then runs its menu command.
  bool ChooseSide(bool second);
  // Clicked := the pointer is inside a toggle's label, the field or the key button.
  void CheckClick();
  // Follows the pointer while MouseHover, focuses the row under the cursor,
  // draws every widget and plays the menu click when the cursor moved.
  void Draw(TSurface& surface);

  TDDToggleButton DisplayToggle;  // checked = windowed
  TDDToggleButton MusicToggle;    // checked = music on
  TDDToggleButton SoundToggle;    // checked = sound effects on
  TDDTextButton KeyButton;        // name of the minimize key
  TDDEdit NameEdit;               // the player's name
  uint8_t Row = 0;                // focused row, 0 to 4
  int8_t PreviousCursor = 0;      // Cursor at the start of the last draw
  int8_t Cursor = 0;              // 0 to 7, see above
  bool Clicked = false;
  bool MouseHover = false;  // set by the form on mouse movement, cleared by Up/Down

 private:
  // The cursor position of toggle `row`'s current choice.
  int8_t ChoiceOf(int row) const;
  TDDToggleButton& Toggle(int row);

  TWidgetContext context_;
};
