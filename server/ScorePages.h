#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ScoreStore.h"

// The server's HTML pages: plain markup that reads without scripts.

// &, <, >, " and ' as entities.
std::string HtmlEscape(std::string_view text);
// "YYYY-MM-DD HH:MM" (UTC) of a Unix time.
std::string FormatUtc(int64_t unixSeconds);
// What a page function answers; the transport sends it as it is.
struct TWebAnswer {
  int Status = 200;
  std::string ContentType;
  std::string Body;
  std::vector<std::pair<std::string, std::string>> Headers;  // extra response headers
};

inline constexpr int kWorldPageRows = 50;

// "all" (or absent) and "week"; nothing for anything else.
std::optional<TScorePeriod> ParsePeriod(std::optional<std::string_view> text);
// A positive whole number of at most `maxDigits` digits; nothing otherwise.
std::optional<int64_t> ParseCount(std::string_view text, size_t maxDigits);
// The world table, one page of kWorldPageRows rows: rank, name, player, score
// and date of each, best first, with links to the other pages and to the
// other period. `page` and `period` are the query's raw values, if given.
TWebAnswer WorldPage(TScoreStore& store, std::optional<std::string_view> page,
                     std::optional<std::string_view> period, int64_t now);
// The game's home page: what it is, the controls, a link to the world table.
std::string RenderHomePage();
// A short page for addresses the server does not know.
std::string RenderNotFoundPage();
