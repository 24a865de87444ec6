#pragma once

#include <cstdint>

// Translation of SDL key events into the codes the game reads: Windows
// virtual-key codes for key-down events and DirectInput key codes for the
// keyboard snapshot. Arguments are SDL_Keycode and SDL_Scancode values; the
// header stays free of SDL so that it can be used by anything above.
class SdlKeyMap {
 public:
  // Virtual-key code of a key event, or 0 when the key has none. Character
  // keys follow the keyboard layout (the keycode), like Windows; characters
  // outside ASCII fall back to the physical key's US position.
  static uint16_t ToVirtualKey(int32_t keycode, int32_t scancode);
  // DirectInput key code (a physical position) of a scancode, or 0.
  static uint8_t ToDirectInput(int32_t scancode);
  // Virtual-key code of the physical key on a US layout, or 0.
  static uint16_t ScancodeToVirtualKey(int32_t scancode);
  // Every scancode that has a DirectInput code, for building the snapshot.
  static int MappedScancodeCount();
  static int32_t MappedScancode(int index);
};
