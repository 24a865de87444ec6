// The score server's check of a decoded result record, and what it stores.
// The input is the record; "{p}" in it stands for a challenge the store has
// just handed out, so the fuzzer reaches the storing path too. Properties: a
// refused record says why and stores nothing; an accepted one obeys the
// field rules, reads the same when rebuilt, is stored exactly once (only with
// the challenge handed out) and its second submission stores nothing.

#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "ScoreStore.h"
#include "protocol/ResultCodec.h"
#include "protocol/SubmittedResult.h"

namespace {

constexpr int64_t kNow = 1'700'000'000;
constexpr int64_t kLifetime = 600;

TScoreStore& Store() {
  static const fuzz::TScratchFile database("scores.db");
  static const auto store = [] {
    std::string error;
    auto opened = TScoreStore::Open(database.Path(), error);
    if (!opened) {
      std::fprintf(stderr, "cannot open the score database: %s\n", error.c_str());
      std::abort();
    }
    return opened;
  }();
  return *store;
}

bool Printable(const std::string& text) {
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u >= 0x7F) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TScoreStore& store = Store();
  const auto challenge = store.IssueChallenge(kNow, kLifetime);
  TL_FUZZ_CHECK(challenge.has_value(), "the store hands out challenges");
  std::string record(reinterpret_cast<const char*>(data), size);
  for (size_t at = record.find("{p}"); at != std::string::npos; at = record.find("{p}", at)) {
    record.replace(at, 3, *challenge);
    at += challenge->size();
  }

  const int64_t before = store.ResultCount();
  std::string reason;
  const auto result = ParseSubmittedResult(record, reason);
  if (!result) {
    TL_FUZZ_CHECK(!reason.empty(), "a refusal says why");
    TL_FUZZ_CHECK(store.ResultCount() == before, "a refused record stores nothing");
    return 0;
  }
  TL_FUZZ_CHECK(result->Name.size() <= kMaxNameLength && Printable(result->Name),
                "the name obeys the rules");
  TL_FUZZ_CHECK(result->PlayerName.size() <= kMaxNameLength && Printable(result->PlayerName),
                "the player name obeys the rules");
  TL_FUZZ_CHECK(result->Score >= 0 && result->Score <= kMaxScore, "the score is in range");
  TL_FUZZ_CHECK(result->Challenge.size() <= kMaxChallengeLength, "p is not too long");

  std::string again;
  const auto rebuilt = ParseSubmittedResult(
      BuildResultRecord(result->Name, result->Score, result->Challenge, result->PlayerName), again);
  TL_FUZZ_CHECK(rebuilt && rebuilt->Name == result->Name && rebuilt->Score == result->Score &&
                    rebuilt->Challenge == result->Challenge &&
                    rebuilt->PlayerName == result->PlayerName,
                "an accepted record reads the same when the game builds it again");

  const TSubmitOutcome outcome = store.Submit(*result, kNow, kLifetime);
  TL_FUZZ_CHECK(outcome == TSubmitOutcome::Stored || outcome == TSubmitOutcome::BadChallenge,
                "the database takes any accepted record");
  if (outcome == TSubmitOutcome::Stored) {
    TL_FUZZ_CHECK(result->Challenge == *challenge, "only a handed-out p stores a result");
    TL_FUZZ_CHECK(store.ResultCount() == before + 1, "a result is stored once");
    TL_FUZZ_CHECK(store.Submit(*result, kNow, kLifetime) == TSubmitOutcome::BadChallenge,
                  "a used p is refused");
  }
  TL_FUZZ_CHECK(store.ResultCount() == before + (outcome == TSubmitOutcome::Stored ? 1 : 0),
                "a refused submission stores nothing");
  return 0;
}
