#include "MenuPainter.h"

#include <algorithm>
#include <cmath>

#include "FontSet.h"
#include "ScenePainter.h"
#include "ShipPainter.h"
#include "assets/PackSlots.h"
#include "i18n/Gettext.h"
#include "platform/FrameSize.h"
#include "platform/Random.h"
#include "shell/ScreenLayout.h"

namespace {

using namespace palette;
namespace ml = menu_labels;

constexpr double kEmRatio = 1.22;  // line height of the faces per pixel of size

TColor Parchment() {
  return TColor::Hex(0xEFE3C2);
}

// A parchment sheet with a brass-and-navy border.
void Sheet(const TCanvas& c, double x, double y, double w, double h, double radius) {
  cairo_t* cr = c.Cr();
  c.RoundedRect(x, y, w, h, radius);
  c.SetColor(TColor::Hex(0x1E3550));
  cairo_fill(cr);
  c.RoundedRect(x + 3, y + 3, w - 6, h - 6, radius - 2);
  c.FillLinear(x, y, kBrass.Mix(kWhite, 0.3), x + w, y + h, kBrass.Mix(kBlack, 0.35));
  c.RoundedRect(x + 6, y + 6, w - 12, h - 12, std::max(1.0, radius - 4));
  c.FillRadial(x + w * 0.4, y + h * 0.35, std::max(w, h) * 0.8, Parchment().Mix(kWhite, 0.3),
               Parchment().Mix(kSandDark, 0.45));
  // Faint chart grid.
  cairo_save(cr);
  c.RoundedRect(x + 6, y + 6, w - 12, h - 12, std::max(1.0, radius - 4));
  cairo_clip(cr);
  for (double gx = x + 30; gx < x + w; gx += 40) {
    cairo_move_to(cr, gx, y);
    cairo_line_to(cr, gx, y + h);
  }
  for (double gy = y + 30; gy < y + h; gy += 40) {
    cairo_move_to(cr, x, gy);
    cairo_line_to(cr, x + w, gy);
  }
  c.SetColor(TColor::Hex(0x6B8CA8, 0.18));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_restore(cr);
}

// A compass rose centred at (cx, cy).
void CompassRose(const TCanvas& c, double cx, double cy, double r, const TColor& dark,
                 const TColor& light) {
  cairo_t* cr = c.Cr();
  c.Ellipse(cx, cy, r * 0.72, r * 0.72);
  c.SetColor(dark);
  cairo_set_line_width(cr, std::max(1.0, r * 0.06));
  cairo_stroke(cr);
  for (int i = 0; i < 8; ++i) {
    const double a = i * M_PI / 4 - M_PI / 2;
    const double len = i % 2 == 0 ? r : r * 0.6;
    const double side = r * 0.16;
    for (int half = 0; half < 2; ++half) {
      cairo_move_to(cr, cx, cy);
      cairo_line_to(cr, cx + len * std::cos(a), cy + len * std::sin(a));
      const double sa = a + (half == 0 ? M_PI / 2 : -M_PI / 2);
      cairo_line_to(cr, cx + side * std::cos(sa), cy + side * std::sin(sa));
      cairo_close_path(cr);
      c.SetColor(half == 0 ? dark : light);
      cairo_fill(cr);
    }
  }
}

// A twisted rope along a straight line.
void Rope(const TCanvas& c, double x0, double y0, double x1, double y1, double thick) {
  cairo_t* cr = c.Cr();
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  c.SetColor(TColor::Hex(0x6E5230));
  cairo_set_line_width(cr, thick);
  cairo_stroke(cr);
  const double len = std::hypot(x1 - x0, y1 - y0);
  const double ux = (x1 - x0) / len, uy = (y1 - y0) / len;
  for (double d = 0; d < len; d += thick * 0.9) {
    const double px = x0 + ux * d, py = y0 + uy * d;
    cairo_move_to(cr, px - uy * thick * 0.4 - ux * thick * 0.2,
                  py + ux * thick * 0.4 - uy * thick * 0.2);
    cairo_line_to(cr, px + uy * thick * 0.4 + ux * thick * 0.2,
                  py - ux * thick * 0.4 + uy * thick * 0.2);
  }
  c.SetColor(TColor::Hex(0xC9A46A));
  cairo_set_line_width(cr, thick * 0.35);
  cairo_stroke(cr);
}

}  // namespace

TMenuPainter::TMenuPainter(const TFontSet& fonts) : fonts_(fonts) {
  background_ = Background();
}

