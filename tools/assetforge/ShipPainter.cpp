#include "ShipPainter.h"

#include <cmath>

#include "game/GameLayout.h"

namespace {

using namespace palette;

void Outline(const TCanvas& c, const TColor& color, double width) {
  c.SetColor(color);
  cairo_set_line_width(c.Cr(), width);
  cairo_stroke(c.Cr());
}

// A superstructure block with a lit top edge.
void Block(const TCanvas& c, double x, double y, double w, double h, const TColor& color) {
  c.RoundedRect(x, y, w, h, std::min(w, h) * 0.25);
  cairo_path_t* path = cairo_copy_path(c.Cr());
  c.FillLinear(x, y, color.Mix(kWhite, 0.35), x + w, y + h, color.Mix(kBlack, 0.3));
  cairo_append_path(c.Cr(), path);
  cairo_path_destroy(path);
  Outline(c, color.Mix(kBlack, 0.55), 0.8);
}

// White foam at the bow, drawn under the hull.
void BowWave(const TCanvas& c, double cx, double tipY, double halfWidth, bool down) {
  cairo_t* cr = c.Cr();
  const double dir = down ? 1 : -1;
  cairo_move_to(cr, cx - halfWidth, tipY - dir * halfWidth * 1.4);
  cairo_curve_to(cr, cx - halfWidth * 0.6, tipY, cx - 1, tipY + dir * 2, cx, tipY + dir * 2.5);
  cairo_curve_to(cr, cx + 1, tipY + dir * 2, cx + halfWidth * 0.6, tipY, cx + halfWidth,
                 tipY - dir * halfWidth * 1.4);
  c.SetColor(kFoam.WithAlpha(0.9));
  cairo_set_line_width(cr, 1.6);
  cairo_stroke(cr);
}

void Propeller(const TCanvas& c, double cx, double cy, double radius, double phase) {
  cairo_t* cr = c.Cr();
  for (int i = 0; i < 3; ++i) {
    const double a = phase + i * 2 * M_PI / 3;
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx + radius * std::cos(a), cy + radius * std::sin(a));
  }
  c.SetColor(kBlack.Mix(kSteel, 0.3));
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  c.Ellipse(cx, cy, 1.6, 1.6);
  c.SetColor(kSteelLight);
  cairo_fill(cr);
}

// A wing plane (fuselage along y) in the box, nose toward +y when `noseDown`.
void Aircraft(const TCanvas& c, double w, double h, double oy, bool noseDown, const TColor& body,
              double propPhase, int engines) {
  cairo_t* cr = c.Cr();
  const double cx = w / 2;
  const double dir = noseDown ? 1 : -1;
  const double mid = oy + h / 2;
  const double wingY = mid + dir * h * 0.08;
  const double span = w / 2 - 1;
  // Wings: a swept trapezoid.
  cairo_move_to(cr, cx - span, wingY - dir * h * 0.02);
  cairo_line_to(cr, cx - 4, wingY + dir * h * 0.14);
  cairo_line_to(cr, cx + 4, wingY + dir * h * 0.14);
  cairo_line_to(cr, cx + span, wingY - dir * h * 0.02);
  cairo_line_to(cr, cx + span, wingY - dir * h * 0.16);
  cairo_line_to(cr, cx - span, wingY - dir * h * 0.16);
  cairo_close_path(cr);
  cairo_path_t* wing = cairo_copy_path(cr);
  c.FillLinear(0, wingY - 6, body.Mix(kWhite, 0.25), 0, wingY + 6, body.Mix(kBlack, 0.25));
  cairo_append_path(cr, wing);
  cairo_path_destroy(wing);
  Outline(c, body.Mix(kBlack, 0.6), 0.8);
  // Tail plane.
  const double tailY = noseDown ? oy + 3 : oy + h - 3;
  c.RoundedRect(cx - w * 0.22, tailY - 3, w * 0.44, 6, 2);
  c.SetColor(body.Mix(kBlack, 0.15));
  cairo_fill_preserve(cr);
  Outline(c, body.Mix(kBlack, 0.6), 0.8);
  // Fuselage.
  const double fw = std::max(5.0, w * 0.14);
  c.Ellipse(cx, mid, fw / 2, h / 2 - 1);
  cairo_path_t* fus = cairo_copy_path(cr);
  c.FillLinear(cx - fw / 2, 0, body.Mix(kBlack, 0.2), cx + fw / 2, 0, body.Mix(kWhite, 0.35));
  cairo_append_path(cr, fus);
  cairo_path_destroy(fus);
  Outline(c, body.Mix(kBlack, 0.6), 0.8);
  // Cockpit glass.
  c.Ellipse(cx, mid + dir * h * 0.3, fw * 0.3, h * 0.07);
  c.FillLinear(cx, mid + dir * h * 0.25, TColor::Hex(0xBFE6FF), cx, mid + dir * h * 0.36,
               TColor::Hex(0x3A6E99));
  // Engines with propellers on the wings' leading edge.
  for (int e = 0; e < engines; ++e) {
    const double ex = cx + (e % 2 == 0 ? -1 : 1) * span * (0.35 + 0.3 * (e / 2));
    const double ey = wingY + dir * h * 0.02;
    c.RoundedRect(ex - 2.5, ey - 5, 5, 10, 2);
    c.SetColor(body.Mix(kBlack, 0.35));
    cairo_fill(cr);
    Propeller(c, ex, ey + dir * 6, 5.5, propPhase + e * 0.7);
  }
}

}  // namespace

