// Tidal Lynx: builds the real platform, the fonts, the audio and the main form,
// runs the form until the exit question is answered, then opens "play.url".

#include <charconv>
#include <exception>
#include <iostream>
#include <string_view>

#include "audio/Audio.h"
#include "graphics/Fonts.h"
#include "online/WebLinks.h"
#include "platform/SdlPlatform.h"
#include "shell/Form.h"
#include "shell/ShellState.h"

namespace {

constexpr int kMaxScale = 16;

// "--scale N" (or "--scale=N"): the windowed scale, 1 to 16. Returns false
// with a message on stderr for anything else on the command line.
bool ParseCommandLine(int argc, char** argv, int& scale) {
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::string_view value;
    if (arg == "--scale" && i + 1 < argc) {
      value = argv[++i];
    } else if (arg.starts_with("--scale=")) {
      value = arg.substr(8);
    } else {
      std::cerr << "tidal-lynx: unknown argument \"" << arg
                << "\"\nusage: tidal-lynx [--scale N]\n";
      return false;
    }
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), scale);
    if (ec != std::errc{} || end != value.data() + value.size() || scale < 1 || scale > kMaxScale) {
      std::cerr << "tidal-lynx: --scale takes a whole number from 1 to " << kMaxScale << '\n';
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int scale = 0;  // chosen from the desktop
  if (!ParseCommandLine(argc, argv, scale)) return 2;
  SdlPlatform platform;
  platform.SetWindowScale(scale);
  // Config.cfg lives in the current folder; so does an optional gamecontrollerdb.txt.
  platform.SetUserFolder(".");
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
