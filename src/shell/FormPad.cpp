// The gamepad in the shell: the D-pad and the left stick move like the arrow
// keys, A chooses like Enter, B goes back like Esc; in the game Start pauses,
// Back asks to quit and X, Y and the shoulders change the weapon; the name entry
// is edited letter by letter. Steering, aiming and firing are read from the
// pad state by the ship itself.
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

// The key a pad button stands for on a screen, or 0 for none.
uint16_t ButtonKey(uint32_t gameState, TPadButton button) {
  switch (gameState) {
    case gsPlaying:
      switch (button) {
        case TPadButton::Start:
          return kVkP;
        case TPadButton::Back:
          return kVkEscape;
        case TPadButton::X:
        case TPadButton::Y:
        case TPadButton::LeftShoulder:
        case TPadButton::RightShoulder:
          return kVkSpace;
        default:
          return 0;  // A and the trigger fire: the ship reads them
      }
    case gsPaused:
      if (button == TPadButton::Start) return kVkP;
      return button == TPadButton::B || button == TPadButton::Back ? kVkEscape : 0;
    case gsMainMenu:
      if (button == TPadButton::Start) return kVkEscape;  // the exit question
      break;
    case gsHighScores:  // the table's replays: pick a row, watch it
      if (button == TPadButton::LeftShoulder) return kVkPageUp;
      if (button == TPadButton::RightShoulder) return kVkPageDown;
      if (button == TPadButton::X) return kVkW;
      break;
    case gsWatching:  // A and the right shoulder are held for speed
      if (button == TPadButton::Start) return kVkP;
      return button == TPadButton::B || button == TPadButton::Back ? kVkEscape : 0;
    default:
      break;
  }
  if (button == TPadButton::A) return kVkReturn;
  if (button == TPadButton::B || button == TPadButton::Back) return kVkEscape;
  return 0;
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
  switch (State.GameState) {
    case gsKeyCapture:  // only a key can be chosen as the minimize key
      return;
    case gsNameEntry:
      if (direction == TPadDirection::Up || direction == TPadDirection::Down) {
        Widgets->NameField->CycleLetter(direction == TPadDirection::Up ? 1 : -1);
      } else {
        Widgets->NameField->MoveCaret(direction == TPadDirection::Right ? 1 : -1);
      }
      return;
    default:
      ScreenKey(DirectionKey(direction));
      return;
  }
}

void TForm1::PadButton(TPadButton button) {
  if (!Widgets) return;
  switch (State.GameState) {
    case gsIntro:
      // Keys leave the intro running; a pad-only player ends it like a click.
      if (button == TPadButton::A || button == TPadButton::Start) DoMenuCommand();
      return;
    case gsKeyCapture:
      if (button == TPadButton::B) State.GameState = gsOptions;  // keeps the old key
      return;
    case gsNameEntry:
      PadNameEntry(button);
      return;
    default: {
      const uint16_t key = ButtonKey(State.GameState, button);
      if (key != 0) ScreenKey(key);
      return;
    }
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