double TMenuPainter::FitSize(const TLabelRect& r, double size) const {
  TCanvas probe(1, 1);
  size = std::min(size, r.Height() / kEmRatio);
  const double width = probe.TextWidth(fonts_, std::string(r.text), size, true);
  if (width > r.Width() - 6) size *= (r.Width() - 6) / width;
  return size;
}

void TMenuPainter::Label(const TCanvas& c, const TLabelRect& r, int originX, int originY,
                         double size, TAlign align, bool highlighted) const {
  const std::string text(r.text);
  const double top = r.top - originY + (r.Height() - size * kEmRatio) / 2;
  double x = (r.left + r.right) / 2.0 - originX;
  if (align == TAlign::Right) x = r.right - originX - 3;
  if (align == TAlign::Left) x = r.left - originX;
  const TColor shadow = highlighted ? TColor::Hex(0x050B12) : kWhite.Mix(Parchment(), 0.3);
  c.Text(fonts_, text, x, top, size, true, highlighted ? kOrange : kNavy, align, &shadow);
}

double TMenuPainter::MainLabelLeft(int item) const {
  TCanvas probe(1, 1);
  double size = ml::kMainMenuFont;
  for (const auto& r : ml::kMainMenu) size = std::min(size, FitSize(r, ml::kMainMenuFont));
  const auto& r = ml::kMainMenu[static_cast<size_t>(item)];
  return r.right - 3 - probe.TextWidth(fonts_, std::string(r.text), size, true);
}

std::unique_ptr<TCanvas> TMenuPainter::Highlight(const TCanvas& source, int originX, int originY,
                                                 const TLabelRect& r, double size,
                                                 bool rightAlign) const {
  auto c = std::make_unique<TCanvas>(r.Width(), r.Height());
  c->Paint(source, originX - r.left, originY - r.top);
  // A navy plate with a brass rim behind the text, then the text in the
  // highlight colour: the choice stands out on the light chart.
  const double radius = std::min(8, r.Height() / 3);
  c->RoundedRect(1, 1, r.Width() - 2, r.Height() - 2, radius);
  c->FillLinear(0, 0, TColor::Hex(0x2A4C74), 0, r.Height(), TColor::Hex(0x10243C));
  c->RoundedRect(1.5, 1.5, r.Width() - 3, r.Height() - 3, radius);
  c->SetColor(kBrass);
  cairo_set_line_width(c->Cr(), 1);
  cairo_stroke(c->Cr());
  Label(*c, r, r.left, r.top, size, rightAlign ? TAlign::Right : TAlign::Center, true);
  return c;
}

std::unique_ptr<TCanvas> TMenuPainter::Background() const {
  auto c = std::make_unique<TCanvas>(kFrameWidth, kFrameHeight);
  cairo_t* cr = c->Cr();
  TScenePainter::TileSea(*c);
  cairo_rectangle(cr, 0, 0, kFrameWidth, kFrameHeight);
  c->FillLinear(0, 0, kSeaDeep.WithAlpha(0.55), 0, kFrameHeight, kSeaDeep.WithAlpha(0.1));
  // The player's ship steaming up the right half, large, with its wake.
  auto ship = TShipPainter::PlayerShip();
  cairo_save(cr);
  cairo_translate(cr, 560, 250);
  cairo_rotate(cr, 0.25);
  // The wake: a widening, fading band of foam behind the stern.
  for (int i = 0; i < 6; ++i) {
    const double spread = 20 + i * 16;
    cairo_move_to(cr, -12, 290);
    cairo_curve_to(cr, -spread * 0.5, 360, -spread, 420 + i * 10, -spread * 1.2, 520);
    cairo_move_to(cr, 12, 290);
    cairo_curve_to(cr, spread * 0.5, 360, spread, 420 + i * 10, spread * 1.2, 520);
    c->SetColor(kFoam.WithAlpha(0.4 - i * 0.05));
    cairo_set_line_width(cr, 5 - i * 0.5);
    cairo_stroke(cr);
  }
  cairo_move_to(cr, -10, 290);
  cairo_curve_to(cr, -14, 380, 14, 380, 10, 290);
  c->SetColor(kFoam.WithAlpha(0.3));
  cairo_fill(cr);
  cairo_scale(cr, 3, 3);
  cairo_rectangle(cr, -19, 0, 38, 103);
  cairo_clip(cr);
  cairo_set_source_surface(cr, ship->Surface(), -19, 0);
  cairo_paint(cr);
  // Its turning gun, aimed ahead.
  auto gun = TShipPainter::Gun(1);
  cairo_set_source_surface(cr, gun->Surface(), -6, 28 - 18);
  cairo_paint(cr);
  cairo_restore(cr);
  // Two enemy ships on the horizon.
  for (int i = 0; i < 2; ++i) {
    auto enemy = TShipPainter::Enemy(1 + i);
    c->Paint(*enemy, 380 + i * 300, 60 + i * 30);
  }
  // The chart on which the menu is written.
  Sheet(*c, 8, 150, 290, 378, 14);
  CompassRose(*c, 70, 470, 44, TColor::Hex(0x6B8CA8, 0.45), TColor::Hex(0xB7C7D4, 0.45));
  double size = ml::kMainMenuFont;
  for (const auto& r : ml::kMainMenu) size = std::min(size, FitSize(r, ml::kMainMenuFont));
  for (const auto& r : ml::kMainMenu) Label(*c, r, 0, 0, size, TAlign::Right, false);
  return c;
}

