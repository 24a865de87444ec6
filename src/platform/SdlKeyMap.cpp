#include "platform/SdlKeyMap.h"

#include <SDL.h>

#include <array>

namespace {

struct TKeyRow {
  SDL_Scancode Scancode;
  uint8_t Dik;
  uint16_t Vk;
};

// Physical keys: DirectInput code (the set-1 scan code, 0x80 added for the
// extended keys) and the Windows virtual-key code on a US layout.
constexpr TKeyRow kKeys[] = {
    {SDL_SCANCODE_ESCAPE, 0x01, 27},
    {SDL_SCANCODE_1, 0x02, '1'},
    {SDL_SCANCODE_2, 0x03, '2'},
    {SDL_SCANCODE_3, 0x04, '3'},
    {SDL_SCANCODE_4, 0x05, '4'},
    {SDL_SCANCODE_5, 0x06, '5'},
    {SDL_SCANCODE_6, 0x07, '6'},
    {SDL_SCANCODE_7, 0x08, '7'},
    {SDL_SCANCODE_8, 0x09, '8'},
    {SDL_SCANCODE_9, 0x0A, '9'},
    {SDL_SCANCODE_0, 0x0B, '0'},
    {SDL_SCANCODE_MINUS, 0x0C, 189},
    {SDL_SCANCODE_EQUALS, 0x0D, 187},
    {SDL_SCANCODE_BACKSPACE, 0x0E, 8},
    {SDL_SCANCODE_TAB, 0x0F, 9},
    {SDL_SCANCODE_Q, 0x10, 'Q'},
    {SDL_SCANCODE_W, 0x11, 'W'},
    {SDL_SCANCODE_E, 0x12, 'E'},
    {SDL_SCANCODE_R, 0x13, 'R'},
    {SDL_SCANCODE_T, 0x14, 'T'},
    {SDL_SCANCODE_Y, 0x15, 'Y'},
    {SDL_SCANCODE_U, 0x16, 'U'},
    {SDL_SCANCODE_I, 0x17, 'I'},
    {SDL_SCANCODE_O, 0x18, 'O'},
    {SDL_SCANCODE_P, 0x19, 'P'},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A, 219},
    {SDL_SCANCODE_RIGHTBRACKET, 0x1B, 221},
    {SDL_SCANCODE_RETURN, 0x1C, 13},
    {SDL_SCANCODE_LCTRL, 0x1D, 17},
    {SDL_SCANCODE_A, 0x1E, 'A'},
    {SDL_SCANCODE_S, 0x1F, 'S'},
    {SDL_SCANCODE_D, 0x20, 'D'},
    {SDL_SCANCODE_F, 0x21, 'F'},
    {SDL_SCANCODE_G, 0x22, 'G'},
    {SDL_SCANCODE_H, 0x23, 'H'},
    {SDL_SCANCODE_J, 0x24, 'J'},
    {SDL_SCANCODE_K, 0x25, 'K'},
    {SDL_SCANCODE_L, 0x26, 'L'},
    {SDL_SCANCODE_SEMICOLON, 0x27, 186},
    {SDL_SCANCODE_APOSTROPHE, 0x28, 222},
    {SDL_SCANCODE_GRAVE, 0x29, 192},
    {SDL_SCANCODE_LSHIFT, 0x2A, 16},
    {SDL_SCANCODE_BACKSLASH, 0x2B, 220},
    {SDL_SCANCODE_NONUSHASH, 0x2B, 220},
    {SDL_SCANCODE_Z, 0x2C, 'Z'},
    {SDL_SCANCODE_X, 0x2D, 'X'},
    {SDL_SCANCODE_C, 0x2E, 'C'},
    {SDL_SCANCODE_V, 0x2F, 'V'},
    {SDL_SCANCODE_B, 0x30, 'B'},
    {SDL_SCANCODE_N, 0x31, 'N'},
    {SDL_SCANCODE_M, 0x32, 'M'},
    {SDL_SCANCODE_COMMA, 0x33, 188},
    {SDL_SCANCODE_PERIOD, 0x34, 190},
    {SDL_SCANCODE_SLASH, 0x35, 191},
    {SDL_SCANCODE_RSHIFT, 0x36, 16},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37, 106},
    {SDL_SCANCODE_LALT, 0x38, 18},
    {SDL_SCANCODE_SPACE, 0x39, 32},
    {SDL_SCANCODE_CAPSLOCK, 0x3A, 20},
    {SDL_SCANCODE_F1, 0x3B, 112},
    {SDL_SCANCODE_F2, 0x3C, 113},
    {SDL_SCANCODE_F3, 0x3D, 114},
    {SDL_SCANCODE_F4, 0x3E, 115},
    {SDL_SCANCODE_F5, 0x3F, 116},
    {SDL_SCANCODE_F6, 0x40, 117},
    {SDL_SCANCODE_F7, 0x41, 118},
    {SDL_SCANCODE_F8, 0x42, 119},
    {SDL_SCANCODE_F9, 0x43, 120},
    {SDL_SCANCODE_F10, 0x44, 121},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45, 144},
    {SDL_SCANCODE_SCROLLLOCK, 0x46, 145},
    {SDL_SCANCODE_KP_7, 0x47, 103},
    {SDL_SCANCODE_KP_8, 0x48, 104},
    {SDL_SCANCODE_KP_9, 0x49, 105},
    {SDL_SCANCODE_KP_MINUS, 0x4A, 109},
    {SDL_SCANCODE_KP_4, 0x4B, 100},
    {SDL_SCANCODE_KP_5, 0x4C, 101},
    {SDL_SCANCODE_KP_6, 0x4D, 102},
    {SDL_SCANCODE_KP_PLUS, 0x4E, 107},
    {SDL_SCANCODE_KP_1, 0x4F, 97},
    {SDL_SCANCODE_KP_2, 0x50, 98},
    {SDL_SCANCODE_KP_3, 0x51, 99},
    {SDL_SCANCODE_KP_0, 0x52, 96},
    {SDL_SCANCODE_KP_PERIOD, 0x53, 110},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56, 226},
    {SDL_SCANCODE_F11, 0x57, 122},
    {SDL_SCANCODE_F12, 0x58, 123},
    {SDL_SCANCODE_F13, 0x64, 124},
    {SDL_SCANCODE_F14, 0x65, 125},
    {SDL_SCANCODE_F15, 0x66, 126},
    {SDL_SCANCODE_KP_ENTER, 0x9C, 13},
    {SDL_SCANCODE_RCTRL, 0x9D, 17},
    {SDL_SCANCODE_KP_DIVIDE, 0xB5, 111},
    {SDL_SCANCODE_PRINTSCREEN, 0xB7, 44},
    {SDL_SCANCODE_RALT, 0xB8, 18},
    {SDL_SCANCODE_PAUSE, 0xC5, 19},
    {SDL_SCANCODE_HOME, 0xC7, 36},
    {SDL_SCANCODE_UP, 0xC8, 38},
    {SDL_SCANCODE_PAGEUP, 0xC9, 33},
    {SDL_SCANCODE_LEFT, 0xCB, 37},
    {SDL_SCANCODE_RIGHT, 0xCD, 39},
    {SDL_SCANCODE_END, 0xCF, 35},
    {SDL_SCANCODE_DOWN, 0xD0, 40},
    {SDL_SCANCODE_PAGEDOWN, 0xD1, 34},
    {SDL_SCANCODE_INSERT, 0xD2, 45},
    {SDL_SCANCODE_DELETE, 0xD3, 46},
    {SDL_SCANCODE_LGUI, 0xDB, 91},
    {SDL_SCANCODE_RGUI, 0xDC, 92},
    {SDL_SCANCODE_APPLICATION, 0xDD, 93},
};

