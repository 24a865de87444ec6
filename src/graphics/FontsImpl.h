#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "graphics/FontLocator.h"
#include "graphics/Fonts.h"

// One rendered glyph: an 8-bit coverage bitmap and where it sits relative to
// the pen position on the baseline.
struct TGlyph {
  bool Loaded = false;
  int32_t Left = 0;   // from the pen position to the bitmap's left column
  int32_t Top = 0;    // from the baseline up to the bitmap's top row
  int32_t Width = 0;  // bitmap size
  int32_t Height = 0;
  int32_t Advance = 0;  // whole pixels to the next pen position
  std::vector<uint8_t> Coverage;
};

// The glyphs of one face at one (cell height, average width), by code point:
// the first 256 in an array, the rest (Windows-1252's punctuation, other
// scripts) in a map.
struct TFontSize {
  bool Bold = false;
  int32_t CellHeight = 0;
  int32_t Ascent = 0;    // cell top to baseline, in pixels
  FT_F26Dot6 XSize = 0;  // FreeType character size, 26.6
  FT_F26Dot6 YSize = 0;
  std::array<TGlyph, 256> Glyphs{};
  std::unordered_map<uint32_t, TGlyph> MoreGlyphs;
};

class TFonts::Impl {
 public:
  Impl(const TFontFace& regular, const TFontFace& bold);
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  // The cached size for a GDI font of `height` and `width` (0 = natural);
  // weight >= 700 picks the bold face. Never fails: sizes are clamped.
  TFontSize& Size(int32_t height, int32_t width, int32_t weight);
  // The glyph for one code point, rendered on first use. A letter the face
  // lacks comes from another installed face that has it (fontconfig's
  // choice), never as the face's empty box; one that no face has is a blank.
  const TGlyph& Glyph(TFontSize& size, uint32_t codePoint);

  // How many glyphs have been rendered so far (the rest came from the cache).
  int RenderedGlyphs() const { return rendered_; }
  bool HasBoldFace() const { return bold_ != nullptr; }

 private:
  static bool SameOutline(FT_Face a, FT_Face b, uint32_t code);
  FT_Face FaceFor(bool bold) const { return bold && bold_ != nullptr ? bold_ : regular_; }
  // A face with a glyph for `codePoint`, for text the game's faces cannot
  // show: one opened before, else fontconfig's. Null when none has it.
  FT_Face FallbackFace(uint32_t codePoint, bool bold);
  void Render(TGlyph& glyph, TFontSize& size, FT_Face face, FT_UInt index, bool embolden);

  FT_Library library_ = nullptr;
  FT_Face regular_ = nullptr;
  FT_Face bold_ = nullptr;
  bool emboldenBold_ = false;
  const TFontSize* activeSize_[2] = {nullptr, nullptr};  // size currently set on each face
  std::map<std::tuple<bool, int32_t, int32_t>, std::unique_ptr<TFontSize>> sizes_;
  std::tuple<bool, int32_t, int32_t> lastKey_{};
  TFontSize* lastSize_ = nullptr;
  int rendered_ = 0;
  std::vector<FT_Face> fallbacks_;
  std::map<std::pair<uint32_t, bool>, FT_Face> fallbackFor_;  // asked of fontconfig once each
};

// Unicode code point of a Windows-1252 byte.
uint32_t Cp1252ToUnicode(uint8_t byte);
// The code point at `text[i]`, advancing `i` past it. Texts are UTF-8 (the
// translations); a byte that does not start a valid UTF-8 sequence is one
// Windows-1252 character, as the game's own texts and old names are.
uint32_t NextCodePoint(std::string_view text, size_t& i);
