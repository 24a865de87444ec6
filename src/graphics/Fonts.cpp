#include "graphics/Fonts.h"

#include <freetype/ftoutln.h>
#include <freetype/tttables.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <utility>

#include "graphics/FontsImpl.h"

namespace {

constexpr int32_t kMaxCellHeight = 512;
constexpr int32_t kDefaultCellHeight = 16;  // GDI's choice for a height of 0

FT_Face OpenFace(FT_Library library, const TFontFace& file) {
  FT_Face face = nullptr;
  if (file.File.empty() || FT_New_Face(library, file.File.c_str(), file.Index, &face) != 0) {
    return nullptr;
  }
  return face;
}

}  // namespace

uint32_t Cp1252ToUnicode(uint8_t byte) {
  static constexpr uint16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
  return byte;
}

uint32_t NextCodePoint(std::string_view text, size_t& i) {
  const auto byte = [&](size_t at) { return static_cast<uint8_t>(text[at]); };
  const uint8_t lead = byte(i);
  int extra = 0;
  uint32_t code = 0;
  uint32_t smallest = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    code = lead & 0x1Fu;
    smallest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    code = lead & 0x0Fu;
    smallest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    code = lead & 0x07u;
    smallest = 0x10000;
  }
  if (extra > 0 && i + static_cast<size_t>(extra) < text.size()) {
    bool valid = true;
    for (int k = 1; k <= extra && valid; ++k) {
      const uint8_t next = byte(i + k);
      valid = (next & 0xC0u) == 0x80u;
      code = (code << 6) | (next & 0x3Fu);
    }
    if (valid && code >= smallest && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
      i += static_cast<size_t>(extra) + 1;
      return code;
    }
  }
  ++i;
  return Cp1252ToUnicode(lead);
}

TFonts::Impl::Impl(const TFontFace& regular, const TFontFace& bold) {
  if (FT_Init_FreeType(&library_) != 0) throw std::runtime_error("FreeType could not start");
  regular_ = OpenFace(library_, regular);
  if (regular_ == nullptr) {
    FT_Done_FreeType(library_);
    throw std::runtime_error("Cannot load the font \"" + regular.File + "\"");
  }
  // Without a bold face, bold text falls back to the regular one.
  bold_ = OpenFace(library_, bold);
  emboldenBold_ = bold_ != nullptr && SameOutline(regular_, bold_, 'H');
}

bool TFonts::Impl::SameOutline(FT_Face a, FT_Face b, uint32_t code) {
  // Some bold faces carry the regular outlines with bold spacing only and
  // leave the thickening to the renderer; they are emboldened when drawn.
  auto points = [code](FT_Face face, std::vector<FT_Vector>& out) {
    if (FT_Load_Char(face, code, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0) return false;
    if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return false;
    const FT_Outline& o = face->glyph->outline;
    out.assign(o.points, o.points + o.n_points);
    return true;
  };
  std::vector<FT_Vector> pa;
  std::vector<FT_Vector> pb;
  if (!points(a, pa) || !points(b, pb) || pa.size() != pb.size()) return false;
  for (size_t i = 0; i < pa.size(); ++i) {
    if (pa[i].x != pb[i].x || pa[i].y != pb[i].y) return false;
  }
  return true;
}

TFonts::Impl::~Impl() {
  for (FT_Face face : fallbacks_) FT_Done_Face(face);
  if (bold_ != nullptr) FT_Done_Face(bold_);
  FT_Done_Face(regular_);
  FT_Done_FreeType(library_);
}

TFontSize& TFonts::Impl::Size(int32_t height, int32_t width, int32_t weight) {
  const bool bold = weight >= 700 && bold_ != nullptr;
  const auto key = std::make_tuple(bold, height, width);
  // Screens draw runs of text in one font: skip the map lookup for those.
  if (lastSize_ != nullptr && lastKey_ == key) return *lastSize_;
  auto it = sizes_.find(key);
  if (it != sizes_.end()) {
    lastKey_ = key;
    lastSize_ = it->second.get();
    return *lastSize_;
  }

  FT_Face face = FaceFor(bold);
  const double upem = face->units_per_EM > 0 ? face->units_per_EM : 2048;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  double ascUnits = face->ascender;
  double cellUnits = static_cast<double>(face->ascender) - face->descender;
  double avgUnits = 0;
  if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
    ascUnits = os2->usWinAscent;
    cellUnits = static_cast<double>(os2->usWinAscent) + os2->usWinDescent;
    avgUnits = os2->xAvgCharWidth;
  }
  if (cellUnits <= 0) cellUnits = upem;

  // GDI: a positive height is the cell height, a negative one the em height.
  double yPpem = 0;
  int32_t cell = 0;
  if (height > 0) {
    cell = std::min(height, kMaxCellHeight);
    yPpem = cell * upem / cellUnits;
  } else if (height < 0) {
    yPpem = static_cast<double>(std::min(-static_cast<int64_t>(height), int64_t{kMaxCellHeight}));
    cell = static_cast<int32_t>(std::lround(yPpem * cellUnits / upem));
  } else {
    cell = kDefaultCellHeight;
    yPpem = cell * upem / cellUnits;
  }
  double xPpem = yPpem;
  const auto w = static_cast<int32_t>(
      std::min<int64_t>(std::abs(static_cast<int64_t>(width)), kMaxCellHeight));
  if (w > 0 && avgUnits > 0) xPpem = w * upem / avgUnits;

  auto size = std::make_unique<TFontSize>();
  size->Bold = bold;
  size->CellHeight = cell;
  size->Ascent = static_cast<int32_t>(std::lround(ascUnits * yPpem / upem));
  size->XSize = std::max<FT_F26Dot6>(1, std::lround(xPpem * 64));
  size->YSize = std::max<FT_F26Dot6>(1, std::lround(yPpem * 64));
  lastKey_ = key;
  lastSize_ = size.get();
  sizes_.emplace(key, std::move(size));
  return *lastSize_;
}

