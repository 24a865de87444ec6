#include "ScenePainter.h"

#include <cmath>

#include "FontSet.h"
#include "ShipPainter.h"
#include "game/GameLayout.h"
#include "game/GameTables.h"
#include "i18n/Gettext.h"
#include "platform/Random.h"

namespace {

using namespace palette;

// Brushed steel plate with a bevelled edge and rivets.
void SteelPlate(const TCanvas& c, double x, double y, double w, double h) {
  cairo_t* cr = c.Cr();
  cairo_rectangle(cr, x, y, w, h);
  c.FillLinear(x, y, TColor::Hex(0x41505E), x + w, y + h, TColor::Hex(0x26313B));
  cairo_rectangle(cr, x + 1, y + 1, w - 2, h - 2);
  c.SetColor(TColor::Hex(0x7D8D9B));
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  cairo_rectangle(cr, x + 4.5, y + 4.5, w - 9, h - 9);
  c.SetColor(TColor::Hex(0x1A2229));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  for (const double ry : {y + 8.0, y + h - 8.0})
    for (const double rx : {x + 8.0, x + w - 8.0}) {
      c.Ellipse(rx, ry, 2.2, 2.2);
      c.FillRadial(rx - 0.7, ry - 0.7, 3, kSteelLight, kHullDark);
    }
}

// A recessed slot (display window) in the plate.
void Recess(const TCanvas& c, double x, double y, double w, double h) {
  c.RoundedRect(x, y, w, h, 4);
  c.FillLinear(x, y, TColor::Hex(0x0B1117), x, y + h, TColor::Hex(0x1D2A35));
  c.RoundedRect(x + 0.5, y + 0.5, w - 1, h - 1, 4);
  c.SetColor(TColor::Hex(0x8898A6));
  cairo_set_line_width(c.Cr(), 1);
  cairo_stroke(c.Cr());
}

void Engraved(const TCanvas& c, const TFontSet& fonts, const char* text, double cx, double y,
              double size) {
  const TColor light = TColor::Hex(0x8FA1B0);
  c.Text(fonts, text, cx + 1, y + 1, size, true, TColor::Hex(0x10171D), TAlign::Center);
  c.Text(fonts, text, cx, y, size, true, light, TAlign::Center);
}

void Star(const TCanvas& c, double cx, double cy, double r, const TColor& color) {
  cairo_t* cr = c.Cr();
  for (int i = 0; i < 10; ++i) {
    const double a = -M_PI / 2 + i * M_PI / 5;
    const double rr = i % 2 == 0 ? r : r * 0.45;
    cairo_line_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
  }
  cairo_close_path(cr);
  c.SetColor(color);
  cairo_fill(cr);
}

// A small upright rocket at (cx, top) of the given length.
void RocketGlyph(const TCanvas& c, double cx, double top, double len, double width) {
  cairo_t* cr = c.Cr();
  const double hw = width / 2;
  cairo_move_to(cr, cx, top);
  cairo_curve_to(cr, cx + hw, top + len * 0.12, cx + hw, top + len * 0.2, cx + hw, top + len * 0.3);
  cairo_line_to(cr, cx + hw, top + len * 0.8);
  cairo_line_to(cr, cx + hw * 2, top + len);
  cairo_line_to(cr, cx - hw * 2, top + len);
  cairo_line_to(cr, cx - hw, top + len * 0.8);
  cairo_line_to(cr, cx - hw, top + len * 0.3);
  cairo_curve_to(cr, cx - hw, top + len * 0.2, cx - hw, top + len * 0.12, cx, top);
  cairo_close_path(cr);
  cairo_path_t* p = cairo_copy_path(cr);
  c.FillLinear(cx - hw, 0, kSteelLight, cx + hw, 0, kSteel.Mix(kBlack, 0.3));
  cairo_append_path(cr, p);
  cairo_path_destroy(p);
  c.SetColor(kBlack.WithAlpha(0.8));
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
  cairo_move_to(cr, cx, top);
  cairo_curve_to(cr, cx + hw, top + len * 0.12, cx + hw, top + len * 0.2, cx + hw,
                 top + len * 0.25);
  cairo_line_to(cr, cx - hw, top + len * 0.25);
  cairo_curve_to(cr, cx - hw, top + len * 0.2, cx - hw, top + len * 0.12, cx, top);
  c.SetColor(kRed);
  cairo_fill(cr);
}

// A gun barrel seen from the side at (x, y), pointing right.
void GunGlyph(const TCanvas& c, double x, double y, double len, double thick) {
  cairo_t* cr = c.Cr();
  c.RoundedRect(x, y - thick * 1.2, len * 0.35, thick * 2.4, 2);
  c.FillLinear(0, y - thick * 1.2, kSteelLight, 0, y + thick * 1.2, kHullDark);
  cairo_rectangle(cr, x + len * 0.3, y - thick / 2, len * 0.7, thick);
  c.FillLinear(0, y - thick / 2, kSteelLight, 0, y + thick / 2, kSteel.Mix(kBlack, 0.4));
  cairo_rectangle(cr, x + len - 3, y - thick * 0.75, 3, thick * 1.5);
  c.SetColor(kHullDark);
  cairo_fill(cr);
}

void Badge(const TCanvas& c, double w, double h, const TColor& rim, const TColor& face) {
  c.RoundedRect(0.5, 0.5, w - 1, h - 1, 4);
  c.FillLinear(0, 0, rim.Mix(kWhite, 0.4), w, h, rim.Mix(kBlack, 0.4));
  c.RoundedRect(2.5, 2.5, w - 5, h - 5, 3);
  c.FillLinear(0, 2, face.Mix(kWhite, 0.35), 0, h - 2, face.Mix(kBlack, 0.2));
}

}  // namespace

