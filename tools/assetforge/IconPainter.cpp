#include "IconPainter.h"

#include <cmath>

#include "ShipPainter.h"

namespace {

using namespace palette;

constexpr double kDesign = 64.0;

}  // namespace

std::unique_ptr<TCanvas> TIconPainter::Icon(int size) {
  auto c = std::make_unique<TCanvas>(size, size);
  cairo_t* cr = c->Cr();
  cairo_scale(cr, size / kDesign, size / kDesign);

  // The sea: a rounded square, light at the top left, deep at the bottom right.
  c->RoundedRect(2, 2, 60, 60, 12);
  c->FillLinear(8, 8, kSeaLight, 56, 56, kSeaDeep);
  c->RoundedRect(2, 2, 60, 60, 12);
  c->SetColor(kSeaDeep.Mix(kBlack, 0.4));
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);

  // The ship runs from the bottom left to the top right.
  cairo_save(cr);
  cairo_translate(cr, 32, 32);
  cairo_rotate(cr, M_PI / 4);
  // Wake: a foam fan behind the stern, wide enough to show at 16 pixels.
  cairo_move_to(cr, -3, 16);
  cairo_line_to(cr, -11, 31);
  cairo_line_to(cr, 11, 31);
  cairo_line_to(cr, 3, 16);
  cairo_close_path(cr);
  c->SetColor(kFoam.WithAlpha(0.8));
  cairo_fill(cr);
  // A foam rim around the hull keeps it apart from the sea when small.
  TShipPainter::Hull(*c, -9.5, -27, 19, 50, false, kFoam, kFoam);
  TShipPainter::Hull(*c, -7, -24.5, 14, 45, false, kPlayerHull.Mix(kWhite, 0.15),
                     TColor::Hex(0xA9B8C4));
  // Bridge and the bow gun.
  c->RoundedRect(-4, -2, 8, 12, 1.5);
  c->SetColor(kSteelLight);
  cairo_fill(cr);
  c->Ellipse(0, -13, 4, 4);
  c->SetColor(kPlayerAccent);
  cairo_fill(cr);
  cairo_move_to(cr, 0, -13);
  cairo_line_to(cr, 0, -22);
  cairo_set_line_width(cr, 2.2);
  cairo_stroke(cr);
  // The red flag.
  c->RoundedRect(1, 2, 5, 3.5, 0.8);
  c->SetColor(kRed);
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_surface_flush(c->Surface());
  return c;
}
