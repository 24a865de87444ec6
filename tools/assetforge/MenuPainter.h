#pragma once

#include <memory>

#include "Canvas.h"
#include "MenuLayout.h"

class TFontSet;

// Draws the menu pictures: the background with the main-menu labels, the
// highlighted labels, the sub-screen panels with their static labels, the
// dialog box, the overlay with the title, and the small extras. Highlight
// images are cut from the picture they sit on, so they blend in exactly.
class TMenuPainter {
 public:
  explicit TMenuPainter(const TFontSet& fonts);

  // The picture of menu slot `slot` (a TMenuSlot).
  std::unique_ptr<TCanvas> Image(int slot) const;

  // The left edge of a label's text as drawn right-aligned in its rectangle.
  double MainLabelLeft(int item) const;

 private:
  std::unique_ptr<TCanvas> Background() const;
  std::unique_ptr<TCanvas> Panel(int slot) const;
  std::unique_ptr<TCanvas> Overlay() const;
  std::unique_ptr<TCanvas> Dialog() const;
  std::unique_ptr<TCanvas> AboutPicture() const;
  std::unique_ptr<TCanvas> Marker(int which) const;
  std::unique_ptr<TCanvas> Spare(int slot) const;
  // The rectangle `r` (screen coordinates) cut from `source` drawn at
  // (originX, originY), with the label on it in orange.
  std::unique_ptr<TCanvas> Highlight(const TCanvas& source, int originX, int originY,
                                     const TLabelRect& r, double size, bool rightAlign) const;
  // Draws a label into its rectangle (relative to origin) in the normal or
  // highlighted style.
  void Label(const TCanvas& c, const TLabelRect& r, int originX, int originY, double size,
             TAlign align, bool highlighted) const;
  double FitSize(const TLabelRect& r, double size) const;

  const TFontSet& fonts_;
  std::unique_ptr<TCanvas> background_;
};