std::unique_ptr<TCanvas> TScenePainter::Panel(int side) const {
  auto c = std::make_unique<TCanvas>(kSidePanelWidth, kScreenHeight);
  SteelPlate(*c, 0, 0, kSidePanelWidth, kScreenHeight);
  cairo_t* cr = c->Cr();
  // Seam lines on the edge facing the sea.
  const double edge = side == 0 ? kSidePanelWidth - 4 : 3;
  cairo_rectangle(cr, edge - 1, 0, 2, kScreenHeight);
  c->SetColor(kBrass.Mix(kBlack, 0.3));
  cairo_fill(cr);
  // Recesses sit around the fields the game fills; the captions above them.
  if (side == 0) {
    const double mid = kLevelField.X;
    // TRANSLATORS: Caption on the game's side panel, 118 pixels wide, capitals.
    Engraved(*c, fonts_, N_("LEVEL"), mid, 50, 16);
    Recess(*c, mid - 42, kLevelField.Y - 5, 84, 40);
    Engraved(*c, fonts_, N_("SCORE"), mid, 170, 16);
    Recess(*c, kScoreField.X - 50, kScoreField.Y - 5, 100, 40);
    Engraved(*c, fonts_, N_("LIVES"), mid, 288, 16);
    Recess(*c, kLivesX - 4, kLivesY - 4, 108, 38);
    // An anchor emblem low on the panel.
    const double ax = mid, ay = 470;
    c->Ellipse(ax, ay - 36, 7, 7);
    c->SetColor(kBrass);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_move_to(cr, ax, ay - 29);
    cairo_line_to(cr, ax, ay + 30);
    cairo_move_to(cr, ax - 16, ay - 18);
    cairo_line_to(cr, ax + 16, ay - 18);
    cairo_stroke(cr);
    cairo_arc_negative(cr, ax, ay + 4, 26, M_PI * 0.95, M_PI * 0.05);
    cairo_stroke(cr);
    Engraved(*c, fonts_, "TIDAL", mid, 530, 14);
    Engraved(*c, fonts_, "LYNX", mid, 548, 14);
  } else {
    const int weaponX = kWeaponX - kRightPanelX;
    const int barX = kHealthBarX - kRightPanelX;
    const int barTop = kHealthBarBottom - kHealthBarHeight;
    // TRANSLATORS: Caption on the game's side panel, 118 pixels wide, capitals.
    Engraved(*c, fonts_, N_("WEAPON"), 59, 10, 14);
    Recess(*c, weaponX - 3, kWeaponTop - 3, kWeaponCell + 6, kWeaponCell * kWeaponCount + 6);
    Engraved(*c, fonts_, N_("AMMO"), 59, 346, 12);
    const int ammoRight = kAmmoField.X - kRightPanelX + 4;
    Recess(*c, 18, kAmmoField.Y - 2, ammoRight - 18, 26);
    // TRANSLATORS: Caption on the game's side panel over the health bar, 118
    // pixels wide, capitals.
    Engraved(*c, fonts_, N_("HULL"), 59, 410, 14);
    Recess(*c, barX - 4, barTop - 4, kHealthBarWidth + 8, kHealthBarHeight + 8);
    // Scale marks beside the health bar.
    for (int i = 0; i <= 8; ++i) {
      const double y = 442 + i * 18;
      cairo_move_to(cr, 62, y);
      cairo_line_to(cr, i % 2 == 0 ? 74 : 68, y);
    }
    c->SetColor(TColor::Hex(0x8FA1B0));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
  }
  return c;
}

