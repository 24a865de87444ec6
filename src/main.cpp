// Tidal Lynx: reads the command line, finds the data and user folders, builds
// the real platform, the fonts, the audio and the main form, runs the form
// until the exit question is answered, then opens "play.url".

#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "audio/Audio.h"
#include "graphics/Fonts.h"
#include "i18n/Language.h"
#include "online/WebLinks.h"
#include "platform/GamePaths.h"
#include "platform/SdlPlatform.h"
#include "replay/VerifyCommand.h"
#include "shell/CommandLine.h"
#include "shell/Form.h"
#include "shell/ReplayViewer.h"
#include "shell/ShellState.h"

#ifndef TL_VERSION
#define TL_VERSION "unknown"
#endif
#ifndef TL_INSTALLED_DATA_RELATIVE
#define TL_INSTALLED_DATA_RELATIVE "../share/tidal-lynx"
#endif

int main(int argc, char** argv) {
  const std::string program = "tidal-lynx";
  const std::vector<std::string> args(argv, argv + argc);
  // The language comes first, so that even a bad command line is answered
  // in it; the line is read again once it is chosen.
  const TCommandLine first = ParseCommandLine(args);
  const std::string localeFolder =
      LocaleFolderFor(FindDataFolder(first.DataDir, TL_INSTALLED_DATA_RELATIVE).Folder);
  const TLanguageChoice language =
      ChooseLanguage(first.Language, TLanguageEnv::FromProcess(), AvailableLanguages(localeFolder));
  UseLanguage(language.Code, localeFolder);
  if (!language.Warning.empty()) std::cerr << program << ": " << language.Warning << '\n';
  const TCommandLine line = ParseCommandLine(args);
  if (!line.Error.empty()) {
    std::cerr << program << ": " << line.Error << '\n' << UsageLine(program) << '\n';
    return 2;
  }
  if (line.Help) {
    std::cout << HelpText(program);
    return 0;
  }
  if (line.Version) {
    std::cout << "Tidal Lynx " << TL_VERSION << '\n';
    return 0;
  }
  // Game logic only: no window, no sound device, SDL never starts.
  if (!line.VerifyReplay.empty()) return RunVerifyReplay(line.VerifyReplay, line.Json, std::cout);
  // A replay to watch is read before any window opens: one that cannot be
  // played is told on stderr with status 2.
  TReplay watched;
  if (!line.Replay.empty()) {
    std::string error;
    if (!ReadWatchableReplay(line.Replay, watched, error)) {
      std::cerr << program << ": " << error << '\n';
      return 2;
    }
  }
  const TGameFolders folders =
      ResolveGameFolders(line.DataDir, line.ConfigFile, TL_INSTALLED_DATA_RELATIVE);
  if (!folders.Error.empty()) {
    std::cerr << "Tidal Lynx: " << folders.Error << '\n';
    return 1;
  }
  // The game still runs; saving settings reports its own failure later.
  if (!folders.Warning.empty()) std::cerr << "Tidal Lynx: " << folders.Warning << '\n';

  std::unique_ptr<TFonts> fonts;
  try {
    fonts = std::make_unique<TFonts>();
  } catch (const std::exception& error) {
    std::cerr << "Tidal Lynx: " << error.what() << '\n';
    return 1;
  }

  SdlPlatform platform;
  platform.SetWindowScale(line.Scale);
  // A "gamecontrollerdb.txt" beside Config.cfg adds the player's pad mappings.
  const std::filesystem::path userFolder = std::filesystem::path(folders.ConfigPath).parent_path();
  platform.SetUserFolder(userFolder.empty() ? "." : userFolder.string());
  try {
    TShellState state;
    // The audio reads the sound switch of the settings on every effect.
    // --no-sound and --no-music hand the form silent sinks for this run; the
    // settings themselves stay as saved.
    std::unique_ptr<TAudio> audio;
    if (!line.NoSound || !line.NoMusic) {
      audio = std::make_unique<TAudio>(platform, state.Settings.SoundOn,
                                       folders.DataFolder + "/sound/");
    }
    TSilentSoundEffects silentSound;
    TSilentMusic silentMusic;
    ISoundEffects& sound = line.NoSound ? static_cast<ISoundEffects&>(silentSound) : *audio;
    IMusic& music = line.NoMusic ? static_cast<IMusic&>(silentMusic) : *audio;
    TFormPaths paths;
    paths.PackPath = folders.DataFolder + "/" + kPackRelativePath;
    paths.ConfigPath = folders.ConfigPath;
    if (!language.Code.empty())
      paths.LanguagePackPath = folders.DataFolder + "/Data/" + language.Code + "/Data.pp";
    TForm1 form(platform, state, *fonts, sound, music, paths, line.Windowed);
    form.Create();
    if (!line.Replay.empty()) form.WatchReplay(std::move(watched), true);
    // The sound device opens once the first frame is on the screen; the menu
    // music, already playing, starts with it.
    form.RunOnce();
    if (audio) audio->OpenDevice();
    form.Run();
  } catch (const std::exception& error) {
    platform.ShowError("Tidal Lynx", error.what());
    return 1;
  }
  // Watching a replay is not a session of play: no link afterwards.
  if (line.Replay.empty()) OpenExitLink(platform, folders.DataFolder + "/play.url");
  return 0;
}