std::unique_ptr<TCanvas> TMenuPainter::Panel(int slot) const {
  auto c = std::make_unique<TCanvas>(ml::kPanelWidth, ml::kPanelHeight);
  const int ox = ml::kPanelX, oy = ml::kPanelY;
  // The panel shows the background at its edge so it sits in the scene.
  c->Paint(*background_, -ox, -oy);
  Sheet(*c, 4, 2, ml::kPanelWidth - 8, ml::kPanelHeight - 4, 16);
  cairo_t* cr = c->Cr();
  auto small = [&](const TLabelRect& r) { return FitSize(r, ml::kSmallLabelFont); };
  auto toggle = [&](const TLabelRect& r) { Label(*c, r, ox, oy, small(r), TAlign::Center, false); };
  auto button = [&](const TLabelRect& r) {
    c->RoundedRect(r.left - ox + 0.5, r.top - oy + 0.5, r.Width() - 1, r.Height() - 1, 5);
    c->SetColor(TColor::Hex(0x1E3550, 0.25));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    Label(*c, r, ox, oy, small(r), TAlign::Center, false);
  };
  if (slot == mnuHighScorePanel) {
    const TColor head = kNavy.Mix(Parchment(), 0.35);
    // Column heads over the columns the screen draws the table in.
    // TRANSLATORS: Column head of the high-score table, small capitals.
    c->Text(fonts_, N_("RANK"), screen_layout::kHiScoreRankX - ox, 12, 13, true, head);
    c->Text(fonts_, N_("NAME"), screen_layout::kHiScoreNameX - ox, 12, 13, true, head);
    // TRANSLATORS: Column head of the high-score table and caption on the
    // game's side panel (118 pixels wide), capitals.
    c->Text(fonts_, N_("SCORE"), screen_layout::kHiScoreScoreX - ox, 12, 13, true, head);
    cairo_move_to(cr, 20, 30.5);
    cairo_line_to(cr, ml::kPanelWidth - 20, 30.5);
    c->SetColor(head);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    for (const auto& r : ml::kHighScoreButtons) button(r);
  } else if (slot == mnuOptionsPanel) {
    for (const auto& r : ml::kOptionRows)
      Label(*c, r, ox, oy, FitSize(r, ml::kRowLabelFont), TAlign::Left, false);
    for (const auto* group : {&ml::kDisplayToggle, &ml::kMusicToggle, &ml::kSoundToggle})
      for (const auto& r : *group) toggle(r);
    // The name field and the key button get recessed plates.
    for (const auto& r : {ml::kNameEdit, ml::kKeyButton}) {
      c->RoundedRect(r.left - ox, r.top - oy, r.Width(), r.Height(), 4);
      c->FillLinear(0, r.top - oy, TColor::Hex(0xD6C9A4), 0, r.bottom - oy, TColor::Hex(0xF8F0DA));
      c->RoundedRect(r.left - ox + 0.5, r.top - oy + 0.5, r.Width() - 1, r.Height() - 1, 4);
      c->SetColor(TColor::Hex(0x7A6A48));
      cairo_stroke(cr);
    }
  } else {
    CompassRose(*c, 420, 90, 60, TColor::Hex(0x6B8CA8, 0.15), TColor::Hex(0xB7C7D4, 0.15));
    for (const auto& r : ml::kHelpButtons) button(r);
  }
  return c;
}

