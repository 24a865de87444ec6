#include "platform/SdlKeyMap.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

struct TVkCase {
  SDL_Keycode key;
  SDL_Scancode scan;
  uint16_t vk;
  const char* what;
};

TEST(SdlKeyMap, KeyEventsBecomeWindowsVirtualKeys) {
  const std::vector<TVkCase> cases = {
      {SDLK_a, SDL_SCANCODE_A, 65, "A"},
      {SDLK_n, SDL_SCANCODE_N, 78, "N"},
      {SDLK_p, SDL_SCANCODE_P, 80, "P"},
      {SDLK_y, SDL_SCANCODE_Y, 89, "Y"},
      {SDLK_z, SDL_SCANCODE_Z, 90, "Z"},
      {SDLK_0, SDL_SCANCODE_0, 48, "0"},
      {SDLK_9, SDL_SCANCODE_9, 57, "9"},
      {SDLK_F1, SDL_SCANCODE_F1, 112, "F1"},
      {SDLK_F5, SDL_SCANCODE_F5, 116, "F5"},
      {SDLK_F12, SDL_SCANCODE_F12, 123, "F12"},
      {SDLK_F15, SDL_SCANCODE_F15, 126, "F15"},
      {SDLK_LEFT, SDL_SCANCODE_LEFT, 37, "Left"},
      {SDLK_UP, SDL_SCANCODE_UP, 38, "Up"},
      {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 39, "Right"},
      {SDLK_DOWN, SDL_SCANCODE_DOWN, 40, "Down"},
      {SDLK_RETURN, SDL_SCANCODE_RETURN, 13, "Enter"},
      {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13, "keypad Enter"},
      {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27, "Esc"},
      {SDLK_SPACE, SDL_SCANCODE_SPACE, 32, "Space"},
      {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 8, "Backspace"},
      {SDLK_TAB, SDL_SCANCODE_TAB, 9, "Tab"},
      {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, 33, "PgUp"},
      {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, 34, "PgDn"},
      {SDLK_END, SDL_SCANCODE_END, 35, "End"},
      {SDLK_HOME, SDL_SCANCODE_HOME, 36, "Home"},
      {SDLK_INSERT, SDL_SCANCODE_INSERT, 45, "Ins"},
      {SDLK_DELETE, SDL_SCANCODE_DELETE, 46, "Del"},
      {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 16, "left Shift"},
      {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 16, "right Shift"},
      {SDLK_LCTRL, SDL_SCANCODE_LCTRL, 17, "left Ctrl"},
      {SDLK_RCTRL, SDL_SCANCODE_RCTRL, 17, "right Ctrl"},
      {SDLK_LALT, SDL_SCANCODE_LALT, 18, "left Alt"},
      {SDLK_RALT, SDL_SCANCODE_RALT, 18, "right Alt"},
      {SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, 186, ";"},
      {SDLK_EQUALS, SDL_SCANCODE_EQUALS, 187, "="},
      {SDLK_COMMA, SDL_SCANCODE_COMMA, 188, ","},
      {SDLK_MINUS, SDL_SCANCODE_MINUS, 189, "-"},
      {SDLK_PERIOD, SDL_SCANCODE_PERIOD, 190, "."},
      {SDLK_SLASH, SDL_SCANCODE_SLASH, 191, "/"},
      {SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE, 192, "`"},
      {SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET, 219, "["},
      {SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH, 220, "\\"},
      {SDLK_RIGHTBRACKET, SDL_SCANCODE_RIGHTBRACKET, 221, "]"},
      {SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, 222, "'"},
      {SDLK_KP_5, SDL_SCANCODE_KP_5, 101, "keypad 5"},
      // Layouts: the letter the layout puts on a key counts (AZERTY A on the
      // US Q position), a non-ASCII character falls back to the position.
      {SDLK_a, SDL_SCANCODE_Q, 65, "AZERTY A"},
      {SDLK_q, SDL_SCANCODE_A, 81, "AZERTY Q"},
      {0xE9, SDL_SCANCODE_2, 50, "AZERTY e-acute on the 2 key"},
      {0xE4, SDL_SCANCODE_APOSTROPHE, 222, "German a-umlaut"},
      // Caps Lock remapped to Ctrl acts as Ctrl.
      {SDLK_LCTRL, SDL_SCANCODE_CAPSLOCK, 17, "Caps as Ctrl"},
      {SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0, "nothing"},
      {SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY, 0, "media key"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SdlKeyMap::ToVirtualKey(c.key, c.scan), c.vk) << c.what;
  }
}

