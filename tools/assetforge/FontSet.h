#pragma once

#include <cairo.h>

#include <string>

// The game's two faces (Tahoma regular and bold, found through fontconfig,
// else sans-serif) as cairo font faces, loaded through FreeType. Throws
// std::runtime_error when no usable face is found.
// Destroying the set also clears cairo's font caches (so the FreeType faces
// can go first), so it must outlive every canvas and painter using it.
class TFontSet {
 public:
  TFontSet();
  ~TFontSet();
  TFontSet(const TFontSet&) = delete;
  TFontSet& operator=(const TFontSet&) = delete;

  cairo_font_face_t* Regular() const { return regular_; }
  cairo_font_face_t* Bold() const { return bold_; }

 private:
  cairo_font_face_t* Load(const std::string& file, int index, void** face);
  void Release();

  void* library_ = nullptr;  // FT_Library
  void* regularFace_ = nullptr;
  void* boldFace_ = nullptr;
  cairo_font_face_t* regular_ = nullptr;
  cairo_font_face_t* bold_ = nullptr;
};
