#pragma once

#include <string>

// The game's texts through gettext, in the language UseLanguage() chose.
// Source strings are English UTF-8; an untranslated text comes back as is.

inline constexpr const char* kTextDomain = "tidal-lynx";

// The text in the player's language.
const char* Translate(const char* text) __attribute__((format_arg(1)));
// As Translate, for a text whose meaning depends on `context` (msgctxt).
const char* TranslateIn(const char* context, const char* text) __attribute__((format_arg(2)));
// printf-style formatting of a (translated) format string; positional
// arguments (%1$s) let a translation reorder them.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// `_("text")` translates; `N_("text")` marks a text in a table for the
// catalogue and translates nothing (the table's reader calls Translate);
// `NC_("context", "text")` does the same for a text read with TranslateIn.
// scripts/update-po.sh extracts the catalogue's template by these names.
#define _(text) Translate(text)
#define N_(text) text
#define NC_(context, text) text
