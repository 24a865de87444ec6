#include "LanguagePacks.h"

#include <algorithm>
#include <cstdio>

#include "Canvas.h"
#include "FontSet.h"
#include "ImagePack.h"
#include "MenuLayout.h"
#include "game/GameLayout.h"
#include "i18n/Gettext.h"

namespace {

namespace ml = menu_labels;

constexpr double kEmRatio = 1.22;   // the menu painter's line height per pixel of size
constexpr double kSideMargin = 6;   // the menu painter keeps 3 pixels free on each side
constexpr double kPanelMargin = 8;  // the side panels' plates leave 4 pixels at each edge

struct TCaption {
  TLabelRect Rect;
  double Size = 0;      // the layout's size
  bool Shrinks = true;  // the painter shrinks it to fit; else it is drawn at Size
};

std::vector<TCaption> Captions() {
  std::vector<TCaption> out;
  auto add = [&](const auto& rects, double size) {
    for (const TLabelRect& r : rects) out.push_back({r, size, true});
  };
  add(ml::kMainMenu, ml::kMainMenuFont);
  add(ml::kHighScoreButtons, ml::kSmallLabelFont);
  add(ml::kHelpButtons, ml::kSmallLabelFont);
  add(ml::kDisplayToggle, ml::kSmallLabelFont);
  add(ml::kMusicToggle, ml::kSmallLabelFont);
  add(ml::kSoundToggle, ml::kSmallLabelFont);
  add(ml::kOptionRows, ml::kRowLabelFont);
  // The engraved captions of the side panels, centred on their plate.
  const int right = kRightPanelX;
  struct TEngraved {
    const char* text;
    int left;
    double size;
  };
  for (const TEngraved& e : {TEngraved{"LEVEL", 0, 16}, TEngraved{"SCORE", 0, 16},
                             TEngraved{"LIVES", 0, 16}, TEngraved{"WEAPON", right, 14},
                             TEngraved{"AMMO", right, 12}, TEngraved{"HULL", right, 14}}) {
    out.push_back({{e.left, 0, e.left + kSidePanelWidth, 40, e.text}, e.size, false});
  }
  return out;
}

std::string Describe(const std::string& language, const TCaption& c, const std::string& shown,
                     double needed) {
  char line[512];
  std::snprintf(line, sizeof line,
                "language %s: \"%s\" (\"%s\") needs size %.1f in the rectangle %d,%d-%d,%d, "
                "where the layout allows %.1f to %.1f; shorten the translation or give the "
                "rectangle a smaller size",
                language.c_str(), shown.c_str(), std::string(c.Rect.text).c_str(), needed,
                c.Rect.left, c.Rect.top, c.Rect.right, c.Rect.bottom, c.Size * kMinimumShare,
                c.Size);
  return line;
}

// Each caption with the size it needs and the share of its layout size that is.
struct TMeasured {
  TCaption Caption;
  std::string Shown;
  double Needed = 0;
  double Share = 0;
};

std::vector<TMeasured> Measure(const TFontSet& fonts) {
  std::vector<TMeasured> out;
  TCanvas probe(1, 1);
  for (const TCaption& c : Captions()) {
    const std::string text(c.Rect.text);
    // TextWidth measures the translation, as Text draws it.
    const double width = probe.TextWidth(fonts, text, c.Size, true);
    const double room = c.Rect.Width() - (c.Shrinks ? kSideMargin : kPanelMargin);
    double needed = c.Size;
    if (c.Shrinks) needed = std::min(needed, c.Rect.Height() / kEmRatio);
    // A fixed-size caption's share falls below 1 as it runs past its room.
    double share = width > room ? room / width : 1.0;
    if (width > room) needed *= room / width;
    if (c.Shrinks) share = needed / c.Size;
    out.push_back({c, Translate(text.c_str()), needed, share});
  }
  return out;
}

}  // namespace

std::vector<std::string> CheckCaptionFit(const TFontSet& fonts, const std::string& language) {
  std::vector<std::string> misfits;
  for (const TMeasured& m : Measure(fonts)) {
    const double allowed = m.Caption.Shrinks ? kMinimumShare : 1.0;
    if (m.Share < allowed) misfits.push_back(Describe(language, m.Caption, m.Shown, m.Needed));
  }
  return misfits;
}

std::string TightestCaption(const TFontSet& fonts, const std::string& language) {
  const std::vector<TMeasured> all = Measure(fonts);
  const auto tightest = std::min_element(
      all.begin(), all.end(), [](const auto& a, const auto& b) { return a.Share < b.Share; });
  if (tightest == all.end()) return {};
  const TCaption& c = tightest->Caption;
  char line[512];
  std::snprintf(line, sizeof line, "%s: \"%s\" at %.1f of %.1f (%.0f %%) in %d,%d-%d,%d",
                language.c_str(), tightest->Shown.c_str(), tightest->Needed, c.Size,
                tightest->Share * 100, c.Rect.left, c.Rect.top, c.Rect.right, c.Rect.bottom);
  return line;
}

std::vector<uint8_t> LanguagePackBytes(const TImagePack& english, const TImagePack& language) {
  std::vector<uint8_t> out;
  const auto& base = english.Entries();
  const auto& own = language.Entries();
  for (size_t i = 0; i < own.size(); ++i) {
    std::vector<uint8_t> bmp = own[i].canvas->ToBmp(own[i].opaque);
    if (i < base.size() && bmp == base[i].canvas->ToBmp(base[i].opaque)) bmp.clear();
    const auto n = static_cast<uint32_t>(bmp.size());
    for (int b = 0; b < 4; ++b) out.push_back(static_cast<uint8_t>(n >> (8 * b)));
    out.insert(out.end(), bmp.begin(), bmp.end());
  }
  return out;
}