std::unique_ptr<TCanvas> TScenePainter::HealthBar() {
  constexpr int kW = kHealthBarWidth, kH = kHealthBarHeight;
  auto c = std::make_unique<TCanvas>(kW, kH);
  cairo_t* cr = c->Cr();
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, kH);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.22, 0.78, 0.25);
  cairo_pattern_add_color_stop_rgb(p, 0.5, 0.95, 0.82, 0.2);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.85, 0.16, 0.12);
  cairo_rectangle(cr, 0, 0, kW, kH);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // A glassy highlight and segment lines.
  cairo_rectangle(cr, 4, 0, 7, kH);
  c->SetColor(kWhite.WithAlpha(0.3));
  cairo_fill(cr);
  for (int y = 8; y < kH; y += 8) cairo_rectangle(cr, 0, y, kW, 1);
  c->SetColor(kBlack.WithAlpha(0.25));
  cairo_fill(cr);
  return c;
}

std::unique_ptr<TCanvas> TScenePainter::WeaponFrame() {
  // Five frames stacked like the weapon icons: the panel takes the frame of the
  // selected weapon from the same row as its icon.
  constexpr int kCell = kWeaponCell;
  auto c = std::make_unique<TCanvas>(kCell, kCell * kWeaponCount);
  for (int i = 0; i < kWeaponCount; ++i) {
    const double top = kCell * i;
    c->RoundedRect(1.5, top + 1.5, 58, 58, 6);
    c->SetColor(kOrange);
    cairo_set_line_width(c->Cr(), 3);
    cairo_stroke(c->Cr());
    c->RoundedRect(4, top + 4, 53, 53, 4);
    c->SetColor(TColor::Hex(0xFFE08A));
    cairo_set_line_width(c->Cr(), 1);
    cairo_stroke(c->Cr());
  }
  return c;
}

void TScenePainter::TileSea(const TCanvas& target) {
  auto tile = SeaTile();
  for (int y = 0; y < target.Height(); y += tile->Height())
    for (int x = 0; x < target.Width(); x += tile->Width()) target.Paint(*tile, x, y);
}