TEST(SdlKeyMap, PhysicalKeysBecomeDirectInputCodes) {
  const std::vector<std::tuple<SDL_Scancode, uint8_t, const char*>> cases = {
      {SDL_SCANCODE_UP, 0xC8, "Up"},
      {SDL_SCANCODE_DOWN, 0xD0, "Down"},
      {SDL_SCANCODE_LEFT, 0xCB, "Left"},
      {SDL_SCANCODE_RIGHT, 0xCD, "Right"},
      {SDL_SCANCODE_LCTRL, 0x1D, "left Ctrl"},
      {SDL_SCANCODE_RCTRL, 0x9D, "right Ctrl"},
      {SDL_SCANCODE_ESCAPE, 0x01, "Esc"},
      {SDL_SCANCODE_RETURN, 0x1C, "Enter"},
      {SDL_SCANCODE_SPACE, 0x39, "Space"},
      {SDL_SCANCODE_LSHIFT, 0x2A, "left Shift"},
      {SDL_SCANCODE_RSHIFT, 0x36, "right Shift"},
      {SDL_SCANCODE_LALT, 0x38, "left Alt"},
      {SDL_SCANCODE_RALT, 0xB8, "right Alt"},
      {SDL_SCANCODE_A, 0x1E, "A"},
      {SDL_SCANCODE_Q, 0x10, "Q"},
      {SDL_SCANCODE_Z, 0x2C, "Z"},
      {SDL_SCANCODE_P, 0x19, "P"},
      {SDL_SCANCODE_1, 0x02, "1"},
      {SDL_SCANCODE_0, 0x0B, "0"},
      {SDL_SCANCODE_F1, 0x3B, "F1"},
      {SDL_SCANCODE_F10, 0x44, "F10"},
      {SDL_SCANCODE_F11, 0x57, "F11"},
      {SDL_SCANCODE_F12, 0x58, "F12"},
      {SDL_SCANCODE_KP_ENTER, 0x9C, "keypad Enter"},
      {SDL_SCANCODE_UNKNOWN, 0, "unknown"},
      {SDL_SCANCODE_AUDIOPLAY, 0, "media key"},
  };
  for (const auto& [scan, dik, what] : cases) {
    EXPECT_EQ(SdlKeyMap::ToDirectInput(scan), dik) << what;
  }
  EXPECT_EQ(SdlKeyMap::ToDirectInput(-1), 0);
  EXPECT_EQ(SdlKeyMap::ToDirectInput(SDL_NUM_SCANCODES), 0);
}

TEST(SdlKeyMap, EveryMappedKeyHasItsOwnSnapshotByte) {
  // Two physical keys sharing a byte would make one look held when the other
  // is; the only deliberate pair is the two names SDL has for the key left of
  // Enter (it exists once on any keyboard).
  std::set<uint8_t> seen;
  int shared = 0;
  for (int i = 0; i < SdlKeyMap::MappedScancodeCount(); ++i) {
    const uint8_t dik = SdlKeyMap::ToDirectInput(SdlKeyMap::MappedScancode(i));
    ASSERT_NE(dik, 0) << "scancode " << SdlKeyMap::MappedScancode(i);
    if (!seen.insert(dik).second) ++shared;
  }
  EXPECT_EQ(shared, 1);
}

}  // namespace
