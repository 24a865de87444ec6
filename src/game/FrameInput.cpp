#include "game/FrameInput.h"

namespace {

int8_t Direction(int32_t motion) {
  return static_cast<int8_t>(motion < 0 ? -1 : (motion > 0 ? 1 : 0));
}

bool Leans(const TPadState& pad, TPadButton button, TPadAxis axis, int sign) {
  return pad.Down(button) || sign * pad.Axis(axis) > kPadDeadZone;
}

}  // namespace

TFrameInput ReadDevices(const TKeyboardSnapshot& keys, const TMouseState& mouse,
                        const TPadState& pad) {
  struct TKeyBit {
    uint8_t Dik;
    uint8_t Bit;
  };
  static constexpr TKeyBit kKeys[] = {
      {dik::kLeft, kInputLeft},
      {dik::kRight, kInputRight},
      {dik::kUp, kInputUp},
      {dik::kDown, kInputDown},
      {dik::kLeftControl, kInputLeftControl},
      {dik::kRightControl, kInputRightControl},
  };
  TFrameInput input;
  for (const TKeyBit& key : kKeys) {
    if ((keys[key.Dik] & 0x80) != 0) input.Keys = static_cast<uint8_t>(input.Keys | key.Bit);
  }
  input.MouseX = Direction(mouse.X);
  input.MouseY = Direction(mouse.Y);
  for (size_t i = 0; i < mouse.Buttons.size(); ++i) {
    if ((mouse.Buttons[i] & 0x80) != 0) {
      input.MouseButtons = static_cast<uint8_t>(input.MouseButtons | (1u << i));
    }
  }
  {
    uint8_t bits = 0;
    if (Leans(pad, TPadButton::DpadLeft, TPadAxis::LeftX, -1)) bits |= kPadLeanLeft;
    if (Leans(pad, TPadButton::DpadRight, TPadAxis::LeftX, 1)) bits |= kPadLeanRight;
    if (Leans(pad, TPadButton::DpadUp, TPadAxis::LeftY, -1)) bits |= kPadLeanUp;
    if (Leans(pad, TPadButton::DpadDown, TPadAxis::LeftY, 1)) bits |= kPadLeanDown;
    if (pad.Down(TPadButton::A) || pad.Axis(TPadAxis::TriggerRight) > kPadDeadZone) {
      bits |= kPadFire;
    }
    input.Pad = bits;
  }
  return input;
}