std::unique_ptr<TCanvas> TScenePainter::SeaTile() {
  constexpr int kW = 123, kH = 247;
  auto c = std::make_unique<TCanvas>(kW, kH);
  cairo_t* cr = c->Cr();
  cairo_rectangle(cr, 0, 0, kW, kH);
  c->SetColor(kSeaMid);
  cairo_fill(cr);
  TRandom rng(1234);
  // Swells, ripples and foam flecks; each is drawn at every wrapped offset
  // so the tile joins seamlessly in both directions.
  auto wrapped = [&](auto&& draw) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) draw(dx * kW, dy * kH);
  };
  for (int i = 0; i < 14; ++i) {
    const double x = rng.RandomFloat() * kW;
    const double y = rng.RandomFloat() * kH;
    const double rx = 18 + rng.RandomFloat() * 30;
    const double ry = 8 + rng.RandomFloat() * 18;
    const bool dark = i % 2 == 0;
    wrapped([&](double ox, double oy) {
      c->Ellipse(x + ox, y + oy, rx, ry);
      c->FillRadial(x + ox, y + oy, rx, (dark ? kSeaDeep : kSeaLight).WithAlpha(0.45),
                    kSeaMid.WithAlpha(0));
    });
  }
  for (int i = 0; i < 40; ++i) {
    const double x = rng.RandomFloat() * kW;
    const double y = rng.RandomFloat() * kH;
    const double len = 6 + rng.RandomFloat() * 12;
    const double light = rng.RandomFloat();
    wrapped([&](double ox, double oy) {
      cairo_move_to(cr, x + ox - len / 2, y + oy);
      cairo_curve_to(cr, x + ox - len / 4, y + oy - 2.5, x + ox + len / 4, y + oy - 2.5,
                     x + ox + len / 2, y + oy);
    });
    c->SetColor(kSeaLight.Mix(kFoam, 0.2 + 0.4 * light).WithAlpha(0.55));
    cairo_set_line_width(cr, 1.3);
    cairo_stroke(cr);
  }
  for (int i = 0; i < 18; ++i) {
    const double x = rng.RandomFloat() * kW;
    const double y = rng.RandomFloat() * kH;
    wrapped([&](double ox, double oy) { c->Ellipse(x + ox, y + oy, 1.2, 0.7); });
    c->SetColor(kFoam.WithAlpha(0.6));
    cairo_fill(cr);
  }
  return c;
}