std::unique_ptr<TCanvas> TMenuPainter::Dialog() const {
  auto c = std::make_unique<TCanvas>(ml::kDialogWidth, ml::kDialogHeight);
  cairo_rectangle(c->Cr(), 0, 0, ml::kDialogWidth, ml::kDialogHeight);
  c->SetColor(TColor::Hex(0x0E2238));
  cairo_fill(c->Cr());
  Sheet(*c, 0, 0, ml::kDialogWidth, ml::kDialogHeight, 1);
  return c;
}

std::unique_ptr<TCanvas> TMenuPainter::Overlay() const {
  auto c = std::make_unique<TCanvas>(kFrameWidth, kFrameHeight);
  cairo_t* cr = c->Cr();
  // Rope frame around the screen with brass corner plates.
  Rope(*c, 0, 4, kFrameWidth, 4, 7);
  Rope(*c, 0, kFrameHeight - 4, kFrameWidth, kFrameHeight - 4, 7);
  Rope(*c, 4, 0, 4, kFrameHeight, 7);
  Rope(*c, kFrameWidth - 4, 0, kFrameWidth - 4, kFrameHeight, 7);
  for (const double x : {0.0, 776.0})
    for (const double y : {0.0, 576.0}) {
      c->RoundedRect(x, y, 24, 24, 5);
      c->FillLinear(x, y, kBrass.Mix(kWhite, 0.35), x + 24, y + 24, kBrass.Mix(kBlack, 0.4));
      c->Ellipse(x + 12, y + 12, 3, 3);
      c->SetColor(TColor::Hex(0x5A4010));
      cairo_fill(cr);
    }
  // The title plaque, inside the region that slides in at start.
  const double w = ml::kTitleWidth - 14, h = ml::kTitleHeight - 16;
  c->RoundedRect(8, 8, w, h, 18);
  c->FillLinear(0, 8, TColor::Hex(0x24466B), 0, 8 + h, TColor::Hex(0x0E2238));
  c->RoundedRect(10, 10, w - 4, h - 4, 16);
  c->SetColor(kBrass);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  CompassRose(*c, 58, 8 + h / 2, 34, kBrass.Mix(kBlack, 0.2), kBrass.Mix(kWhite, 0.5));
  const TColor shadow = TColor::Hex(0x050B12);
  c->Text(fonts_, "Tidal Lynx", 108, 14, 60, true, TColor::Hex(0xFFB02E), TAlign::Left, &shadow);
  // Wave flourish under the title.
  cairo_move_to(cr, 110, 86);
  for (int i = 0; i < 8; ++i)
    cairo_curve_to(cr, 110 + i * 48 + 12, 80, 110 + i * 48 + 36, 92, 110 + (i + 1) * 48, 86);
  c->SetColor(kFoam.Mix(kSeaLight, 0.4));
  cairo_set_line_width(cr, 2.5);
  cairo_stroke(cr);
  return c;
}

std::unique_ptr<TCanvas> TMenuPainter::AboutPicture() const {
  auto c = std::make_unique<TCanvas>(120, 150);
  cairo_t* cr = c->Cr();
  c->Ellipse(60, 62, 56, 56);
  c->FillRadial(45, 45, 80, kSeaLight, kSeaDeep);
  c->Ellipse(60, 62, 56, 56);
  c->SetColor(kBrass);
  cairo_set_line_width(cr, 4);
  cairo_stroke(cr);
  auto ship = TShipPainter::PlayerShip();
  cairo_save(cr);
  cairo_translate(cr, 60, 62);
  cairo_rotate(cr, 0.5);
  cairo_scale(cr, 0.85, 0.85);
  cairo_rectangle(cr, -19, -52, 38, 103);
  cairo_clip(cr);
  cairo_set_source_surface(cr, ship->Surface(), -19, -52);
  cairo_paint(cr);
  cairo_restore(cr);
  c->RoundedRect(10, 124, 100, 22, 6);
  c->SetColor(TColor::Hex(0x1E3550));
  cairo_fill(cr);
  c->Text(fonts_, "v.2.0", 60, 126, 15, true, kOrange, TAlign::Center);
  return c;
}

