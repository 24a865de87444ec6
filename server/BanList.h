#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ClientAddress.h"

// What a ban matches: the result's name, the game's player name, or the
// client address the result came from (a CIDR range).
enum class TBanKind : uint8_t { Name, Player, Address };

// "name", "player", "address": the words the bans table stores.
const char* BanKindText(TBanKind kind);
std::optional<TBanKind> ParseBanKind(const std::string& text);

struct TBanRule {
  TBanKind Kind = TBanKind::Name;
  std::string Value;
  std::optional<TAddressRange> Range;  // Address bans only
};

// One rule from its stored kind and value; nothing when either is not valid
// (an address ban whose value is not a CIDR range).
std::optional<TBanRule> MakeBanRule(const std::string& kind, const std::string& value,
                                    std::string& error);
bool BanMatches(const TBanRule& rule, const std::string& name, const std::string& player,
                const std::string& address);

// The bans in force as one server process last read them, with the counter
// every ban and unban moves in the database: a submission compares the
// counter it reads with the one here and reloads the rules only when it moved,
// so a ban reaches every process by the next result. Safe from any thread.
class TBanCache {
 public:
  // -1 until the first load.
  int64_t Generation() const;
  void Replace(int64_t generation, std::vector<TBanRule> rules);
  bool Refuses(const std::string& name, const std::string& player,
               const std::string& address) const;

 private:
  mutable std::mutex mutex_;
  int64_t generation_ = -1;
  std::vector<TBanRule> rules_;
};
