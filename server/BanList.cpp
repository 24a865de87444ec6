#include "BanList.h"

const char* BanKindText(TBanKind kind) {
  switch (kind) {
    case TBanKind::Name:
      return "name";
    case TBanKind::Player:
      return "player";
    case TBanKind::Address:
      break;
  }
  return "address";
}

std::optional<TBanKind> ParseBanKind(const std::string& text) {
  for (const TBanKind kind : {TBanKind::Name, TBanKind::Player, TBanKind::Address}) {
    if (text == BanKindText(kind)) return kind;
  }
  return std::nullopt;
}

std::optional<TBanRule> MakeBanRule(const std::string& kind, const std::string& value,
                                    std::string& error) {
  const auto parsed = ParseBanKind(kind);
  if (!parsed) {
    error = "unknown ban kind \"" + kind + "\"";
    return std::nullopt;
  }
  TBanRule rule{*parsed, value, std::nullopt};
  if (*parsed == TBanKind::Address) {
    rule.Range = TAddressRange::Parse(value, error);
    if (!rule.Range) return std::nullopt;
  } else if (value.empty()) {
    error = std::string("an empty ") + kind;
    return std::nullopt;
  }
  return rule;
}

bool BanMatches(const TBanRule& rule, const std::string& name, const std::string& player,
                const std::string& address) {
  switch (rule.Kind) {
    case TBanKind::Name:
      return name == rule.Value;
    case TBanKind::Player:
      return player == rule.Value;
    case TBanKind::Address:
      break;
  }
  const auto parsed = ParseAddress(address);
  return parsed && rule.Range && rule.Range->Contains(*parsed);
}

int64_t TBanCache::Generation() const {
  std::lock_guard lock(mutex_);
  return generation_;
}

void TBanCache::Replace(int64_t generation, std::vector<TBanRule> rules) {
  std::lock_guard lock(mutex_);
  generation_ = generation;
  rules_ = std::move(rules);
}

bool TBanCache::Refuses(const std::string& name, const std::string& player,
                        const std::string& address) const {
  std::lock_guard lock(mutex_);
  for (const TBanRule& rule : rules_) {
    if (BanMatches(rule, name, player, address)) return true;
  }
  return false;
}
