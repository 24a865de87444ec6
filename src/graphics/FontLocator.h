#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One face inside a font file (a collection holds several).
struct TFontFace {
  std::string File;
  int Index = 0;
};

// The game's two faces as fontconfig resolves them: "Tahoma" and its bold,
// then the sans-serif fallback. Only scalable faces count.
struct TGameFontFaces {
  TFontFace Regular;
  TFontFace Bold;  // the regular face again when no bold face exists
};

// Asks fontconfig for the faces. Wine's font folder (wine/fonts beside the
// system's own fonts folder, which fontconfig does not scan) is added for this
// query so its Tahoma is found where it is installed. Throws
// std::runtime_error with a clear message when no usable face exists.
TGameFontFaces LocateGameFonts();

// A scalable face that has a glyph for `codePoint`, as like the game's faces
// as fontconfig finds (Tahoma, then sans-serif, at the weight); nothing when
// no installed face has it.
std::optional<TFontFace> LocateFontFor(uint32_t codePoint, bool bold);
