#include "ScorePages.h"

#include <ctime>

namespace {

constexpr std::string_view kWorldPath = "/cgi/version.pl?prg=TidalLynx&amp;show&amp;type=0";

constexpr std::string_view kStyle =
    "<style>"
    "body{font-family:Tahoma,Verdana,sans-serif;background:#0b2a45;color:#e8f0f8;"
    "margin:2em auto;max-width:52em;padding:0 1em}"
    "h1{color:#ff9900}a{color:#7cc4ff}"
    "table{border-collapse:collapse;width:100%}"
    "th,td{padding:.3em .6em;border-bottom:1px solid #24507a;text-align:left}"
    "th{color:#ff9900}td.n{text-align:right}"
    "</style>";

std::string PageStart(std::string_view title) {
  std::string html = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>";
  html += title;
  html += "</title>";
  html += kStyle;
  html += "</head><body>\n";
  return html;
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string FormatUtc(int64_t unixSeconds) {
  const std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm tm{};
  if (!gmtime_r(&t, &tm)) return "?";
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M", &tm);
  return buffer;
}

std::string RenderWorldPage(const std::vector<TScoreRow>& rows) {
  std::string html = PageStart("Tidal Lynx - world high scores");
  html += "<h1>Tidal Lynx world high scores</h1>\n";
  if (rows.empty()) {
    html += "<p>No results yet. Play a game and send yours!</p>\n";
  } else {
    html +=
        "<table>\n<tr><th class=\"n\">Rank</th><th>Name</th><th>Player</th><th "
        "class=\"n\">Score</th>"
        "<th>Date (UTC)</th></tr>\n";
    int rank = 0;
    for (const TScoreRow& row : rows) {
      html += "<tr><td class=\"n\">" + std::to_string(++rank) + "</td><td>" + HtmlEscape(row.Name) +
              "</td><td>" + HtmlEscape(row.PlayerName) + "</td><td class=\"n\">" +
              std::to_string(row.Score) + "</td><td>" + FormatUtc(row.Submitted) + "</td></tr>\n";
    }
    html += "</table>\n";
  }
  html += "<p><a href=\"/\">Tidal Lynx home</a></p>\n</body></html>\n";
  return html;
}

std::string RenderHomePage() {
  std::string html = PageStart("Tidal Lynx");
  html +=
      "<h1>Tidal Lynx v.2.0</h1>\n"
      "<p>An arcade naval shooter. Your armed ship moves along the bottom of a scrolling "
      "sea, turns its gun and fires at cutters, destroyers, cruisers, battleships, bombers, "
      "helicopters and island guns coming down the screen, while a supply plane drops "
      "weapons, ammunition, first aid, coins, an ice freeze and a mega-bomb. Three kills "
      "per level number complete a level; three lost ships end the game.</p>\n"
      "<h2>Controls</h2>\n<ul>\n"
      "<li>Arrow keys or mouse: move the ship and turn the gun</li>\n"
      "<li>Ctrl or left mouse button: fire</li>\n"
      "<li>Space or mouse wheel: change the gun</li>\n"
      "<li>P: pause or resume; Esc: quit the game to the main menu</li>\n"
      "<li>Alt+Enter: switch between window and full screen</li>\n"
      "</ul>\n<h2>World high scores</h2>\n"
      "<p>A good result can be sent from the game after the name entry. See the <a href=\"";
  html += kWorldPath;
  html += "\">world high-score table</a>.</p>\n</body></html>\n";
  return html;
}

std::string RenderNotFoundPage() {
  std::string html = PageStart("Not found");
  html +=
      "<h1>Not found</h1>\n<p>There is nothing at this address. Try the "
      "<a href=\"/\">home page</a>.</p>\n</body></html>\n";
  return html;
}
