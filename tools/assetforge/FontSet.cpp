#include "FontSet.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <stdexcept>

#include "graphics/FontLocator.h"

TFontSet::TFontSet() {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) throw std::runtime_error("FreeType cannot be initialised");
  library_ = library;
  try {
    const TGameFontFaces faces = LocateGameFonts();
    regular_ = Load(faces.Regular.File, faces.Regular.Index, &regularFace_);
    bold_ = Load(faces.Bold.File, faces.Bold.Index, &boldFace_);
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

cairo_font_face_t* TFontSet::Load(const std::string& file, int index, void** face) {
  FT_Face ftFace = nullptr;
  if (FT_New_Face(static_cast<FT_Library>(library_), file.c_str(), index, &ftFace) != 0) {
    throw std::runtime_error("Cannot load the font \"" + file + "\"");
  }
  *face = ftFace;
  return cairo_ft_font_face_create_for_ft_face(ftFace, 0);
}
