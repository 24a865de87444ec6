#pragma once

#include <cstdint>
#include <string>

#include "graphics/DeviceContext.h"
#include "graphics/Surface.h"
#include "widgets/WidgetContext.h"

// A one-line name field: letters only, at most 10, and never closer than 5
// pixels to the right edge; a blinking caret while focused and editing. The
// name is shown (and stored) with a capital first letter and the rest in lower
// case.
class TDDEdit {
 public:
  static constexpr uint8_t kMaxLength = 10;
  static constexpr char kBackspace = '~';  // what the input handling passes for Backspace
  static constexpr uint32_t kBlinkMs = 300;
  static constexpr TFontSpec kFont{32, 20, 700};

  TDDEdit(const TWidgetContext& context, const TRect& bounds);

  // One typed character: an upper-case letter is appended when it fits, the
  // tilde deletes the last character.
  void KeyInput(char character);
  // Replaces the text (settings load); TextLength follows.
  void SetText(const std::string& text);
  // Editing without a keyboard: moves the caret by `delta` letters (it stands
  // before a letter, or after the last), and steps the letter at the caret
  // through A to Z by `delta`, wrapping; at the end a new letter starts at A
  // (or Z going down) when one still fits. Typing puts the caret at the end.
  void MoveCaret(int delta);
  void CycleLetter(int delta);
  // Draws the field and advances the caret blink from the platform clock.
  void Draw(TSurface& surface);

  bool Focused = false;
  bool Editing = false;
  std::string Text;
  uint8_t TextLength = 0;
  uint8_t Caret = 0;  // letters before the caret
  TRect BoundsRect;
  uint32_t LastTick = 0;   // ms tick of the last draw
  uint32_t BlinkTick = 0;  // ms tick of the last caret phase change
  bool CaretPhase = false;

 private:
  bool Fits(const std::string& text);

  TWidgetContext context_;
};
