#include "online/ReplayUpload.h"

#include <cstdio>
#include <utility>

#include "i18n/Gettext.h"

namespace {

// The challenge as a query value: everything but unreserved characters
// percent-encoded, so whatever the server handed out comes back unchanged.
std::string QueryValue(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                       (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                       byte == '~';
    if (plain) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

}  // namespace

bool UploadReplay(Platform& sys, const THttpOptions& http, const TAcceptedResult& result,
                  const std::string& replay, std::string& error) {
  if (replay.size() > kMaxReplayUploadBytes) {
    error = "The replay (" + std::to_string(replay.size()) + " bytes) is larger than the " +
            std::to_string(kMaxReplayUploadBytes) + " bytes the server takes.";
    return false;
  }
  THttpOptions options = http;
  options.Headers = {"Accept: application/json", "User-Agent: TidalLynx"};
  const std::string url = result.BaseUrl + "/api/replays?p=" + QueryValue(result.Challenge);
  const THttpResult answer = sys.HttpPost(url, kReplayContentType, replay, options);
  if (!answer.Ok) {
    error = answer.Error.empty() ? "The upload failed." : answer.Error;
    return false;
  }
  if (answer.Status != 202) {
    error = "The server answered the upload with status " + std::to_string(answer.Status) +
            " instead of 202.";
    return false;
  }
  return true;
}

TResultSubmission::TStep ReplayUploadStep(std::string replay) {
  return [replay = std::move(replay)](Platform& sys, const THttpOptions& http,
                                      const TAcceptedResult& result) {
    std::string error;
    if (UploadReplay(sys, http, result, replay, error)) return true;
    // TRANSLATORS: Said on standard error; %s is why.
    const std::string told = Format(_("the replay was not sent: %s"), error.c_str());
    std::fprintf(stderr, "tidal-lynx: %s\n", told.c_str());
    return replay.size() > kMaxReplayUploadBytes;
  };
}
