#include "ScoreApi.h"

#include "TextFormat.h"

namespace {

TWebAnswer Json(int status, std::string body) {
  // Fan sites may read it from their own pages' scripts.
  return {status, "application/json", std::move(body), {{"Access-Control-Allow-Origin", "*"}}};
}

TWebAnswer JsonError(int status, std::string_view message) {
  return Json(status, "{\"error\":" + JsonString(message) + "}\n");
}

std::string ReplayLinkJson(int64_t id) {
  return id > 0 ? "\"/api/replays/" + std::to_string(id) + ".tlr\"" : std::string("null");
}

}  // namespace

std::string JsonString(std::string_view text) {
  return QuoteWithHexCodes(text, "\\u00",
                           [](unsigned char byte) { return byte < 0x20 || byte == 0x7F; });
}

TWebAnswer ScoresJson(TScoreStore& store, std::optional<std::string_view> limitText,
                      std::optional<std::string_view> periodText, int64_t now) {
  const auto period = ParsePeriod(periodText);
  if (!period) return JsonError(400, "period is all or week");
  const auto limit =
      limitText ? ParseCount(*limitText, 3) : std::optional<int64_t>(kApiDefaultLimit);
  if (!limit || *limit > kApiMaxLimit) return JsonError(400, "limit is a number from 1 to 100");
  const TScoreSlice slice = store.Top(*period, now, 0, static_cast<int>(*limit));
  if (!slice.Available) return JsonError(503, "the score database is not available");
  std::string body = "{\"period\":";
  body += *period == TScorePeriod::Week ? "\"week\"" : "\"all\"";
  body += ",\"total\":" + std::to_string(slice.Total) + ",\"scores\":[";
  for (size_t i = 0; i < slice.Rows.size(); ++i) {
    const TScoreRow& row = slice.Rows[i];
    if (i > 0) body += ',';
    body += "{\"rank\":" + std::to_string(row.Rank) + ",\"name\":" + JsonString(row.Name) +
            ",\"player\":" + JsonString(row.PlayerName) +
            ",\"score\":" + std::to_string(row.Score) + ",\"submitted\":\"" +
            FormatUtc(row.Submitted, kIsoUtc) + "\",\"replay\":" + ReplayLinkJson(row.ReplayId) +
            "}";
  }
  body += "],\"unranked\":[";
  const auto unsettled = store.Unsettled(now - kUnrankedSeconds, kApiMaxLimit);
  for (size_t i = 0; i < unsettled.size(); ++i) {
    const TUnsettledRow& row = unsettled[i];
    if (i > 0) body += ',';
    body += "{\"name\":" + JsonString(row.Name) + ",\"player\":" + JsonString(row.PlayerName) +
            ",\"score\":" + std::to_string(row.Score) + ",\"submitted\":\"" +
            FormatUtc(row.Submitted, kIsoUtc) + "\",\"status\":" + JsonString(row.Status) +
            ",\"reason\":" + JsonString(row.Reason) +
            ",\"replay\":" + ReplayLinkJson(row.ReplayId) + "}";
  }
  body += "]}\n";
  return Json(200, std::move(body));
}
