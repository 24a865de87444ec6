#include "ScoreStore.h"

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
  std::random_device entropy;
  std::uniform_int_distribution<size_t> pick(0, kChallengeAlphabet.size() - 1);
  std::string p;
  for (size_t i = 0; i < kChallengeLength; ++i) {
    const size_t index = pick(entropy);
    p += kChallengeAlphabet[index];
  }
  return p;
}
