#include "ScorePages.h"

#include <algorithm>

#include "TextFormat.h"

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

std::optional<TScorePeriod> ParsePeriod(std::optional<std::string_view> text) {
  if (!text || *text == "all") return TScorePeriod::AllTime;
  if (*text == "week") return TScorePeriod::Week;
  return std::nullopt;
}

std::optional<int64_t> ParseCount(std::string_view text, size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < 1) return std::nullopt;
  return value;
}

namespace {

constexpr int64_t kUnrankedDaySeconds = 24 * 3600;

std::string WorldLink(TScorePeriod period, int64_t page) {
  std::string link(kWorldPath);
  if (period == TScorePeriod::Week) link += "&amp;period=week";
  if (page > 1) link += "&amp;page=" + std::to_string(page);
  return link;
}

TWebAnswer Html(int status, std::string body) {
  return {status, "text/html; charset=utf-8", std::move(body), {}};
}

std::string Notice(std::string_view title, std::string_view text) {
  std::string html = PageStart(title);
  html += "<h1>";
  html += title;
  html += "</h1>\n<p>";
  html += text;
  html += "</p>\n<p><a href=\"";
  html += kWorldPath;
  html += "\">World high scores</a> - <a href=\"/\">Tidal Lynx home</a></p>\n</body></html>\n";
  return html;
}

std::string ReplayLink(int64_t id) {
  if (id <= 0) return "-";
  const std::string path = "/api/replays/" + std::to_string(id);
  return "<a href=\"" + path + ".tlr\">watch</a> (<a href=\"" + path + "\">status</a>)";
}

// The last day's results that are not ranked, with why.
std::string UnrankedTable(TScoreStore& store, int64_t now) {
  const auto rows = store.Unsettled(now - kUnrankedDaySeconds, kWorldPageRows);
  if (rows.empty()) return {};
  std::string html =
      "<h2>Not ranked (last 24 hours)</h2>\n<table>\n<tr><th>Name</th><th>Player</th><th "
      "class=\"n\">Score</th><th>Date (UTC)</th><th>Status</th><th>Reason</th><th>Replay</th>"
      "</tr>\n";
  for (const TUnsettledRow& row : rows) {
    html += "<tr><td>" + HtmlEscape(row.Name) + "</td><td>" + HtmlEscape(row.PlayerName) +
            "</td><td class=\"n\">" + std::to_string(row.Score) + "</td><td>" +
            FormatUtc(row.Submitted, "%Y-%m-%d %H:%M") + "</td><td>" + HtmlEscape(row.Status) +
            "</td><td>" + HtmlEscape(row.Reason) + "</td><td>" + ReplayLink(row.ReplayId) +
            "</td></tr>\n";
  }
  return html + "</table>\n";
}

}  // namespace

TWebAnswer WorldPage(TScoreStore& store, std::optional<std::string_view> pageText,
                     std::optional<std::string_view> periodText, int64_t now) {
  const auto period = ParsePeriod(periodText);
  const auto page = pageText ? ParseCount(*pageText, 6) : std::optional<int64_t>(1);
  if (!period || !page) {
    return Html(400, Notice("Bad request",
                            "There is no such table: the period is all or week, "
                            "the page a number from 1."));
  }
  const TScoreSlice slice = store.Top(*period, now, (*page - 1) * kWorldPageRows, kWorldPageRows);
  if (!slice.Available) {
    return Html(503, Notice("Not available",
                            "The world table cannot be read right now. Please try again soon."));
  }
  const int64_t pages = std::max<int64_t>(1, (slice.Total + kWorldPageRows - 1) / kWorldPageRows);
  if (*page > pages) {
    return Html(404, Notice("Not found", "The table has " + std::to_string(pages) +
                                             (pages == 1 ? " page." : " pages.")));
  }
  const bool week = *period == TScorePeriod::Week;
  std::string html = PageStart("Tidal Lynx - world high scores");
  html += "<h1>Tidal Lynx world high scores</h1>\n<p>";
  html += week ? "<a href=\"" + WorldLink(TScorePeriod::AllTime, 1) + "\">All time</a>"
               : std::string("<strong>All time</strong>");
  html += " | ";
  html += week ? std::string("<strong>Last 7 days</strong>")
               : "<a href=\"" + WorldLink(TScorePeriod::Week, 1) + "\">Last 7 days</a>";
  html += "</p>\n";
  if (slice.Rows.empty()) {
    html += week ? "<p>No results in the last 7 days. Play a game and send yours!</p>\n"
                 : "<p>No results yet. Play a game and send yours!</p>\n";
  } else {
    html +=
        "<table>\n<tr><th class=\"n\">Rank</th><th>Name</th><th>Player</th><th "
        "class=\"n\">Score</th><th>Date (UTC)</th><th>Replay</th></tr>\n";
    for (const TScoreRow& row : slice.Rows) {
      html += "<tr><td class=\"n\">" + std::to_string(row.Rank) + "</td><td>" +
              HtmlEscape(row.Name) + "</td><td>" + HtmlEscape(row.PlayerName) +
              "</td><td class=\"n\">" + std::to_string(row.Score) + "</td><td>" +
              FormatUtc(row.Submitted, "%Y-%m-%d %H:%M") + "</td><td>" + ReplayLink(row.ReplayId) +
              "</td></tr>\n";
    }
    html += "</table>\n";
  }
  html += store.RankAll() ? "<p>Every result sent is ranked.</p>\n"
                          : "<p>Only results whose replay the server played again to the same "
                            "score are ranked.</p>\n";
  html += UnrankedTable(store, now);
  if (pages > 1) {
    html += "<p>";
    if (*page > 1) html += "<a href=\"" + WorldLink(*period, *page - 1) + "\">Previous</a> ";
    html += "Page " + std::to_string(*page) + " of " + std::to_string(pages);
    if (*page < pages) html += " <a href=\"" + WorldLink(*period, *page + 1) + "\">Next</a>";
    html += "</p>\n";
  }
  html += "<p><a href=\"/\">Tidal Lynx home</a></p>\n</body></html>\n";
  return Html(200, std::move(html));
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
