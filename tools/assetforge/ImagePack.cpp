#include "ImagePack.h"

#include <stdexcept>

#include "FontSet.h"
#include "MenuPainter.h"
#include "ScenePainter.h"
#include "ShipPainter.h"

namespace {

const char* const kSpriteNames[TImagePack::kSpriteCount] = {
    "left panel", "right panel", "life",       "health",    "weapon frame", "sea",     "island 0",
    "island 1",   "island 2",    "island 3",   "blast",     "explosion 1",  "splash",  "smoke",
    "impact",     "buoy",        "lifebelt",   "Cutter",    "Destroyer",    "Cruiser", "BattleShip",
    "gun",        "Bomber",      "Helicopter", "supply",    "player",       "gun 0",   "gun 1",
    "gun 2",      "bullet",      "shell",      "rocket",    "tracer",       "weapons", "Rocket",
    "Gun",        "Rocket 3x",   "Gun 2x",     "First-aid", "Ice",          "Coins",   "Mega-Bomb"};

bool MenuOpaque(int slot) {
  // Drawn without colour key: background, panels, dialog and the markers.
  return slot == 0 || slot == 10 || slot == 13 || slot == 14 || slot == 19 ||
         (slot >= 23 && slot <= 25);
}

}  // namespace

TImagePack::TImagePack(const TFontSet& fonts) : fonts_(fonts) {
  const TScenePainter scene(fonts);
  const TMenuPainter menu(fonts);
  for (int s = 0; s < kSpriteCount; ++s) {
    TEntry e;
    e.name = kSpriteNames[s];
    if (s <= 1)
      e.canvas = scene.Panel(s);
    else if (s == 2)
      e.canvas = TShipPainter::LifeIcon();
    else if (s == 3)
      e.canvas = TScenePainter::HealthBar();
    else if (s == 4)
      e.canvas = TScenePainter::WeaponFrame();
    else if (s == 5)
      e.canvas = TScenePainter::SeaTile();
    else if (s <= 9)
      e.canvas = TScenePainter::Island(s - 6);
    else if (s <= 14)
      e.canvas = TScenePainter::Explosion(s - 10);
    else if (s <= 16)
      e.canvas = TScenePainter::Spare(s - 15);
    else if (s <= 24)
      e.canvas = TShipPainter::Enemy(s - 17);
    else if (s == 25)
      e.canvas = TShipPainter::PlayerShip();
    else if (s <= 28)
      e.canvas = TShipPainter::Gun(s - 26);
    else if (s <= 32)
      e.canvas = TShipPainter::Shot(s - 29);
    else if (s == 33)
      e.canvas = scene.WeaponIcons();
    else
      e.canvas = scene.Bonus(s - 34);
    e.opaque = s == 5;
    entries_.push_back(std::move(e));
  }
  for (int m = 0; m < kMenuCount; ++m) {
    TEntry e;
    e.name = "menu " + std::to_string(m);
    e.canvas = menu.Image(m);
    e.opaque = MenuOpaque(m);
    entries_.push_back(std::move(e));
  }
}

std::vector<uint8_t> TImagePack::PackBytes() const {
  std::vector<uint8_t> out;
  for (const auto& e : entries_) {
    const std::vector<uint8_t> bmp = e.canvas->ToBmp(e.opaque);
    const auto n = static_cast<uint32_t>(bmp.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(n >> (8 * i)));
    out.insert(out.end(), bmp.begin(), bmp.end());
  }
  return out;
}

void TImagePack::WriteContactSheet(const std::string& path) const {
  // Shelf packing: pictures left to right, a new shelf when a row is full.
  constexpr int kSheetWidth = 1700;
  constexpr int kGap = 14;
  constexpr int kCaption = 14;
  struct Place {
    int x, y;
  };
  std::vector<Place> places;
  int x = kGap, y = kGap, shelf = 0;
  for (const auto& e : entries_) {
    const int w = e.canvas->Width(), h = e.canvas->Height();
    if (x + w + kGap > kSheetWidth) {
      x = kGap;
      y += shelf + kCaption + kGap;
      shelf = 0;
    }
    places.push_back({x, y});
    x += std::max(w, 60) + kGap;
    shelf = std::max(shelf, h);
  }
  const int height = y + shelf + kCaption + kGap;
  TCanvas sheet(kSheetWidth, height);
  TScenePainter::TileSea(sheet);
  for (size_t i = 0; i < entries_.size(); ++i) {
    const auto& e = entries_[i];
    // Show each picture as the game will: keyed pixels transparent.
    TCanvas keyed(e.canvas->Width(), e.canvas->Height());
    keyed.Paint(*e.canvas, 0, 0);
    if (!e.opaque) {
      // Re-apply the alpha threshold so the preview matches the pack.
      cairo_surface_flush(keyed.Surface());
      uint8_t* data = cairo_image_surface_get_data(keyed.Surface());
      const int stride = cairo_image_surface_get_stride(keyed.Surface());
      for (int row = 0; row < keyed.Height(); ++row) {
        auto* px = reinterpret_cast<uint32_t*>(data + row * stride);
        for (int col = 0; col < keyed.Width(); ++col) {
          const uint32_t a = px[col] >> 24;
          if (a < 128) {
            px[col] = 0;
          } else {
            const uint32_t r = std::min<uint32_t>(255, ((px[col] >> 16) & 0xFF) * 255 / a);
            const uint32_t g = std::min<uint32_t>(255, ((px[col] >> 8) & 0xFF) * 255 / a);
            const uint32_t b = std::min<uint32_t>(255, (px[col] & 0xFF) * 255 / a);
            px[col] = 0xFF000000u | r << 16 | g << 8 | b;
          }
        }
      }
      cairo_surface_mark_dirty(keyed.Surface());
    }
    sheet.Paint(keyed, places[i].x, places[i].y);
    const TColor shadow = palette::kBlack;
    sheet.Text(fonts_, std::to_string(i) + " " + e.name, places[i].x,
               places[i].y + e.canvas->Height() + 1, 11, true, palette::kWhite, TAlign::Left,
               &shadow);
  }
  cairo_surface_flush(sheet.Surface());
  if (cairo_surface_write_to_png(sheet.Surface(), path.c_str()) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("Cannot write the contact sheet " + path);
}
