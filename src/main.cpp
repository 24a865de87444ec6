// Tidal Lynx: builds the real platform, the fonts, the audio and the main form,
// runs the form until the exit question is answered, then opens "play.url".

#include <exception>
#include <iostream>

#include "audio/Audio.h"
#include "graphics/Fonts.h"
#include "online/WebLinks.h"
#include "platform/SdlPlatform.h"
#include "shell/Form.h"
#include "shell/ShellState.h"

int main() {
  SdlPlatform platform;
  try {
    TShellState state;
    TFonts fonts;
    // The audio reads the sound switch of the settings on every effect.
    TAudio audio(platform, state.Settings.SoundOn);
    TForm1 form(platform, state, fonts, audio, audio);
    form.Create();
    form.Run();
  } catch (const std::exception& error) {
    platform.ShowError("Tidal Lynx", error.what());
    return 1;
  }
  OpenExitLink(platform);
  return 0;
}
