// The first answer's field cutting: p is taken from whatever the server
// answered and goes into the result record. Properties: p is a piece of the
// answer without "|", empty when the answer has fewer than five "|"; the
// record built with it survives the codec, and when the server's check
// accepts it, the server reads the same p, name and score.

#include <algorithm>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "protocol/ResultCodec.h"
#include "protocol/SubmittedResult.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view answer(reinterpret_cast<const char*>(data), size);
  const std::string p = ExtractChallenge(answer);
  TL_FUZZ_CHECK(p.find('|') == std::string::npos, "p holds no field separator");
  TL_FUZZ_CHECK(answer.find(p) != std::string_view::npos, "p is a piece of the answer");
  if (std::count(answer.begin(), answer.end(), '|') < 5) {
    TL_FUZZ_CHECK(p.empty(), "no fifth field, no p");
  }
  const std::string record = BuildResultRecord("Pilot", 4321, p, "Ann");
  TL_FUZZ_CHECK(DecodeResult(EncodeResult(record)) == record, "the record survives the codec");
  std::string reason;
  if (const auto result = ParseSubmittedResult(record, reason)) {
    TL_FUZZ_CHECK(result->Challenge == p && result->Name == "Pilot" && result->Score == 4321 &&
                      result->PlayerName == "Ann",
                  "the server reads what the game sent");
  } else {
    TL_FUZZ_CHECK(!reason.empty(), "a refusal says why");
  }
  return 0;
}
