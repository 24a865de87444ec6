// The faces fontconfig hands the game. Wine's Tahoma (fonts-wine, installed
// by scripts/install-deps.sh) lives outside fontconfig's folders; the game and
// the asset forge must still find it, or every text changes its look.

#include "graphics/FontLocator.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <string>

namespace {

struct TFaceInfo {
  std::string Family;
  int Weight = 0;
};

TFaceInfo Describe(const TFontFace& face) {
  TFaceInfo info;
  int count = 0;
  FcPattern* pattern = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(face.File.c_str()),
                                       face.Index, nullptr, &count);
  if (pattern == nullptr) return info;
  FcChar8* family = nullptr;
  if (FcPatternGetString(pattern, FC_FAMILY, 0, &family) == FcResultMatch) {
    info.Family = reinterpret_cast<const char*>(family);
  }
  FcPatternGetInteger(pattern, FC_WEIGHT, 0, &info.Weight);
  FcPatternDestroy(pattern);
  return info;
}

TEST(FontLocator, FindsWinesTahomaAndItsBoldFace) {
  const TGameFontFaces faces = LocateGameFonts();
  const TFaceInfo regular = Describe(faces.Regular);
  const TFaceInfo bold = Describe(faces.Bold);
  EXPECT_EQ(regular.Family, "Tahoma") << faces.Regular.File;
  EXPECT_EQ(bold.Family, "Tahoma") << faces.Bold.File;
  EXPECT_LT(regular.Weight, FC_WEIGHT_BOLD);
  EXPECT_GE(bold.Weight, FC_WEIGHT_BOLD);
}

}  // namespace
