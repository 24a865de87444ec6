#pragma once

#include <memory>
#include <string>

#include "graphics/TextPainter.h"

// The Tahoma-compatible faces behind every text draw, with a glyph cache so a
// frame full of text costs little. A GDI font of height h and width w has a
// cell height of h pixels and an average character width of w pixels; weight
// 700 and above uses the bold face. The faces are the game's text painter.
class TFonts final : public ITextPainter {
 public:
  // Asks fontconfig for Tahoma and its bold face (then sans-serif). Throws
  // std::runtime_error with a clear message when no face loads.
  TFonts();
  // Loads the two given face files.
  TFonts(const std::string& regularPath, const std::string& boldPath);
  ~TFonts() override;
  TFonts(const TFonts&) = delete;
  TFonts& operator=(const TFonts&) = delete;

  // DrawTextEx with these faces (graphics/Text.h).
  void DrawText(int32_t x, int32_t y, int32_t height, int32_t width, bool shadow, uint32_t align,
                uint32_t colorRef, TSurface& surface, std::string_view text) override;

  class Impl;
  Impl& impl() { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};
