#include "online/WebLinks.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "files/RegularFile.h"

#ifndef TL_SCORE_HOST
#define TL_SCORE_HOST "localhost:8642"
#endif

namespace {

// An internet shortcut is a few lines; anything far larger is not one.
constexpr size_t kMaxShortcutBytes = 64 * 1024;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         });
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// Only web addresses are handed to the desktop: a shortcut naming a local
// program or file is not opened.
bool IsWebAddress(std::string_view url) {
  if (!StartsWithNoCase(url, "http://") && !StartsWithNoCase(url, "https://")) return false;
  const size_t hostStart = url.find("://") + 3;
  if (hostStart >= url.size()) return false;
  return std::none_of(url.begin(), url.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7F;
  });
}

}  // namespace

std::string ScoreHost() {
  return TL_SCORE_HOST;
}

std::string HomePageUrl() {
  return "http://" + ScoreHost();
}

std::string WorldScoresUrl() {
  return "http://" + ScoreHost() + "/cgi/version.pl?prg=TidalLynx&show&type=0";
}

std::string ExitLinkUrl(std::string_view shortcut) {
  std::string_view rest = shortcut;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    const std::string_view entry = Trim(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    if (!StartsWithNoCase(entry, "URL=")) continue;
    const std::string_view url = Trim(entry.substr(4));
    return IsWebAddress(url) ? std::string(url) : std::string();
  }
  return {};
}

void OpenExitLink(Platform& sys, const std::string& path) {
  // Missing, not a regular file (a FIFO is never waited on) or far too large
  // for a shortcut: nothing to open.
  std::string text;
  std::string error;
  if (!ReadRegularFile(path, kMaxShortcutBytes, text, error)) return;
  const std::string url = ExitLinkUrl(text);
  if (!url.empty()) sys.ShellOpen(url);
}