constexpr int kKeyCount = static_cast<int>(sizeof(kKeys) / sizeof(kKeys[0]));

// Scancode-indexed views of the table, built once at compile time.
struct TIndexes {
  std::array<uint8_t, SDL_NUM_SCANCODES> Dik{};
  std::array<uint16_t, SDL_NUM_SCANCODES> Vk{};
};

constexpr TIndexes BuildIndexes() {
  TIndexes t;
  for (const TKeyRow& row : kKeys) {
    t.Dik[row.Scancode] = row.Dik;
    t.Vk[row.Scancode] = row.Vk;
  }
  return t;
}

constexpr TIndexes kIndexes = BuildIndexes();

// Virtual-key code of a character keycode (what the layout puts on the key).
uint16_t CharacterVirtualKey(int32_t c) {
  if (c >= 'a' && c <= 'z') return static_cast<uint16_t>(c - 'a' + 'A');
  if (c >= '0' && c <= '9') return static_cast<uint16_t>(c);
  switch (c) {
    case SDLK_RETURN:
      return 13;
    case SDLK_ESCAPE:
      return 27;
    case SDLK_BACKSPACE:
      return 8;
    case SDLK_TAB:
      return 9;
    case SDLK_SPACE:
      return 32;
    case SDLK_DELETE:
      return 46;
    case ';':
      return 186;
    case '=':
      return 187;
    case ',':
      return 188;
    case '-':
      return 189;
    case '.':
      return 190;
    case '/':
      return 191;
    case '`':
      return 192;
    case '[':
      return 219;
    case '\\':
      return 220;
    case ']':
      return 221;
    case '\'':
      return 222;
    default:
      return 0;
  }
}

bool ValidScancode(int32_t scancode) {
  return scancode > 0 && scancode < SDL_NUM_SCANCODES;
}

}  // namespace

uint16_t SdlKeyMap::ScancodeToVirtualKey(int32_t scancode) {
  return ValidScancode(scancode) ? kIndexes.Vk[static_cast<size_t>(scancode)] : 0;
}

uint8_t SdlKeyMap::ToDirectInput(int32_t scancode) {
  return ValidScancode(scancode) ? kIndexes.Dik[static_cast<size_t>(scancode)] : 0;
}

uint16_t SdlKeyMap::ToVirtualKey(int32_t keycode, int32_t scancode) {
  // Keys without a character carry their (layout-mapped) scancode inside the
  // keycode, so a remapped key (Caps Lock as Ctrl) gives the code it acts as.
  if ((keycode & SDLK_SCANCODE_MASK) != 0) {
    const uint16_t vk = ScancodeToVirtualKey(keycode & ~SDLK_SCANCODE_MASK);
    return vk != 0 ? vk : ScancodeToVirtualKey(scancode);
  }
  const uint16_t vk = keycode < 0x80 ? CharacterVirtualKey(keycode) : 0;
  return vk != 0 ? vk : ScancodeToVirtualKey(scancode);
}

int SdlKeyMap::MappedScancodeCount() {
  return kKeyCount;
}

int32_t SdlKeyMap::MappedScancode(int index) {
  return index >= 0 && index < kKeyCount ? kKeys[index].Scancode : 0;
}
