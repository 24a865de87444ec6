#include "online/ResultSubmission.h"

#include "game/GameStates.h"
#include "online/ResultCodec.h"
#include "online/WebLinks.h"

THttpOptions SubmissionHttpOptions(const TSubmitOptions& options) {
  THttpOptions http;
  http.ConnectTimeoutMs = options.ConnectTimeoutMs;
  http.TotalTimeoutMs = options.TotalTimeoutMs;
  http.MaxBodyBytes = options.MaxAnswerBytes;
  http.Headers = {"Accept: text/html, */*", "Content-Type: text/html",
                  "User-Agent: Mozilla/3.0 (compatible; Indy Library)"};
  return http;
}

uint32_t SubmitResult(Platform& sys, const std::string& name, int32_t score,
                      const std::string& playerName) {
  return SubmitResult(sys, name, score, playerName, TSubmitOptions{});
}

uint32_t SubmitResult(Platform& sys, const std::string& name, int32_t score,
                      const std::string& playerName, const TSubmitOptions& options) {
  const std::string base = "http://" + (options.Host.empty() ? ScoreHost() : options.Host);
  const THttpOptions http = SubmissionHttpOptions(options);

  const THttpResult first = sys.HttpGet(base + "/cgi/version.pl?version&prg=TidalLynx", http);
  if (!first.Ok) return gsConnectFailed;

  const std::string record =
      BuildResultRecord(name, score, ExtractChallenge(first.Body), playerName);
  // The server's verdict on the result is not shown to the player.
  sys.HttpGet(base + "/cgi/version.pl?hs&prg=TidalLynx&inf=" + EncodeResult(record), http);
  return gsHighScores;
}
