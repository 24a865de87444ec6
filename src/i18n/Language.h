#pragma once

#include <string>
#include <vector>

// Which language the game speaks. English is the source text and needs no
// catalogue; every other language is a gettext catalogue
// <locale folder>/<code>/LC_MESSAGES/tidal-lynx.mo.

// The variables gettext reads, in its order of precedence. Empty: not set.
struct TLanguageEnv {
  std::string Language;    // LANGUAGE: a colon-separated list of preferences
  std::string LcAll;       // LC_ALL
  std::string LcMessages;  // LC_MESSAGES
  std::string Lang;        // LANG
  static TLanguageEnv FromProcess();
};

struct TLanguageChoice {
  std::string Code;     // a catalogue's code; empty for English
  std::string Warning;  // one line for stderr (an unknown --language code), or empty
};

// The language of this run. `option` (--language CODE) wins when given; an
// unknown one means English and a warning. Otherwise LANGUAGE's entries in
// order, then the first set of LC_ALL, LC_MESSAGES and LANG, are matched
// against `available` as gettext matches them (de_AT.UTF-8 finds "de_AT",
// then "de"; "C", "POSIX" and "en" are English). LANGUAGE is honoured even
// when no locale is set, so LANGUAGE=de alone is enough.
TLanguageChoice ChooseLanguage(const std::string& option, const TLanguageEnv& env,
                               const std::vector<std::string>& available);

// The codes of the catalogues in `localeFolder`, sorted.
std::vector<std::string> AvailableLanguages(const std::string& localeFolder);

// The folder holding the catalogues beside a data folder: "<data>/locale" in
// the build tree and a portable copy, "<data>/../locale" (share/locale) when
// installed. Empty when neither exists.
std::string LocaleFolderFor(const std::string& dataFolder);

// Makes gettext answer in `code` (empty: English) from `localeFolder`. Only
// the messages category follows the language: numbers, character classes and
// everything written to files stay in the C locale whatever the environment
// says. Call it before any thread starts (it sets LANGUAGE for the process).
void UseLanguage(const std::string& code, const std::string& localeFolder);
