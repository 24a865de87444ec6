#include "shell/PadNavigator.h"

#include <cstdlib>

namespace {

// D-pad button -> index in the navigator's D-pad array, or -1.
int DpadIndex(uint8_t button) {
  switch (static_cast<TPadButton>(button)) {
    case TPadButton::DpadUp:
      return 0;
    case TPadButton::DpadDown:
      return 1;
    case TPadButton::DpadLeft:
      return 2;
    case TPadButton::DpadRight:
      return 3;
    default:
      return -1;
  }
}

}  // namespace

TPadDirection TPadNavigator::Held() const {
  if (dpad_[0]) return TPadDirection::Up;
  if (dpad_[1]) return TPadDirection::Down;
  if (dpad_[2]) return TPadDirection::Left;
  if (dpad_[3]) return TPadDirection::Right;
  const int32_t ax = std::abs(static_cast<int32_t>(stickX_));
  const int32_t ay = std::abs(static_cast<int32_t>(stickY_));
  if (ax <= kPadDeadZone && ay <= kPadDeadZone) return TPadDirection::None;
  if (ay >= ax) return stickY_ < 0 ? TPadDirection::Up : TPadDirection::Down;
  return stickX_ < 0 ? TPadDirection::Left : TPadDirection::Right;
}

TPadDirection TPadNavigator::Feed(const TPlatformEvent& event, uint32_t now) {
  switch (event.Kind) {
    case TEventKind::PadButtonDown:
    case TEventKind::PadButtonUp: {
      const int index = DpadIndex(event.PadInput);
      if (index < 0) return TPadDirection::None;
      dpad_[static_cast<size_t>(index)] = event.Kind == TEventKind::PadButtonDown;
      break;
    }
    case TEventKind::PadAxisMotion:
      if (event.PadInput == static_cast<uint8_t>(TPadAxis::LeftX)) {
        stickX_ = event.AxisValue;
      } else if (event.PadInput == static_cast<uint8_t>(TPadAxis::LeftY)) {
        stickY_ = event.AxisValue;
      } else {
        return TPadDirection::None;
      }
      break;
    case TEventKind::PadRemoved:
      Reset();
      return TPadDirection::None;
    default:
      return TPadDirection::None;
  }
  const TPadDirection current = Held();
  if (current == held_) return TPadDirection::None;
  held_ = current;
  nextRepeat_ = now + kRepeatDelayMs;
  return held_;
}

TPadDirection TPadNavigator::Repeat(uint32_t now) {
  if (held_ == TPadDirection::None) return TPadDirection::None;
  // Signed difference: right across the 32-bit wrap of the tick.
  if (static_cast<int32_t>(now - nextRepeat_) < 0) return TPadDirection::None;
  nextRepeat_ = now + kRepeatIntervalMs;
  return held_;
}
