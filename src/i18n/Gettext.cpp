#include "i18n/Gettext.h"

#include <libintl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

const char* Translate(const char* text) {
  // gettext's answer for "" is the catalogue's header.
  return *text == '\0' ? text : dgettext(kTextDomain, text);
}

const char* TranslateIn(const char* context, const char* text) {
  if (*text == '\0') return text;
  // A msgctxt entry is stored under "context\004text"; gettext hands the key
  // back unchanged when the catalogue lacks it.
  std::string key = context;
  key += '\004';
  key += text;
  const char* found = dgettext(kTextDomain, key.c_str());
  return found == key.c_str() || std::strcmp(found, key.c_str()) == 0 ? text : found;
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (size > 0) {
    out.resize(static_cast<size_t>(size) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(size));
  }
  va_end(args);
  return out;
}
