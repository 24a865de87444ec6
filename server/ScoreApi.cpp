#include "ScoreApi.h"

#include <ctime>

namespace {

std::string IsoUtc(int64_t unixSeconds) {
  const std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm tm{};
  if (!gmtime_r(&t, &tm)) return "?";
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return buffer;
}

TWebAnswer Json(int status, std::string body) {
  // Fan sites may read it from their own pages' scripts.
  return {status, "application/json", std::move(body), {{"Access-Control-Allow-Origin", "*"}}};
}

TWebAnswer JsonError(int status, std::string_view message) {
  return Json(status, "{\"error\":" + JsonString(message) + "}\n");
}

}  // namespace

std::string JsonString(std::string_view text) {
  constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || u == 0x7F) {
      out += "\\u00";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
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
            IsoUtc(row.Submitted) + "\"}";
  }
  body += "]}\n";
  return Json(200, std::move(body));
}
