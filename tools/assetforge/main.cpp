// The asset forge: writes the image pack, the sound bank and the two music
// modules, or a contact sheet of every picture for review.
#include <SDL.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "EmbeddedSource.h"
#include "FontSet.h"
#include "IconPainter.h"
#include "ImagePack.h"
#include "LanguagePacks.h"
#include "MusicComposer.h"
#include "SoundBank.h"
#include "i18n/Language.h"

namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  // Write beside the target and rename, so an interrupted build never
  // leaves a half-written asset that looks up to date.
  const fs::path temp = path.string() + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("Cannot write " + temp.string());
  }
  fs::rename(temp, path);
}

void WriteText(const fs::path& path, const std::string& text) {
  WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// The desktop icons as PNG files in a hicolor theme tree:
// DIR/<size>x<size>/apps/NAME.png.
void WriteIcons(const fs::path& dir, const std::string& name) {
  for (const int size : TIconPainter::kSizes) {
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    const fs::path path = dir / folder / "apps" / (name + ".png");
    fs::create_directories(path.parent_path());
    const fs::path temp = path.string() + ".tmp";
    const auto icon = TIconPainter::Icon(size);
    if (cairo_surface_write_to_png(icon->Surface(), temp.c_str()) != CAIRO_STATUS_SUCCESS) {
      throw std::runtime_error("Cannot write " + temp.string());
    }
    fs::rename(temp, path);
  }
}

int Usage() {
  std::fprintf(stderr,
               "usage: assetforge --game-dir DIR [--wave-dir DIR] [--embedded-source FILE]\n"
               "                  [--languages \"CODE...\" --locale-dir DIR [--fit-report yes]]\n"
               "       assetforge --contact-sheet OUT.png\n"
               "       assetforge --icon-dir DIR --icon-name NAME\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string gameDir, waveDir, embedded, sheet, iconDir, iconName, languages, localeDir;
  bool fitReport = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return Usage();
    const std::string value = argv[++i];
    if (arg == "--game-dir")
      gameDir = value;
    else if (arg == "--wave-dir")
      waveDir = value;
    else if (arg == "--embedded-source")
      embedded = value;
    else if (arg == "--contact-sheet")
      sheet = value;
    else if (arg == "--icon-dir")
      iconDir = value;
    else if (arg == "--icon-name")
      iconName = value;
    else if (arg == "--languages")
      languages = value;
    else if (arg == "--locale-dir")
      localeDir = value;
    else if (arg == "--fit-report")
      fitReport = value == "yes";
    else
      return Usage();
  }
  if (iconDir.empty() != iconName.empty()) return Usage();
  if (gameDir.empty() && sheet.empty() && iconDir.empty()) return Usage();
  try {
    // Icons need no fonts.
    if (!iconDir.empty()) WriteIcons(iconDir, iconName);
    if (gameDir.empty() && sheet.empty()) return 0;
    const TFontSet fonts;
    const TImagePack pack(fonts);
    if (!sheet.empty()) {
      pack.WriteContactSheet(sheet);
      std::printf("contact sheet: %s\n", sheet.c_str());
    }
    if (gameDir.empty()) return 0;
    // Every language's captions are measured before anything is written: a
    // caption that does not fit fails the build, naming it.
    std::vector<std::pair<std::string, std::vector<uint8_t>>> languagePacks;
    std::vector<std::string> misfits;
    std::istringstream codes(languages);
    for (std::string code; codes >> code;) {
      UseLanguage(code, localeDir);
      for (std::string& misfit : CheckCaptionFit(fonts, code)) misfits.push_back(std::move(misfit));
      if (fitReport) std::printf("tightest caption, %s\n", TightestCaption(fonts, code).c_str());
      languagePacks.emplace_back(code, LanguagePackBytes(pack, TImagePack(fonts)));
    }
    UseLanguage("", localeDir);
    if (!misfits.empty()) {
      for (const std::string& misfit : misfits)
        std::fprintf(stderr, "assetforge: %s\n", misfit.c_str());
      return 1;
    }
    WriteFile(fs::path(gameDir) / "Data" / "Data.pp", pack.PackBytes());
    for (const auto& [code, bytes] : languagePacks)
      WriteFile(fs::path(gameDir) / "Data" / code / "Data.pp", bytes);
    for (int track = 1; track <= 2; ++track)
      WriteFile(fs::path(gameDir) / "sound" / (std::to_string(track) + ".xm"),
                TMusicComposer::Compose(track).Bytes());
    std::vector<std::vector<uint8_t>> images;
    for (const TSoundRow& sound : kSounds) {
      images.push_back(TSoundBank::Make(sound.Id).SaveToBytes());
      if (!waveDir.empty()) WriteFile(fs::path(waveDir) / sound.File, images.back());
    }
    if (!embedded.empty()) WriteText(embedded, TEmbeddedSource::Generate(images));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "assetforge: %s\n", e.what());
    return 1;
  }
  return 0;
}
