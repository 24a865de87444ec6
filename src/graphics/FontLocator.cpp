#include "graphics/FontLocator.h"

#include <fontconfig/fontconfig.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct TConfigDeleter {
  void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct TPatternDeleter {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
struct TFontSetDeleter {
  void operator()(FcFontSet* set) const { FcFontSetDestroy(set); }
};
using TConfigPtr = std::unique_ptr<FcConfig, TConfigDeleter>;
using TPatternPtr = std::unique_ptr<FcPattern, TPatternDeleter>;
using TFontSetPtr = std::unique_ptr<FcFontSet, TFontSetDeleter>;

// Wine installs its Tahoma into <datadir>/wine/fonts beside <datadir>/fonts;
// every configured folder named "fonts" gets its Wine sibling added.
void AddWineFontFolders(FcConfig* config) {
  FcStrList* dirs = FcConfigGetFontDirs(config);
  if (dirs == nullptr) return;
  std::vector<std::string> extra;
  while (const FcChar8* dir = FcStrListNext(dirs)) {
    const fs::path folder(reinterpret_cast<const char*>(dir));
    if (folder.filename() != "fonts") continue;
    const fs::path wine = folder.parent_path() / "wine" / "fonts";
    std::error_code error;
    if (fs::is_directory(wine, error)) extra.push_back(wine.string());
  }
  FcStrListDone(dirs);
  for (const std::string& folder : extra) {
    FcConfigAppFontAddDir(config, reinterpret_cast<const FcChar8*>(folder.c_str()));
  }
}

// The best scalable face for Tahoma (then sans-serif) at the given weight;
// with a code point, the best one that has a glyph for it.
bool Locate(FcConfig* config, int weight, TFontFace& face, uint32_t codePoint = 0) {
  TPatternPtr pattern(FcPatternCreate());
  if (!pattern) return false;
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>("Tahoma"));
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, weight);
  FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  if (codePoint != 0) {
    FcCharSet* wanted = FcCharSetCreate();
    FcCharSetAddChar(wanted, codePoint);
    FcPatternAddCharSet(pattern.get(), FC_CHARSET, wanted);
    FcCharSetDestroy(wanted);
  }
  FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  TFontSetPtr sorted(FcFontSort(config, pattern.get(), FcFalse, nullptr, &result));
  if (!sorted) return false;
  for (int i = 0; i < sorted->nfont; ++i) {
    FcPattern* candidate = sorted->fonts[i];
    FcBool scalable = FcFalse;
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetBool(candidate, FC_SCALABLE, 0, &scalable) != FcResultMatch || !scalable) {
      continue;
    }
    if (FcPatternGetString(candidate, FC_FILE, 0, &file) != FcResultMatch) continue;
    FcCharSet* chars = nullptr;
    if (codePoint != 0 && (FcPatternGetCharSet(candidate, FC_CHARSET, 0, &chars) != FcResultMatch ||
                           !FcCharSetHasChar(chars, codePoint))) {
      continue;
    }
    if (FcPatternGetInteger(candidate, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    face.File = reinterpret_cast<const char*>(file);
    face.Index = index;
    return true;
  }
  return false;
}

}  // namespace

TGameFontFaces LocateGameFonts() {
  TConfigPtr config(FcInitLoadConfigAndFonts());
  if (!config) throw std::runtime_error("fontconfig could not load its configuration");
  AddWineFontFolders(config.get());
  TGameFontFaces faces;
  if (!Locate(config.get(), FC_WEIGHT_REGULAR, faces.Regular)) {
    throw std::runtime_error(
        "No usable font: fontconfig knows no scalable face for Tahoma or sans-serif. Install a "
        "TrueType font, for example the fonts-dejavu-core package.");
  }
  if (!Locate(config.get(), FC_WEIGHT_BOLD, faces.Bold)) faces.Bold = faces.Regular;
  return faces;
}

std::optional<TFontFace> LocateFontFor(uint32_t codePoint, bool bold) {
  TConfigPtr config(FcInitLoadConfigAndFonts());
  if (!config) return std::nullopt;
  AddWineFontFolders(config.get());
  TFontFace face;
  if (!Locate(config.get(), bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR, face, codePoint)) {
    return std::nullopt;
  }
  return face;
}
