#include "FontSet.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <filesystem>
#include <stdexcept>

namespace {

constexpr const char* kRegularFiles[] = {
    "/usr/share/wine/fonts/tahoma.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", nullptr};
constexpr const char* kBoldFiles[] = {"/usr/share/wine/fonts/tahomabd.ttf",
                                      "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
                                      nullptr};

}  // namespace

TFontSet::TFontSet() {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) throw std::runtime_error("FreeType cannot be initialised");
  library_ = library;
  try {
    regular_ = Load(kRegularFiles, &regularFace_);
    bold_ = Load(kBoldFiles, &boldFace_);
  } catch (...) {
    Release();
    throw;
  }
}

TFontSet::~TFontSet() {
  Release();
}

void TFontSet::Release() {
  // cairo keeps its own reference to each face until the last scaled font
  // goes; the FreeType faces must outlive that, so they are released after.
  if (regular_) cairo_font_face_destroy(regular_);
  if (bold_) cairo_font_face_destroy(bold_);
  regular_ = bold_ = nullptr;
  cairo_debug_reset_static_data();
  if (regularFace_) FT_Done_Face(static_cast<FT_Face>(regularFace_));
  if (boldFace_) FT_Done_Face(static_cast<FT_Face>(boldFace_));
  regularFace_ = boldFace_ = nullptr;
  if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
  library_ = nullptr;
}

cairo_font_face_t* TFontSet::Load(const char* const* candidates, void** face) {
  for (; *candidates; ++candidates) {
    if (!std::filesystem::exists(*candidates)) continue;
    FT_Face ftFace = nullptr;
    if (FT_New_Face(static_cast<FT_Library>(library_), *candidates, 0, &ftFace) != 0) continue;
    *face = ftFace;
    return cairo_ft_font_face_create_for_ft_face(ftFace, 0);
  }
  throw std::runtime_error(
      "No font found: install fonts-wine (tahoma.ttf) or fonts-dejavu-core (DejaVuSans.ttf)");
}
