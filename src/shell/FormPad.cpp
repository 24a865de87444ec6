// The gamepad in the shell: the D-pad and the left stick move like the arrow
// keys, and each screen's row says which buttons stand for which keys (A
// chooses like Enter, B goes back like Esc; in the game Start pauses, Back asks
// to quit and X, Y and the shoulders change the weapon); the name entry is
// edited letter by letter. Steering, aiming and firing are read from the pad
// state by the ship itself.
#include <cstdint>

#include "game/GameStates.h"
#include "shell/Form.h"
#include "shell/VirtualKeys.h"

namespace {

uint16_t DirectionKey(TPadDirection direction) {
  switch (direction) {
    case TPadDirection::Up:
      return kVkUp;
    case TPadDirection::Down:
      return kVkDown;
    case TPadDirection::Left:
      return kVkLeft;
    case TPadDirection::Right:
      return kVkRight;
    case TPadDirection::None:
      break;
  }
  return 0;
}

bool IsDpad(TPadButton button) {
  return button == TPadButton::DpadUp || button == TPadButton::DpadDown ||
         button == TPadButton::DpadLeft || button == TPadButton::DpadRight;
}

}  // namespace

void TForm1::FormPadEvent(const TPlatformEvent& event) {
  const TPadDirection direction = padNavigator_.Feed(event, Sys.TickCount());
  if (event.Kind == TEventKind::PadAdded || event.Kind == TEventKind::PadRemoved) return;
  if (direction != TPadDirection::None) {
    State.MouseActive = kFalse32;
    PadDirection(direction);
    return;
  }
  if (event.Kind != TEventKind::PadButtonDown) return;
  const auto button = static_cast<TPadButton>(event.PadInput);
  if (IsDpad(button)) return;  // a second direction while one is held
  State.MouseActive = kFalse32;
  PadButton(button);
}

void TForm1::PadRepeat() {
  const TPadDirection direction = padNavigator_.Repeat(Sys.TickCount());
  if (direction != TPadDirection::None) PadDirection(direction);
}

void TForm1::PadDirection(TPadDirection direction) {
  if (!Widgets) return;
  if (const auto move = Screen().PadMove) (this->*move)(direction);
}

void TForm1::PadButton(TPadButton button) {
  if (!Widgets) return;
  const TScreen& screen = Screen();
  if (screen.PadPress) {
    (this->*screen.PadPress)(button);
    return;
  }
  for (const TPadKey& padKey : screen.PadKeys) {
    if (padKey.Button == button) {
      ScreenKey(padKey.Key);
      return;
    }
  }
}

void TForm1::PadArrows(TPadDirection direction) {
  ScreenKey(DirectionKey(direction));
}

void TForm1::PadIntro(TPadButton button) {
  // Keys leave the intro running; a pad-only player ends it like a click.
  if (button == TPadButton::A || button == TPadButton::Start) DoMenuCommand();
}

void TForm1::PadKeyCapture(TPadButton button) {
  if (button == TPadButton::B) GoTo(gsOptions);  // keeps the old key
}

void TForm1::PadNameMove(TPadDirection direction) {
  if (direction == TPadDirection::Up || direction == TPadDirection::Down) {
    Widgets->NameField->CycleLetter(direction == TPadDirection::Up ? 1 : -1);
  } else {
    Widgets->NameField->MoveCaret(direction == TPadDirection::Right ? 1 : -1);
  }
}

void TForm1::PadNameEntry(TPadButton button) {
  TDDEdit& field = *Widgets->NameField;
  TDDTextBtnCollection& okCancel = *Widgets->OkCancelGroup;
  const bool atEnd = field.Caret >= field.TextLength;
  if (button == TPadButton::A && !atEnd) {
    field.MoveCaret(1);
  } else if (button == TPadButton::A || button == TPadButton::Start) {
    okCancel.Select(true);
    ScreenKey(kVkReturn);
  } else if (button == TPadButton::B) {
    okCancel.Select(false);
    ScreenKey(kVkReturn);
  }
}