std::unique_ptr<TCanvas> TScenePainter::Island(int kind) {
  struct Layout {
    int w, h;
    uint64_t seed;
  };
  static constexpr Layout kLayouts[] = {{78, 210, 11}, {62, 139, 12}, {77, 191, 13}, {72, 176, 14}};
  const Layout s = kLayouts[kind];
  auto c = std::make_unique<TCanvas>(s.w, s.h);
  cairo_t* cr = c->Cr();
  const bool left = kind < 2;
  TRandom rng(s.seed);
  // The land is flush with the screen edge; the coast bulges toward the sea.
  const int steps = 12;
  std::vector<double> reach(steps + 1);
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    const double bulge = std::sin(t * M_PI);
    const double jitter = rng.RandomFloat();
    // Tapers to nothing at both ends, so the island never shows a cut edge.
    reach[i] = std::pow(bulge, 0.7) * (s.w - 6) * (0.85 + 0.15 * jitter);
  }
  auto coast = [&](double inset) {
    const double edge = left ? -2 : s.w + 2;
    const double sign = left ? 1 : -1;
    cairo_move_to(cr, edge, 0);
    for (int i = 0; i <= steps; ++i) {
      const double y = static_cast<double>(i) * s.h / steps;
      const double x = edge + sign * std::max(0.0, reach[i] - inset);
      if (i == 0) {
        cairo_line_to(cr, x, y);
      } else {
        const double py = static_cast<double>(i - 1) * s.h / steps;
        const double px = edge + sign * std::max(0.0, reach[i - 1] - inset);
        cairo_curve_to(cr, px, py + (y - py) / 2, x, py + (y - py) / 2, x, y);
      }
    }
    cairo_line_to(cr, edge, s.h);
    cairo_close_path(cr);
  };
  coast(-3);  // surf
  c->SetColor(kShallow.Mix(kFoam, 0.5));
  cairo_fill(cr);
  coast(0);
  c->SetColor(kSand);
  cairo_fill(cr);
  coast(14);
  c->FillLinear(left ? 0 : s.w, 0, kPalm.Mix(kBlack, 0.2), left ? s.w : 0, 0,
                kPalmLight.Mix(kSand, 0.3));
  // Rocks on the beach.
  for (int i = 0; i < 5; ++i) {
    const double t = 0.15 + 0.7 * rng.RandomFloat();
    const int idx = static_cast<int>(t * steps);
    const double along = rng.RandomFloat();
    const double reachHere = reach[idx] * (0.55 + 0.3 * along);
    const double x = left ? reachHere : s.w - reachHere;
    const double y = t * s.h;
    const double r = 3 + rng.RandomFloat() * 4;
    c->Ellipse(x, y, r, r * 0.8);
    c->FillRadial(x - r * 0.3, y - r * 0.3, r * 1.3, kRock.Mix(kWhite, 0.3), kRockDark);
  }
  // Palms: a trunk shadow and a crown of fronds.
  for (int i = 0; i < 4; ++i) {
    const double t = 0.2 + 0.6 * (i + rng.RandomFloat()) / 4;
    const int idx = static_cast<int>(t * steps);
    const double reachHere = std::max(8.0, reach[idx] - 16);
    const double x = left ? reachHere : s.w - reachHere;
    const double y = t * s.h;
    const double r = 10 + rng.RandomFloat() * 3;
    const double phase = rng.RandomFloat();
    for (int f = 0; f < 7; ++f) {
      const double a = phase * 2 * M_PI + f * 2 * M_PI / 7;
      cairo_move_to(cr, x, y);
      cairo_curve_to(cr, x + r * 0.5 * std::cos(a - 0.3), y + r * 0.5 * std::sin(a - 0.3),
                     x + r * std::cos(a - 0.1), y + r * std::sin(a - 0.1), x + r * std::cos(a),
                     y + r * std::sin(a));
      cairo_curve_to(cr, x + r * 0.6 * std::cos(a + 0.25), y + r * 0.6 * std::sin(a + 0.25),
                     x + r * 0.3 * std::cos(a + 0.3), y + r * 0.3 * std::sin(a + 0.3), x, y);
    }
    c->FillRadial(x, y, r, TColor::Hex(0x9ED36A), TColor::Hex(0x3E8A2E));
    c->Ellipse(x, y, 1.8, 1.8);
    c->SetColor(TColor::Hex(0x6B4A2A));
    cairo_fill(cr);
  }
  return c;
}

