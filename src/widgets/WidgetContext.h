#pragma once

#include <cstdint>

#include "audio/SoundEffects.h"
#include "graphics/Fonts.h"
#include "graphics/ImageSlots.h"
#include "platform/Platform.h"

// What the widgets read from the main form: the image slots, the fonts, the
// sound effects, the clock (for the caret) and the pointer. Every member refers
// to state the form owns and keeps alive for as long as the widgets live, so
// the widgets always see the form's current values without any globals.
struct TWidgetContext {
  TImageSlots& Images;
  TFonts& Fonts;
  ISoundEffects& Sound;
  Platform& Sys;
  // Last pointer position in frame pixels.
  const int32_t& MouseX;
  const int32_t& MouseY;
  // 0 or -1: set by mouse movement and activation, cleared by key presses.
  // While clear the button groups ignore the pointer.
  const int32_t& MouseActive;
  // The form's screen code; the main menu group sets it to MainMenuState when
  // the pointer moves its highlight to another item.
  uint32_t& GameState;
  uint32_t MainMenuState = 1;

  // The menu click: "CheckMenu" placed at the pointer.
  void PlayMenuSound() const { Sound.PlaySoundAt(MouseX, MouseY, sndCheckMenu); }
};
