#include "ScoreStore.h"

#include <sys/random.h>

#include <random>
#include <string_view>

#include "DatabaseLocation.h"
#include "PostgresScoreStore.h"
#include "SqliteScoreStore.h"

namespace {

constexpr size_t kChallengeLength = 20;
constexpr std::string_view kChallengeAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

}  // namespace

std::unique_ptr<TScoreStore> TScoreStore::Open(const std::string& database, int connections,
                                               std::string& error) {
  const auto location = ParseDatabaseLocation(database, error);
  if (!location) return nullptr;
  if (location->Kind == TDatabaseLocation::TKind::Postgres) {
    return TPostgresScoreStore::Open(location->Value, connections, error);
  }
  return TSqliteScoreStore::Open(location->Value, error);
}

std::optional<std::string> TScoreStore::IssueChallenge(int64_t now, int64_t lifetimeSeconds) {
  TIssuedChallenge issued = IssueChallenge(std::string(), now, lifetimeSeconds, 0);
  if (issued.Outcome != TIssueOutcome::Stored) return std::nullopt;
  return std::move(issued.Challenge);
}

std::string TScoreStore::NewChallenge() {
  // One system call for all the randomness a challenge needs; a byte past the
  // largest multiple of the alphabet's size is drawn again, so every letter
  // is equally likely.
  constexpr size_t kUsable = 256 / kChallengeAlphabet.size() * kChallengeAlphabet.size();
  std::string p;
  uint8_t bytes[64];
  while (p.size() < kChallengeLength) {
    if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
      // The kernel's pool is always there after boot; this is the fallback.
      std::random_device entropy;
      for (uint8_t& b : bytes) b = static_cast<uint8_t>(entropy());
    }
    for (const uint8_t b : bytes) {
      if (b < kUsable && p.size() < kChallengeLength)
        p += kChallengeAlphabet[b % kChallengeAlphabet.size()];
    }
  }
  return p;
}