const TGlyph& TFonts::Impl::Glyph(TFontSize& size, uint32_t codePoint) {
  TGlyph& glyph =
      codePoint < size.Glyphs.size() ? size.Glyphs[codePoint] : size.MoreGlyphs[codePoint];
  if (glyph.Loaded) return glyph;
  glyph.Loaded = true;  // a glyph that fails to render stays empty
  FT_Face face = FaceFor(size.Bold);
  const int slot = size.Bold ? 1 : 0;
  if (activeSize_[slot] != &size) {
    if (FT_Set_Char_Size(face, size.XSize, size.YSize, 72, 72) != 0) return glyph;
    activeSize_[slot] = &size;
  }
  ++rendered_;
  FT_UInt index = FT_Get_Char_Index(face, codePoint);
  if (index == 0 && codePoint > ' ') {
    // Another face at the same size; a blank of a space's width when none has it.
    FT_Face other = FallbackFace(codePoint, size.Bold);
    if (other == nullptr || FT_Set_Char_Size(other, size.XSize, size.YSize, 72, 72) != 0) {
      glyph.Advance = Glyph(size, ' ').Advance;
      return glyph;
    }
    Render(glyph, size, other, FT_Get_Char_Index(other, codePoint), false);
    return glyph;
  }
  Render(glyph, size, face, index, size.Bold && emboldenBold_);
  return glyph;
}

void TFonts::Impl::Render(TGlyph& glyph, TFontSize& size, FT_Face face, FT_UInt index,
                          bool embolden) {
  if (FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) != 0) return;
  if (embolden && face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
    // Thicken sideways only, as a simulated GDI bold does: the cell keeps its height.
    FT_Outline_EmboldenXY(&face->glyph->outline, static_cast<FT_Pos>(size.YSize / 24 + 16), 0);
  }
  if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_LIGHT) != 0) return;
  const FT_GlyphSlot g = face->glyph;
  // The unhinted advance keeps tabular digits evenly spaced.
  glyph.Advance = static_cast<int32_t>((g->linearHoriAdvance + 0x8000) >> 16);
  glyph.Left = g->bitmap_left;
  glyph.Top = g->bitmap_top;
  const FT_Bitmap& bm = g->bitmap;
  if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.buffer == nullptr) return;
  glyph.Width = static_cast<int32_t>(bm.width);
  glyph.Height = static_cast<int32_t>(bm.rows);
  glyph.Coverage.resize(static_cast<size_t>(glyph.Width) * glyph.Height);
  for (int32_t row = 0; row < glyph.Height; ++row) {
    std::memcpy(glyph.Coverage.data() + static_cast<size_t>(row) * glyph.Width,
                bm.buffer + static_cast<ptrdiff_t>(row) * bm.pitch,
                static_cast<size_t>(glyph.Width));
  }
}

FT_Face TFonts::Impl::FallbackFace(uint32_t codePoint, bool bold) {
  const auto key = std::make_pair(codePoint, bold);
  if (const auto it = fallbackFor_.find(key); it != fallbackFor_.end()) return it->second;
  FT_Face found = nullptr;
  for (FT_Face face : fallbacks_) {
    const bool faceBold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    if (faceBold == bold && FT_Get_Char_Index(face, codePoint) != 0) {
      found = face;
      break;
    }
  }
  if (found == nullptr) {
    if (const std::optional<TFontFace> file = LocateFontFor(codePoint, bold)) {
      found = OpenFace(library_, *file);
      if (found != nullptr && FT_Get_Char_Index(found, codePoint) == 0) {
        FT_Done_Face(found);
        found = nullptr;
      }
      if (found != nullptr) fallbacks_.push_back(found);
    }
  }
  fallbackFor_[key] = found;
  return found;
}

TFonts::TFonts() {
  const TGameFontFaces faces = LocateGameFonts();
  impl_ = std::make_unique<Impl>(faces.Regular, faces.Bold);
}

TFonts::TFonts(const std::string& regularPath, const std::string& boldPath)
    : impl_(std::make_unique<Impl>(TFontFace{regularPath, 0}, TFontFace{boldPath, 0})) {}

TFonts::~TFonts() = default;
