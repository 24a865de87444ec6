// shots [--data-dir DIR] [--language CODE] <outdir>: renders every screen of the game on the fake
// platform with the real image pack and writes PNG pictures for review. The
// pack is found as the game finds it: --data-dir, TIDAL_LYNX_DATA, the tool's
// own folder, then the build tree's game folder beside it. --language shows
// the screens in that language, with its texts and its pictures.

#include <exception>
#include <iostream>
#include <string>

#include "GameShots.h"
#include "ShellShots.h"
#include "i18n/Language.h"
#include "platform/GamePaths.h"

#ifndef TL_SHOTS_DATA_RELATIVE
#define TL_SHOTS_DATA_RELATIVE "../../game"
#endif

namespace {

constexpr const char* kUsage = "usage: shots [--data-dir DIR] [--language CODE] <outdir>\n";

}  // namespace

int main(int argc, char** argv) {
  std::string dataDir;
  std::string outDir;
  std::string language;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--data-dir" && i + 1 < argc) {
      dataDir = argv[++i];
    } else if (arg == "--language" && i + 1 < argc) {
      language = argv[++i];
    } else if (arg.rfind("--data-dir=", 0) == 0) {
      dataDir = arg.substr(std::string("--data-dir=").size());
    } else if (arg.empty() || arg[0] == '-' || !outDir.empty()) {
      std::cerr << kUsage;
      return 2;
    } else {
      outDir = arg;
    }
  }
  if (outDir.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  const TDataFolderChoice data = FindDataFolder(dataDir, TL_SHOTS_DATA_RELATIVE);
  if (data.Folder.empty()) {
    std::cerr << "shots: " << DescribeMissingData(data) << ". Use --data-dir DIR.\n";
    return 1;
  }
  const std::string packPath = data.Folder + "/" + kPackRelativePath;
  std::string languagePack;
  if (!language.empty()) {
    const std::string locale = LocaleFolderFor(data.Folder);
    const TLanguageChoice choice = ChooseLanguage(language, {}, AvailableLanguages(locale));
    if (!choice.Warning.empty()) std::cerr << "shots: " << choice.Warning << '\n';
    UseLanguage(choice.Code, locale);
    if (!choice.Code.empty()) languagePack = data.Folder + "/Data/" + choice.Code + "/Data.pp";
  }
  try {
    const int failures = WriteShellShots(outDir, packPath, languagePack);
    WriteGameShots(outDir, packPath, languagePack);
    return failures == 0 ? 0 : 1;
  } catch (const std::exception& error) {
    std::cerr << "shots: " << error.what() << '\n';
    return 1;
  }
}
