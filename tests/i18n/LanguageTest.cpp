// The game in the player's language: the catalogues are complete and
// checked, the game picks its language as gettext does (or from
// --language), and only the messages follow it.

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "i18n/Gettext.h"
#include "i18n/Language.h"
#include "support/TestLocales.h"

namespace {

const std::string kLocaleFolder = std::string(TL_GAME_DIR) + "/locale";

// Standard output and error of a shell command, with its exit status.
struct TRun {
  std::string Out;
  int Status = -1;
};
TRun RunShell(const std::string& command) {
  TRun run;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.Out.append(buffer, n);
  run.Status = ::pclose(pipe);
  return run;
}

std::vector<std::string> Linguas() {
  std::ifstream in(std::string(TL_SOURCE_DIR) + "/po/LINGUAS");
  std::vector<std::string> codes;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] != '#') codes.push_back(line);
  }
  return codes;
}

std::string FirstLine(const std::string& text) {
  return text.substr(0, text.find('\n'));
}

// What the game's first --help line says in `code`, from the built catalogue.
std::string UsageIn(const std::string& code) {
  UseLanguage(code, kLocaleFolder);
  const std::string line = Format(_("usage: %s [OPTION]... [REPLAY.tlr]"), "tidal-lynx");
  UseLanguage("", kLocaleFolder);
  return line;
}

TEST(Language, EveryCatalogueIsCheckedCompleteAndBuilt) {
  const std::vector<std::string> codes = Linguas();
  ASSERT_GE(codes.size(), 5u);
  const std::string po = std::string(TL_SOURCE_DIR) + "/po/";
  for (const std::string& code : codes) {
    // --check: formats, header and plural forms; the statistics must name
    // neither fuzzy nor untranslated entries.
    const TRun check = RunShell("msgfmt --check --statistics -o /dev/null " + po + code + ".po");
    EXPECT_EQ(check.Status, 0) << code << ": " << check.Out;
    EXPECT_EQ(check.Out.find("fuzzy"), std::string::npos) << code << ": " << check.Out;
    EXPECT_EQ(check.Out.find("untranslated"), std::string::npos) << code << ": " << check.Out;
    // Every text of the template is in the catalogue.
    const TRun compare = RunShell("msgcmp " + po + code + ".po " + po + "tidal-lynx.pot");
    EXPECT_EQ(compare.Status, 0) << code << ": " << compare.Out;
  }
  std::vector<std::string> built = AvailableLanguages(kLocaleFolder);
  for (const std::string& code : codes) {
    EXPECT_NE(std::find(built.begin(), built.end(), code), built.end()) << code << " not built";
  }
}

// The committed template is what scripts/update-po.sh extracts from the code
// now, so a text the code marks but the catalogues lack fails here. The
// creation date and the file:line references move with every edit and are
// left out of the comparison.
TEST(Language, TheTemplateIsWhatTheCodeMarks) {
  const std::string fresh = std::filesystem::absolute("extracted.pot").string();
  const std::string source = TL_SOURCE_DIR;
  const TRun extract = RunShell(source + "/scripts/update-po.sh --pot " + fresh);
  ASSERT_EQ(extract.Status, 0) << extract.Out;
  const std::string strip = "grep -v -e '^#:' -e '^\"POT-Creation-Date:' ";
  const TRun diff = RunShell(strip + source + "/po/tidal-lynx.pot >committed.cmp && " + strip +
                             fresh + " >extracted.cmp && diff -u committed.cmp extracted.cmp");
  EXPECT_EQ(diff.Status, 0) << "po/tidal-lynx.pot is not what the code marks; run "
                               "scripts/update-po.sh and translate what it adds:\n"
                            << diff.Out;
}

// The game as started from a desktop: its language from the environment as
// gettext reads it, or from --language.
TEST(Language, TheGameSpeaksTheLanguageOfItsEnvironmentOrOption) {
  const std::string game = std::string(TL_GAME_DIR) + "/tidal-lynx";
  const std::string english = "usage: tidal-lynx [OPTION]... [REPLAY.tlr]";
  struct TCase {
    std::string env;   // variables for the game, all others of the locale unset
    std::string args;  // after the program's name
    std::string language;
    bool warns;
  };
  std::vector<TCase> cases = {
      {"", "--help", "", false},
      {"LANG=C", "--help", "", false},
      {"LANG=de_DE.UTF-8", "--help", "de", false},
      {"LANG=en_GB.UTF-8 LC_MESSAGES=ru_RU.UTF-8", "--help", "ru", false},
      {"LC_MESSAGES=ru_RU.UTF-8 LC_ALL=pl_PL.UTF-8", "--help", "pl", false},
      {"LANGUAGE=it:es LANG=de_DE.UTF-8", "--help", "es", false},  // LANGUAGE first, in order
      {"LANGUAGE=it LANG=de_DE.UTF-8", "--help", "", false},  // none of its: English, as gettext
      {"LANGUAGE=fr_CA", "--help", "fr", false},
      {"LANGUAGE=de", "--language fr --help", "fr", false},
      {"LANGUAGE=de", "--language en --help", "", false},
      {"LANGUAGE=de", "--language xx --help", "", true},
  };
  for (const std::string& code : Linguas())
    cases.push_back({"LANGUAGE=" + code, "--help", code, false});
  for (const TCase& c : cases) {
    const TRun run = RunShell("env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG " + c.env + " " +
                              game + " " + c.args);
    const std::string label = c.env + " " + c.args;
    EXPECT_EQ(run.Status, 0) << label;
    std::string out = run.Out;
    if (c.warns) {
      EXPECT_EQ(FirstLine(out), "tidal-lynx: unknown language 'xx'; the game is shown in English");
      out = out.substr(out.find('\n') + 1);
    }
    const std::string want = c.language.empty() ? english : UsageIn(c.language);
    EXPECT_EQ(FirstLine(out), want) << label;
    if (!c.language.empty()) {
      EXPECT_NE(want, english) << label;
    }
  }
}

TEST(Language, OnlyTheMessagesFollowTheLanguage) {
  const std::string failed = PrepareTestLocales({"de_DE.UTF-8"});
  ASSERT_EQ(failed, "") << "install the locales package (scripts/install-deps.sh --tests)";
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  UseLanguage("de", kLocaleFolder);
  const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
  const std::string ctype = std::setlocale(LC_CTYPE, nullptr);
  char number[16];
  std::snprintf(number, sizeof number, "%.1f", 2.5);
  const std::string german = _("New Game");
  UseLanguage("", kLocaleFolder);
  const std::string english = _("New Game");
  unsetenv("LC_ALL");
  EXPECT_EQ(numeric, "C");
  EXPECT_EQ(ctype, "C");
  EXPECT_STREQ(number, "2.5");
  EXPECT_EQ(german, "Neues Spiel");
  EXPECT_EQ(english, "New Game");
}

}  // namespace
