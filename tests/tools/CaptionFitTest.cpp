// The forge measures every caption in every language with the real font: a
// translation too long for its rectangle is named with its language, text
// and rectangle, and fails the build.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FontSet.h"
#include "LanguagePacks.h"
#include "game/GameLayout.h"
#include "i18n/Language.h"

namespace {

namespace fs = std::filesystem;

// A one-entry catalogue for language `code` in a scratch locale folder (a
// code per catalogue: the C library keeps a catalogue it has read).
std::string Catalogue(const std::string& code, const std::string& msgid,
                      const std::string& msgstr) {
  const fs::path folder = fs::current_path() / "caption-fit";
  fs::create_directories(folder / code / "LC_MESSAGES");
  const fs::path po = folder / (code + ".po");
  std::ofstream(po) << "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                    << "msgid \"" << msgid << "\"\nmsgstr \"" << msgstr << "\"\n";
  const std::string command = "msgfmt -o '" +
                              (folder / code / "LC_MESSAGES/tidal-lynx.mo").string() + "' '" +
                              po.string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0);
  return folder.string();
}

TEST(CaptionFit, ATranslationTooLongForItsRectangleIsNamed) {
  const TFontSet fonts;
  struct TCase {
    std::string msgid, msgstr;
    std::string rect;  // empty: it fits
  };
  const TCase cases[] = {
      {"Exit", "Ende", ""},
      {"Exit", "Verlassen Sie das Spiel jetzt", "201,470-284,509"},       // shared menu size
      {"On", "Eingeschaltet", "436,259-472,278"},                         // a toggle
      {"AMMO", "MUNITIONSVORRAT", std::to_string(kRightPanelX) + ",0-"},  // the side panel
      {"Minimize key", "Fenster-Minimieren", ""},  // shrinks, still large enough
  };
  char letter = 'a';
  for (const TCase& c : cases) {
    const std::string code = std::string("x") + letter++;
    UseLanguage(code, Catalogue(code, c.msgid, c.msgstr));
    const std::vector<std::string> misfits = CheckCaptionFit(fonts, code);
    UseLanguage("", "");
    if (c.rect.empty()) {
      EXPECT_TRUE(misfits.empty()) << c.msgstr << ": " << (misfits.empty() ? "" : misfits[0]);
      continue;
    }
    ASSERT_FALSE(misfits.empty()) << c.msgstr;  // "On" is in two toggles
    EXPECT_NE(misfits[0].find("language " + code + ": \"" + c.msgstr + "\" (\"" + c.msgid + "\")"),
              std::string::npos)
        << misfits[0];
    EXPECT_NE(misfits[0].find(c.rect), std::string::npos) << misfits[0];
  }
}

}  // namespace
