#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ScorePages.h"
#include "ScoreStore.h"

// The JSON answers for fan sites.

inline constexpr int kApiDefaultLimit = 10;
inline constexpr int kApiMaxLimit = 100;
// Results not ranked (no replay, pending, rejected) are listed apart for this long.
inline constexpr int64_t kUnrankedSeconds = 24 * 3600;

// A JSON string literal: quotes, backslashes and control characters escaped.
std::string JsonString(std::string_view text);
// GET /api/scores?limit=&period=: the best `limit` results (1..100, default 10)
// of `period` ("all", the default, or "week"), as
// {"period":"all","total":N,"scores":[{"rank":1,"name":"..","player":"..",
//  "score":900,"submitted":"2027-01-15T08:00:00Z","replay":"/api/replays/7.tlr"},...],
//  "unranked":[{"name":..,"player":..,"score":..,"submitted":..,"status":"pending",
//  "reason":"","replay":..},...]}: the last day's results that are not ranked.
TWebAnswer ScoresJson(TScoreStore& store, std::optional<std::string_view> limit,
                      std::optional<std::string_view> period, int64_t now);