void TShipPainter::Hull(const TCanvas& c, double x, double y, double w, double h, bool bowDown,
                        const TColor& hull, const TColor& deck) {
  cairo_t* cr = c.Cr();
  cairo_save(cr);
  if (!bowDown) {
    cairo_translate(cr, 0, 2 * y + h);
    cairo_scale(cr, 1, -1);
  }
  const double cx = x + w / 2;
  const double hw = w / 2 - 0.5;
  const double top = y + 0.5;
  const double bottom = y + h - 0.5;
  auto path = [&](double inset) {
    const double s = hw - inset;
    cairo_move_to(cr, cx - s * 0.8, top + inset);
    cairo_curve_to(cr, cx - s * 0.3, top + inset - 1, cx + s * 0.3, top + inset - 1, cx + s * 0.8,
                   top + inset);
    cairo_curve_to(cr, cx + s, top + h * 0.1, cx + s, top + h * 0.2, cx + s, top + h * 0.45);
    cairo_curve_to(cr, cx + s, bottom - h * 0.2, cx + s * 0.35, bottom - inset * 1.5, cx,
                   bottom - inset * 1.5);
    cairo_curve_to(cr, cx - s * 0.35, bottom - inset * 1.5, cx - s, bottom - h * 0.2, cx - s,
                   top + h * 0.45);
    cairo_curve_to(cr, cx - s, top + h * 0.2, cx - s, top + h * 0.1, cx - s * 0.8, top + inset);
    cairo_close_path(cr);
  };
  BowWave(c, cx, bottom, hw * 1.1, true);
  path(0);
  c.FillLinear(x, 0, hull.Mix(kBlack, 0.35), x + w, 0, hull.Mix(kBlack, 0.1));
  path(0);
  Outline(c, hull.Mix(kBlack, 0.65), 1.0);
  path(std::max(1.5, w * 0.09));
  c.FillLinear(x, 0, deck.Mix(kBlack, 0.1), x + w, 0, deck.Mix(kWhite, 0.2));
  cairo_restore(cr);
}

void TShipPainter::Turret(const TCanvas& c, double cx, double cy, double radius, double angle,
                          int barrels, double length, const TColor& color) {
  cairo_t* cr = c.Cr();
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, angle);
  const double spacing = radius * 0.55;
  for (int b = 0; b < barrels; ++b) {
    const double bx = (b - (barrels - 1) / 2.0) * spacing;
    cairo_rectangle(cr, bx - 0.9, 0, 1.8, length);
    c.SetColor(color.Mix(kBlack, 0.55));
    cairo_fill(cr);
  }
  c.Ellipse(0, 0, radius, radius);
  c.FillRadial(-radius * 0.35, -radius * 0.35, radius * 1.4, color.Mix(kWhite, 0.45),
               color.Mix(kBlack, 0.35));
  c.Ellipse(0, 0, radius, radius);
  Outline(c, color.Mix(kBlack, 0.6), 0.7);
  cairo_restore(cr);
}

