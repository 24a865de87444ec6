#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ScoreStore.h"

// The server's HTML pages: plain markup that reads without scripts.

// &, <, >, " and ' as entities.
std::string HtmlEscape(std::string_view text);
// "YYYY-MM-DD HH:MM" (UTC) of a Unix time.
std::string FormatUtc(int64_t unixSeconds);
// The world table: rank, name, player, score and date of each row, best first.
std::string RenderWorldPage(const std::vector<TScoreRow>& rows);
// The game's home page: what it is, the controls, a link to the world table.
std::string RenderHomePage();
// A short page for addresses the server does not know.
std::string RenderNotFoundPage();