std::unique_ptr<TCanvas> TMenuPainter::Marker(int which) const {
  const auto& m = ml::kMarkers[static_cast<size_t>(which)];
  auto c = std::make_unique<TCanvas>(ml::kMarkerSize, ml::kMarkerSize);
  c->Paint(*background_, -m.x, -m.y);
  const double r = ml::kMarkerSize / 2.0;
  cairo_t* cr = c->Cr();
  // A ship's wheel: rim, spokes and hub.
  for (int i = 0; i < 8; ++i) {
    const double a = i * M_PI / 4 + which * 0.2;
    cairo_move_to(cr, r, r);
    cairo_line_to(cr, r + (r - 2) * std::cos(a), r + (r - 2) * std::sin(a));
  }
  c->SetColor(TColor::Hex(0x6E4A22));
  cairo_set_line_width(cr, 2.6);
  cairo_stroke(cr);
  c->Ellipse(r, r, r - 7, r - 7);
  c->SetColor(TColor::Hex(0x8A5E2C));
  cairo_set_line_width(cr, 3.5);
  cairo_stroke(cr);
  c->Ellipse(r, r, 4, 4);
  c->FillRadial(r - 1, r - 1, 5, kBrass.Mix(kWhite, 0.4), kBrass.Mix(kBlack, 0.3));
  return c;
}

std::unique_ptr<TCanvas> TMenuPainter::Spare(int slot) const {
  auto c = std::make_unique<TCanvas>(48, 32);
  TRandom rng(static_cast<uint64_t>(slot));
  const double hue = rng.RandomFloat();
  // Signal flags, one per spare slot.
  c->RoundedRect(1, 1, 46, 30, 2);
  c->SetColor(TColor::Hex(0x1E3550).Mix(kRed, hue));
  cairo_fill(c->Cr());
  c->RoundedRect(8, 7, 32, 18, 2);
  c->SetColor(kBrass.Mix(kWhite, 1 - hue));
  cairo_fill(c->Cr());
  return c;
}

std::unique_ptr<TCanvas> TMenuPainter::Image(int slot) const {
  namespace m = menu_labels;
  auto mainSize = [&] {
    double size = m::kMainMenuFont;
    for (const auto& r : m::kMainMenu) size = std::min(size, FitSize(r, m::kMainMenuFont));
    return size;
  };
  auto smallHighlight = [&](int panelSlot, const TLabelRect& r) {
    auto panel = Panel(panelSlot);
    return Highlight(*panel, m::kPanelX, m::kPanelY, r, FitSize(r, m::kSmallLabelFont), false);
  };
  switch (slot) {
    case mnuBackground: {
      auto c = std::make_unique<TCanvas>(kFrameWidth, kFrameHeight);
      c->Paint(*background_, 0, 0);
      return c;
    }
    case mnuNewGame:
    case mnuOptions:
    case mnuHighScores:
    case mnuHelp:
    case mnuHomePage:
    case mnuExit:
      return Highlight(*background_, 0, 0, m::kMainMenu[static_cast<size_t>(slot - mnuNewGame)],
                       mainSize(), true);
    case mnuWindowed:
    case mnuFullScreen:
      return smallHighlight(mnuOptionsPanel,
                            m::kDisplayToggle[static_cast<size_t>(slot - mnuWindowed)]);
    case mnuFocusFrame: {
      auto c = std::make_unique<TCanvas>(205, 30);
      c->RoundedRect(1.5, 1.5, 202, 27, 5);
      c->SetColor(kOrange);
      cairo_set_line_width(c->Cr(), 3);
      cairo_stroke(c->Cr());
      return c;
    }
    case mnuHighScorePanel:
    case mnuOptionsPanel:
    case mnuHelpPanel:
      return Panel(slot);
    case mnuClearTable:
    case mnuWorldScores:
      return smallHighlight(mnuHighScorePanel,
                            m::kHighScoreButtons[static_cast<size_t>(slot - mnuClearTable)]);
    case mnuHelpBack:
    case mnuHelpNext:
      return smallHighlight(mnuHelpPanel, m::kHelpButtons[static_cast<size_t>(slot - mnuHelpBack)]);
    case mnuToggleOn:
    case mnuToggleOff:
      return smallHighlight(mnuOptionsPanel,
                            m::kMusicToggle[static_cast<size_t>(slot - mnuToggleOn)]);
    case mnuDialogBox:
      return Dialog();
    case mnuAboutPicture:
      return AboutPicture();
    case mnuPauseLine: {
      auto c = std::make_unique<TCanvas>(kFrameWidth, 1);
      cairo_rectangle(c->Cr(), 0, 0, kFrameWidth, 1);
      c->SetColor(TColor::Hex(0x0A1A2A));
      cairo_fill(c->Cr());
      return c;
    }
    case mnuOptionsMarker:
    case mnuHighScoresMarker:
    case mnuHelpMarker:
      return Marker(slot - mnuOptionsMarker);
    case mnuTitle:
      return Overlay();
    default:
      return Spare(slot);
  }
}