std::unique_ptr<TCanvas> TShipPainter::Enemy(int type) {
  struct Size {
    int w, h;
  };
  static constexpr Size kSizes[] = {{24, 88}, {30, 111}, {34, 136}, {47, 146},
                                    {23, 28}, {47, 224}, {50, 55},  {73, 72}};
  const Size size = kSizes[type];
  auto c = std::make_unique<TCanvas>(size.w, size.h);
  const double w = size.w, h = size.h, cx = w / 2;
  const TColor hull = kEnemyHull;
  const TColor deck = kDeck.Mix(kEnemyHull, 0.35);
  switch (type) {
    case 0: {  // Cutter: a slim patrol boat with one gun forward.
      Hull(*c, 0, 0, w, h, true, hull, deck);
      Block(*c, cx - 6, h * 0.28, 12, 20, kHullGrey);
      Block(*c, cx - 4, h * 0.3, 8, 7, kSteelLight);
      Turret(*c, cx, h * 0.68, 4, 0, 1, 9, kEnemyAccent);
      Turret(*c, cx, h * 0.15, 3, M_PI, 1, 5, kSteel);
      break;
    }
    case 1: {  // Destroyer: two turrets and a funnel.
      Hull(*c, 0, 0, w, h, true, hull, deck);
      Block(*c, cx - 7, h * 0.36, 14, 24, kHullGrey);
      c->Ellipse(cx, h * 0.44, 3.5, 5);
      c->SetColor(kEnemyDark);
      cairo_fill(c->Cr());
      Turret(*c, cx, h * 0.70, 5, 0, 1, 10, kEnemyAccent);
      Turret(*c, cx, h * 0.20, 5, M_PI, 1, 9, kEnemyAccent);
      break;
    }
    case 2: {  // Cruiser: twin turrets fore and aft, a tall bridge.
      Hull(*c, 0, 0, w, h, true, hull, deck);
      Block(*c, cx - 8, h * 0.34, 16, 36, kHullGrey);
      Block(*c, cx - 5, h * 0.52, 10, 9, kSteelLight);
      for (int i = 0; i < 2; ++i) {
        c->Ellipse(cx, h * (0.38 + 0.08 * i), 3.5, 4);
        c->SetColor(kEnemyDark);
        cairo_fill(c->Cr());
      }
      Turret(*c, cx, h * 0.72, 6, 0, 2, 12, kEnemyAccent);
      Turret(*c, cx, h * 0.18, 6, M_PI, 2, 11, kEnemyAccent);
      break;
    }
    case 3: {  // BattleShip: broad hull, three triple turrets.
      Hull(*c, 0, 0, w, h, true, hull.Mix(kBlack, 0.1), deck);
      Block(*c, cx - 11, h * 0.36, 22, 38, kHullGrey);
      Block(*c, cx - 7, h * 0.52, 14, 10, kSteelLight);
      c->Ellipse(cx, h * 0.42, 5, 6);
      c->SetColor(kEnemyDark);
      cairo_fill(c->Cr());
      Turret(*c, cx, h * 0.76, 8, 0, 3, 14, kEnemyAccent);
      Turret(*c, cx, h * 0.66, 7, 0, 3, 12, kEnemyAccent);
      Turret(*c, cx, h * 0.18, 8, M_PI, 3, 13, kEnemyAccent);
      break;
    }
    case 4: {  // Island gun: a sandbagged emplacement.
      c->Ellipse(cx, h / 2 + 2, w / 2 - 0.5, h / 2 - 2.5);
      c->FillRadial(cx - 3, h / 2 - 2, w * 0.7, kSandDark.Mix(kWhite, 0.2),
                    kSandDark.Mix(kBlack, 0.3));
      c->Ellipse(cx, h / 2 + 2, w / 2 - 4, h / 2 - 6);
      c->SetColor(kRockDark);
      cairo_fill(c->Cr());
      Turret(*c, cx, h / 2 + 2, 6, 0, 1, 11, kSteel);
      break;
    }
    case 5: {  // Bomber: four frames, the propellers turning.
      for (int f = 0; f < 4; ++f)
        Aircraft(*c, w, 56, f * 56.0, true, TColor::Hex(0x66705A), f * M_PI / 6, 4);
      break;
    }
    case 6: {  // Helicopter: nose down, tail boom up, four-blade rotor.
      cairo_t* cr = c->Cr();
      const TColor olive = TColor::Hex(0x5E6B45);
      // Tail boom, fin and tail rotor.
      cairo_rectangle(cr, cx - 1.8, 3, 3.6, 24);
      c->FillLinear(cx - 2, 0, olive.Mix(kBlack, 0.3), cx + 2, 0, olive.Mix(kWhite, 0.2));
      c->RoundedRect(cx - 7, 3, 14, 4, 1.5);
      c->SetColor(olive.Mix(kBlack, 0.2));
      cairo_fill(cr);
      cairo_move_to(cr, cx + 3, 1.5);
      cairo_line_to(cr, cx + 3, 10.5);
      c->SetColor(kBlack.Mix(kSteel, 0.3));
      cairo_set_line_width(cr, 1.4);
      cairo_stroke(cr);
      // Skids.
      for (const double sx : {cx - 9.0, cx + 9.0}) {
        cairo_move_to(cr, sx, 24);
        cairo_line_to(cr, sx, 48);
      }
      c->SetColor(kHullDark);
      cairo_set_line_width(cr, 1.6);
      cairo_stroke(cr);
      // Body and canopy.
      c->Ellipse(cx, 37, 9, 14);
      c->FillLinear(cx - 9, 0, olive.Mix(kBlack, 0.35), cx + 9, 0, olive.Mix(kWhite, 0.3));
      c->Ellipse(cx, 37, 9, 14);
      Outline(*c, olive.Mix(kBlack, 0.6), 0.8);
      c->Ellipse(cx, 44, 6, 6);
      c->FillLinear(cx, 38, TColor::Hex(0xCDEBFF), cx, 50, TColor::Hex(0x2F5F88));
      // Rotor: four blades with a light tip each.
      const double hubY = 33, len = 23;
      for (int i = 0; i < 4; ++i) {
        const double a = 0.35 + i * M_PI / 2;
        cairo_move_to(cr, cx, hubY);
        cairo_line_to(cr, cx + len * std::cos(a), hubY + len * std::sin(a));
      }
      c->SetColor(TColor::Hex(0x2A2A2A));
      cairo_set_line_width(cr, 2.6);
      cairo_stroke(cr);
      c->Ellipse(cx, hubY, 3, 3);
      c->FillRadial(cx - 1, hubY - 1, 4, kSteelLight, kHullDark);
      break;
    }
    default: {  // Supply plane: friendly colours, flying up.
      Aircraft(*c, w, h, 0, false, TColor::Hex(0x8FA7B8), 0.3, 2);
      cairo_t* cr = c->Cr();
      for (int side = -1; side <= 1; side += 2) {
        c->Ellipse(cx + side * w * 0.33, h * 0.48, 4, 4);
        c->SetColor(kWhite);
        cairo_fill(cr);
        c->Ellipse(cx + side * w * 0.33, h * 0.48, 2.2, 2.2);
        c->SetColor(kPlayerAccent);
        cairo_fill(cr);
      }
      break;
    }
  }
  return c;
}