std::unique_ptr<TCanvas> TScenePainter::Explosion(int kind) {
  auto c = std::make_unique<TCanvas>(1024, 64);
  cairo_t* cr = c->Cr();
  struct Layout {
    double size;
    bool water;
    bool smoky;
    uint64_t seed;
  };
  static constexpr Layout kLayouts[] = {{1.0, false, false, 21},
                                        {0.8, false, true, 22},
                                        {0.75, true, false, 23},
                                        {0.9, false, true, 24},
                                        {0.45, false, false, 25}};
  const Layout s = kLayouts[kind];
  for (int f = 0; f < 16; ++f) {
    TRandom rng(s.seed);  // the same blobs in every frame, growing and cooling
    const double t = f / 15.0;
    const double cx = f * 64 + 32, cy = 32;
    // Nothing of one frame may reach into its neighbour.
    cairo_save(cr);
    cairo_rectangle(cr, f * 64, 0, 64, 64);
    cairo_clip(cr);
    const double grow = std::sin(std::min(1.0, t * 1.6) * M_PI / 2);
    const double fade = 1 - t;
    const int blobs = 9;
    for (int b = 0; b < blobs; ++b) {
      const double a = rng.RandomFloat() * 2 * M_PI;
      const double d = rng.RandomFloat() * 16 * s.size * grow;
      const double r = (9 + rng.RandomFloat() * 11) * s.size * (0.3 + 0.7 * grow) * (1 - 0.45 * t);
      const double bx = cx + d * std::cos(a);
      const double by = cy + d * std::sin(a);
      TColor inner, outer;
      if (s.water) {
        inner = kFoam;
        outer = kSeaLight.Mix(kFoam, 0.4 * fade);
      } else if (t > 0.55 || (s.smoky && t > 0.35)) {
        inner = TColor::Hex(0x6A625C).Mix(TColor::Hex(0x3A3633), t);
        outer = TColor::Hex(0x2E2A28);
      } else {
        inner = TColor::Hex(0xFFF6C0).Mix(TColor::Hex(0xFF9A20), t * 1.5);
        outer = TColor::Hex(0xE0501A).Mix(TColor::Hex(0x802010), t * 1.5);
      }
      c->Ellipse(bx, by, r, r);
      c->FillRadial(bx - r * 0.2, by - r * 0.2, r * 1.1, inner, outer);
    }
    // Sparks flying out early on.
    if (t < 0.6) {
      for (int k = 0; k < 8; ++k) {
        const double a = rng.RandomFloat() * 2 * M_PI;
        const double d = std::min(29.0, (10 + rng.RandomFloat() * 20) * s.size * (0.3 + t * 1.4));
        cairo_move_to(cr, cx + d * std::cos(a), cy + d * std::sin(a));
        cairo_line_to(cr, cx + (d + 3) * std::cos(a), cy + (d + 3) * std::sin(a));
      }
      c->SetColor(s.water ? kFoam : TColor::Hex(0xFFD060));
      cairo_set_line_width(cr, 1.6);
      cairo_stroke(cr);
    }
    cairo_restore(cr);
  }
  return c;
}

std::unique_ptr<TCanvas> TScenePainter::WeaponIcons() const {
  auto c = std::make_unique<TCanvas>(kWeaponCell, kWeaponCell * kWeaponCount);
  for (int i = 0; i < kWeaponCount; ++i) {
    const double y = i * static_cast<double>(kWeaponCell);
    c->RoundedRect(3, y + 3, 55, 55, 6);
    c->FillLinear(0, y, TColor::Hex(0x3C5266), 0, y + kWeaponCell, TColor::Hex(0x1B2633));
    c->RoundedRect(3.5, y + 3.5, 54, 54, 6);
    c->SetColor(TColor::Hex(0x7F93A6));
    cairo_set_line_width(c->Cr(), 1);
    cairo_stroke(c->Cr());
    switch (i) {
      case 0:
        GunGlyph(*c, 10, y + 30, 40, 4);
        break;
      case 1:
        GunGlyph(*c, 8, y + 30, 44, 6);
        break;
      case 2:
        GunGlyph(*c, 8, y + 23, 44, 5);
        GunGlyph(*c, 8, y + 38, 44, 5);
        break;
      case 3:
        RocketGlyph(*c, 30.5, y + 9, 42, 8);
        break;
      default:
        for (int k = 0; k < 3; ++k) RocketGlyph(*c, 16.5 + 14 * k, y + 11, 38, 6);
        break;
    }
  }
  return c;
}

