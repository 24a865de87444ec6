#include "widgets/DDOptBtnCollection.h"

#include "widgets/PointInRect.h"

TDDOptBtnCollection::TDDOptBtnCollection(const TWidgetContext& context,
                                         const std::array<TRect, 7>& rects,
                                         const std::array<TMenuSlot, 6>& images)
    : DisplayToggle(context, rects[0], rects[1], images[0], images[1]),
      MusicToggle(context, rects[2], rects[3], images[2], images[3]),
      SoundToggle(context, rects[4], rects[5], images[4], images[5]),
      KeyButton(context, kKeyButtonRect, "F12"),
      NameEdit(context, rects[6]),
      context_(context) {}

TDDToggleButton& TDDOptBtnCollection::Toggle(int row) {
  if (row == 0) return DisplayToggle;
  if (row == 1) return MusicToggle;
  return SoundToggle;
}

int8_t TDDOptBtnCollection::ChoiceOf(int row) const {
  const TDDToggleButton& toggle = row == 0 ? DisplayToggle : (row == 1 ? MusicToggle : SoundToggle);
  return static_cast<int8_t>(2 * row + (toggle.Checked ? 0 : 1));
}

void TDDOptBtnCollection::Activate() {
  // On a toggle the cursor flips to the other choice of its pair.
  if (Cursor >= 0 && Cursor <= 5) Cursor = static_cast<int8_t>(Cursor ^ 1);
  Clicked = true;
}

void TDDOptBtnCollection::MoveDown() {
  MouseHover = false;
  switch (Cursor) {
    case 0:
    case 1:
      Cursor = ChoiceOf(1);
      break;
    case 2:
    case 3:
      Cursor = ChoiceOf(2);
      break;
    case 4:
    case 5:
      Cursor = kCursorName;
      break;
    case kCursorName:
      Cursor = kCursorKey;
      break;
    default:
      Cursor = ChoiceOf(0);
      break;
  }
  context_.PlayMenuSound();
}

void TDDOptBtnCollection::MoveUp() {
  MouseHover = false;
  switch (Cursor) {
    case 0:
    case 1:
      Cursor = kCursorKey;
      break;
    case 2:
    case 3:
      Cursor = ChoiceOf(0);
      break;
    case 4:
    case 5:
      Cursor = ChoiceOf(1);
      break;
    case kCursorName:
      Cursor = ChoiceOf(2);
      break;
    default:
      Cursor = kCursorName;
      break;
  }
  context_.PlayMenuSound();
}

bool TDDOptBtnCollection::ChooseSide(bool second) {
  if (Cursor < 0 || Cursor > 5) return false;
  Clicked = true;
  Cursor = static_cast<int8_t>(2 * (Cursor / 2) + (second ? 1 : 0));
  return true;
}

void TDDOptBtnCollection::CheckClick() {
  const int32_t x = context_.MouseX;
  const int32_t y = context_.MouseY;
  bool inside = PointInRect(NameEdit.BoundsRect, x, y) || PointInRect(KeyButton.BoundsRect, x, y);
  for (int row = 0; row < 3; ++row) {
    const TDDToggleButton& toggle = Toggle(row);
    inside = inside || PointInRect(toggle.FirstRect, x, y) || PointInRect(toggle.SecondRect, x, y);
  }
  Clicked = inside;
}

void TDDOptBtnCollection::Draw(TSurface& surface) {
  if (Cursor > 7) Cursor = 0;
  if (Cursor < 0) Cursor = 7;
  PreviousCursor = Cursor;

  if (MouseHover) {
    const int32_t x = context_.MouseX;
    const int32_t y = context_.MouseY;
    for (int row = 0; row < 3; ++row) {
      const TDDToggleButton& toggle = Toggle(row);
      if (PointInRect(toggle.FirstRect, x, y)) Cursor = static_cast<int8_t>(2 * row);
      if (PointInRect(toggle.SecondRect, x, y)) Cursor = static_cast<int8_t>(2 * row + 1);
    }
    if (PointInRect(NameEdit.BoundsRect, x, y)) Cursor = kCursorName;
    if (PointInRect(KeyButton.BoundsRect, x, y)) Cursor = kCursorKey;
  }

  DisplayToggle.Focused = false;
  MusicToggle.Focused = false;
  SoundToggle.Focused = false;
  NameEdit.Focused = false;
  KeyButton.Focused = false;

  if (Cursor <= 5) {
    const int row = Cursor / 2;
    Toggle(row).Focused = true;
    Row = static_cast<uint8_t>(row);
    // Leaving the name field for a toggle ends editing.
    NameEdit.Editing = false;
  } else if (Cursor == kCursorName) {
    NameEdit.Focused = true;
    Row = 3;
  } else {
    KeyButton.Focused = true;
    Row = 4;
  }

  DisplayToggle.Draw(surface);
  MusicToggle.Draw(surface);
  SoundToggle.Draw(surface);
  NameEdit.Draw(surface);
  KeyButton.Draw(surface);

  if (Cursor != PreviousCursor) context_.PlayMenuSound();
}