std::unique_ptr<TCanvas> TShipPainter::PlayerShip() {
  auto c = std::make_unique<TCanvas>(2 * kHullFrameWidth, kHullHeight);
  cairo_t* cr = c->Cr();
  for (int f = 0; f < 2; ++f) {
    const double ox = f * static_cast<double>(kHullFrameWidth);
    const double cx = ox + kHullFrameWidth / 2;
    // Stern wake, alternating between the frames.
    for (int i = 0; i < 3; ++i) {
      const double y = 95 + i * 2.5;
      const double spread = 6 + i * 3 + (f == 0 ? 0 : 2);
      cairo_move_to(cr, cx - spread, y);
      cairo_line_to(cr, cx + spread, y + (f == 0 ? 1 : -1));
    }
    c->SetColor(kFoam.WithAlpha(0.85));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    Hull(*c, ox + 2, 2, 34, 94, false, kPlayerHull, TColor::Hex(0xA9B8C4));
    Block(*c, cx - 8, 44, 16, 26, kSteelLight.Mix(kPlayerHull, 0.3));
    Block(*c, cx - 5, 48, 10, 8, kSteelLight);
    c->Ellipse(cx, 64, 3.5, 4.5);
    c->SetColor(kPlayerAccent);
    cairo_fill(cr);
    // Bow gun deck ring where the turning gun sits, and a stern gun.
    c->Ellipse(cx, 28, 7, 7);
    c->SetColor(kHullDark);
    cairo_fill(cr);
    Turret(*c, cx, 82, 4, 0, 1, 7, kSteel);
    // Flag on the mast, waving differently in each frame.
    cairo_move_to(cr, cx + 1, 58);
    cairo_curve_to(cr, cx + 4, 57 + f, cx + 6, 60 - f, cx + 9, 58 + f);
    cairo_line_to(cr, cx + 9, 62 + f);
    cairo_curve_to(cr, cx + 6, 64 - f, cx + 4, 61 + f, cx + 1, 62);
    cairo_close_path(cr);
    c->SetColor(kRed);
    cairo_fill(cr);
  }
  return c;
}