std::unique_ptr<TCanvas> TScenePainter::Bonus(int kind) const {
  const bool square = kind == 4 || kind == 7;
  auto c = std::make_unique<TCanvas>(square ? 23 : 24, 23);
  cairo_t* cr = c->Cr();
  const double w = c->Width(), h = c->Height(), cx = w / 2, cy = h / 2;
  switch (kind) {
    case 0:  // Rocket
      Badge(*c, w, h, kBrass, TColor::Hex(0x2F4A63));
      RocketGlyph(*c, cx, 4, 15, 3.5);
      break;
    case 1:  // Gun
      Badge(*c, w, h, kBrass, TColor::Hex(0x2F4A63));
      GunGlyph(*c, 3.5, cy, 17, 3);
      break;
    case 2:  // Rocket 3x
      Badge(*c, w, h, kBrass, TColor::Hex(0x6B2A2A));
      for (int k = 0; k < 3; ++k) RocketGlyph(*c, 6.5 + 5.5 * k, 5, 13, 2.4);
      break;
    case 3:  // Gun 2x
      Badge(*c, w, h, kBrass, TColor::Hex(0x6B2A2A));
      GunGlyph(*c, 3.5, cy - 3.5, 17, 2.5);
      GunGlyph(*c, 3.5, cy + 3.5, 17, 2.5);
      break;
    case 4:  // First-aid set
      Badge(*c, w, h, kWhite.Mix(kBlack, 0.3), kWhite);
      cairo_rectangle(cr, cx - 2.5, 5, 5, h - 10);
      cairo_rectangle(cr, 5, cy - 2.5, w - 10, 5);
      c->SetColor(kRed);
      cairo_fill(cr);
      break;
    case 5: {  // Ice: a snowflake on frosty blue
      Badge(*c, w, h, TColor::Hex(0x9CCBE8), TColor::Hex(0x3C8AC4));
      for (int k = 0; k < 3; ++k) {
        const double a = k * M_PI / 3;
        cairo_move_to(cr, cx - 7 * std::cos(a), cy - 7 * std::sin(a));
        cairo_line_to(cr, cx + 7 * std::cos(a), cy + 7 * std::sin(a));
      }
      c->SetColor(kWhite);
      cairo_set_line_width(cr, 1.8);
      cairo_stroke(cr);
      c->Ellipse(cx, cy, 2, 2);
      cairo_fill(cr);
      break;
    }
    case 6:  // Coins: a stack of gold
      Badge(*c, w, h, kBrass.Mix(kBlack, 0.2), TColor::Hex(0x2E5E3A));
      for (int k = 0; k < 3; ++k) {
        c->Ellipse(cx - 3 + k * 3, 15 - k * 4, 5.5, 3);
        c->FillLinear(0, 12 - k * 4, TColor::Hex(0xFFE38A), 0, 18 - k * 4, TColor::Hex(0xB07A10));
      }
      c->Text(fonts_, "$", cx + 3, 2, 9, true, TColor::Hex(0x5A3A00), TAlign::Center);
      break;
    default: {  // Mega-Bomb: a black bomb with a burning fuse
      Badge(*c, w, h, kRed, TColor::Hex(0x3A1A1A));
      c->Ellipse(cx - 1, cy + 2, 7, 7);
      c->FillRadial(cx - 3, cy - 1, 9, TColor::Hex(0x707070), kBlack);
      cairo_move_to(cr, cx + 3, cy - 3);
      cairo_curve_to(cr, cx + 5, cy - 7, cx + 7, cy - 6, cx + 7, cy - 8);
      c->SetColor(kBrass);
      cairo_set_line_width(cr, 1.2);
      cairo_stroke(cr);
      Star(*c, cx + 7, cy - 8, 3, TColor::Hex(0xFFD040));
      break;
    }
  }
  return c;
}

std::unique_ptr<TCanvas> TScenePainter::Spare(int which) {
  auto c = std::make_unique<TCanvas>(32, 32);
  cairo_t* cr = c->Cr();
  if (which == 0) {  // a channel buoy
    c->Ellipse(16, 16, 10, 10);
    c->FillRadial(13, 13, 13, TColor::Hex(0xFF7060), TColor::Hex(0x8A1A10));
    c->Ellipse(16, 16, 4, 4);
    c->SetColor(kWhite);
    cairo_fill(cr);
  } else {  // a lifebelt
    c->Ellipse(16, 16, 13, 13);
    c->Ellipse(16, 16, 6, 6);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    c->SetColor(kWhite);
    cairo_fill(cr);
    for (int k = 0; k < 4; ++k) {
      cairo_arc(cr, 16, 16, 9.5, k * M_PI / 2 + 0.2, k * M_PI / 2 + 0.8);
      c->SetColor(kRed);
      cairo_set_line_width(cr, 7);
      cairo_stroke(cr);
    }
  }
  return c;
}
