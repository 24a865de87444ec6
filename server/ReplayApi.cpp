#include "ReplayApi.h"

#include <strings.h>

#include <algorithm>

#include "ScoreApi.h"
#include "ScoreService.h"
#include "TextFormat.h"

namespace {

constexpr std::string_view kCollection = "/api/replays";

TWebAnswer Json(int status, std::string body) {
  return {status, "application/json", std::move(body), {{"Access-Control-Allow-Origin", "*"}}};
}

TWebAnswer JsonError(int status, std::string_view message) {
  return Json(status, "{\"error\":" + JsonString(message) + "}\n");
}

// The single value of `key`; "" when it is missing or repeated.
std::string Single(const TScoreRequest& request, std::string_view key) {
  std::string found;
  int count = 0;
  for (const auto& [name, value] : request.Query) {
    if (name == key) {
      ++count;
      found = value.value_or("");
    }
  }
  return count == 1 ? found : std::string();
}

// The media type without parameters, compared case-insensitively.
bool IsReplayType(std::string_view contentType) {
  const std::string_view type = contentType.substr(0, contentType.find(';'));
  const auto end = type.find_last_not_of(" \t");
  const std::string_view trimmed = type.substr(0, end == std::string_view::npos ? 0 : end + 1);
  return trimmed.size() == std::string_view(kReplayContentType).size() &&
         strncasecmp(trimmed.data(), kReplayContentType, trimmed.size()) == 0;
}

TWebAnswer Upload(TScoreStore& store, const TScoreRequest& request, int64_t now,
                  const std::function<void()>& uploaded) {
  if (!IsReplayType(request.ContentType)) {
    return JsonError(415, std::string("the body must be ") + kReplayContentType);
  }
  if (request.BodyTooLarge || request.Body.size() > kMaxReplayUpload) {
    return JsonError(413, "a replay is at most 64 KiB");
  }
  if (request.Body.empty()) return JsonError(400, "the replay is empty");
  const std::string p = Single(request, "p");
  if (p.empty() || p.size() > kMaxChallengeLength) {
    return JsonError(400, "one p value expected: the challenge of the accepted result");
  }
  const std::vector<uint8_t> data(request.Body.begin(), request.Body.end());
  const TReplayUpload upload = store.AddReplay(p, data, now);
  switch (upload.Outcome) {
    case TReplayUploadOutcome::Stored:
      if (uploaded) uploaded();
      return Json(202, "{\"id\":" + std::to_string(upload.Id) + ",\"status\":\"pending\"}\n");
    case TReplayUploadOutcome::UnknownResult:
      return JsonError(404, "no accepted result has this p");
    case TReplayUploadOutcome::AlreadyUploaded:
      return JsonError(409, "this result already has its replay");
    case TReplayUploadOutcome::Unavailable:
      break;
  }
  return JsonError(503, "the score database is not available");
}

TWebAnswer Show(TScoreStore& store, std::string_view rest) {
  const bool file = rest.ends_with(".tlr");
  if (file) rest.remove_suffix(4);
  const auto id = ParseCount(rest, 18);
  if (!id) return JsonError(404, "no such replay");
  const TReplayInfo info = store.Replay(*id, file);
  if (!info.Available) return JsonError(503, "the score database is not available");
  if (!info.Found) return JsonError(404, "no such replay");
  if (file) {
    return {200,
            kReplayContentType,
            std::string(info.Data.begin(), info.Data.end()),
            {{"Content-Disposition",
              "attachment; filename=\"tidal-lynx-" + std::to_string(info.Id) + ".tlr\""},
             {"Access-Control-Allow-Origin", "*"}}};
  }
  return Json(200, "{\"id\":" + std::to_string(info.Id) + ",\"status\":" + JsonString(info.Status) +
                       ",\"reason\":" + JsonString(info.Reason) + ",\"name\":" +
                       JsonString(info.Name) + ",\"score\":" + std::to_string(info.Score) +
                       ",\"uploaded\":\"" + FormatUtc(info.Uploaded, kIsoUtc) +
                       "\",\"file\":\"/api/replays/" + std::to_string(info.Id) + ".tlr\"}\n");
}

}  // namespace

bool IsReplayPath(const std::string& path) {
  return path == kCollection || path.starts_with(std::string(kCollection) + "/");
}

TWebAnswer HandleReplayRequest(TScoreStore& store, const TScoreRequest& request, int64_t now,
                               const std::function<void()>& uploaded) {
  if (request.TargetLength > kMaxTargetLength) return JsonError(414, "address too long");
  if (request.HeaderCount > kMaxHeaderCount) return JsonError(431, "too many header lines");
  if (request.Path == kCollection) {
    if (request.Method != "POST") return JsonError(405, "replays are sent with POST");
    return Upload(store, request, now, uploaded);
  }
  if (request.Method != "GET" && request.Method != "HEAD") {
    return JsonError(405, "only GET and HEAD are served here");
  }
  if (request.HasRange) return JsonError(416, "ranges are not served");
  if (request.HasBody) return JsonError(413, "a request body is not accepted here");
  return Show(store, std::string_view(request.Path).substr(kCollection.size() + 1));
}