std::unique_ptr<TCanvas> TShipPainter::LifeIcon() {
  auto c = std::make_unique<TCanvas>(30, 30);
  cairo_t* cr = c->Cr();
  cairo_save(cr);
  cairo_translate(cr, 15, 15);
  cairo_rotate(cr, M_PI / 4);
  cairo_translate(cr, -6, -15);
  Hull(*c, 0, 0, 12, 30, false, kPlayerHull, kDeck);
  Block(*c, 3, 13, 6, 8, kSteelLight);
  cairo_restore(cr);
  return c;
}

std::unique_ptr<TCanvas> TShipPainter::Gun(int model) {
  struct Layout {
    int w, h;
    double px, py, radius;
    int barrels;
  };
  static constexpr Layout kLayouts[] = {
      {12, 24, 6, 18, 5.5, 1}, {14, 25, 6, 18, 5.5, 2}, {18, 24, 9, 15, 7.5, 3}};
  const Layout s = kLayouts[model];
  auto c = std::make_unique<TCanvas>(s.w, s.h);
  // The barrel runs from the pivot to the top edge.
  Turret(*c, s.px, s.py, s.radius, M_PI, s.barrels, s.py - 0.5,
         model == 0 ? kSteel : kPlayerHull.Mix(kSteel, 0.5));
  return c;
}

std::unique_ptr<TCanvas> TShipPainter::Shot(int kind) {
  struct Layout {
    int w, h;
  };
  static constexpr Layout kLayouts[] = {{7, 14}, {7, 14}, {7, 27}, {6, 24}};
  const Layout s = kLayouts[kind];
  auto c = std::make_unique<TCanvas>(s.w, s.h);
  cairo_t* cr = c->Cr();
  const double cx = s.w / 2.0;
  switch (kind) {
    case 0:  // Bullet: a brass slug with a glowing trail.
      cairo_move_to(cr, cx, 0.5);
      cairo_curve_to(cr, cx + 2.5, 2, cx + 2, 6, cx + 1.5, 13.5);
      cairo_line_to(cr, cx - 1.5, 13.5);
      cairo_curve_to(cr, cx - 2, 6, cx - 2.5, 2, cx, 0.5);
      c->FillLinear(0, 0, TColor::Hex(0xFFF2B0), 0, 14, TColor::Hex(0xE07020));
      c->Ellipse(cx, 4, 1.6, 3);
      c->SetColor(kBrass);
      cairo_fill(cr);
      break;
    case 1:  // Shell: darker, heavier.
      c->Ellipse(cx, 6, 3, 5.5);
      c->FillRadial(cx - 1, 4, 6, kSteelLight, kHullDark);
      cairo_rectangle(cr, cx - 1.5, 10, 3, 3.5);
      c->SetColor(TColor::Hex(0xF0A030));
      cairo_fill(cr);
      break;
    case 2: {  // Rocket: body, red nose, fins and flame.
      cairo_move_to(cr, cx, 0.5);
      cairo_curve_to(cr, cx + 2, 2, cx + 2, 4, cx + 2, 6);
      cairo_line_to(cr, cx - 2, 6);
      cairo_curve_to(cr, cx - 2, 4, cx - 2, 2, cx, 0.5);
      c->SetColor(kRed);
      cairo_fill(cr);
      cairo_rectangle(cr, cx - 2, 6, 4, 13);
      c->FillLinear(cx - 2, 0, kSteel, cx + 2, 0, kSteelLight);
      cairo_move_to(cr, cx - 2, 14);
      cairo_line_to(cr, 0.5, 19);
      cairo_line_to(cr, cx - 2, 19);
      cairo_move_to(cr, cx + 2, 14);
      cairo_line_to(cr, s.w - 0.5, 19);
      cairo_line_to(cr, cx + 2, 19);
      c->SetColor(kHullDark);
      cairo_fill(cr);
      cairo_move_to(cr, cx - 1.8, 19);
      cairo_curve_to(cr, cx - 2, 22, cx, 26.5, cx, 26.5);
      cairo_curve_to(cr, cx, 26.5, cx + 2, 22, cx + 1.8, 19);
      c->FillLinear(0, 19, TColor::Hex(0xFFF4A0), 0, 27, TColor::Hex(0xE04010));
      break;
    }
    default:  // Spare shot: a long tracer.
      c->Ellipse(cx, 12, 2.2, 11.5);
      c->FillLinear(0, 0, TColor::Hex(0xFFFFE0), 0, 24, TColor::Hex(0xFF6A00));
      break;
  }
  return c;
}
