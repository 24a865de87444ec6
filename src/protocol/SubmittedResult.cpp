#include "protocol/SubmittedResult.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

#include "protocol/ResultCodec.h"

namespace {

constexpr std::array<std::string_view, 7> kFieldOrder = {"type", "name", "score", "key",
                                                         "p",    "add",  "z"};

struct TField {
  std::string_view Key;
  std::string Value;
};

// The field a piece of the record starts, if any.
std::optional<std::string_view> FieldKey(std::string_view piece) {
  for (const std::string_view key : kFieldOrder) {
    if (piece.size() > key.size() && piece.substr(0, key.size()) == key &&
        piece[key.size()] == '=') {
      return key;
    }
  }
  return std::nullopt;
}

bool IsFreeText(std::string_view key) {
  return key == "name" || key == "add";
}

bool IsPrintableName(std::string_view text) {
  return text.size() <= kMaxNameLength && std::all_of(text.begin(), text.end(), [](char c) {
           const auto u = static_cast<unsigned char>(c);
           return u >= 0x20 && u < 0x7F;
         });
}

bool IsAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::optional<int32_t> ParseScore(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  if (text.size() > 1 && text[0] == '0') return std::nullopt;
  int32_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  if (value > kMaxScore) return std::nullopt;
  return value;
}

std::optional<std::vector<TField>> SplitFields(std::string_view record, std::string& reason) {
  std::vector<TField> fields;
  while (true) {
    const size_t bar = record.find('|');
    const std::string_view piece = record.substr(0, bar);
    if (const auto key = FieldKey(piece)) {
      fields.push_back({*key, std::string(piece.substr(key->size() + 1))});
    } else if (!fields.empty() && IsFreeText(fields.back().Key)) {
      fields.back().Value += '|';
      fields.back().Value += piece;
    } else {
      reason = "unexpected text in the record";
      return std::nullopt;
    }
    if (bar == std::string_view::npos) break;
    record.remove_prefix(bar + 1);
  }
  return fields;
}

}  // namespace

std::optional<TSubmittedResult> ParseSubmittedResult(std::string_view record, std::string& reason) {
  if (record.empty() || record.size() % 5 != 0) {
    reason = "the record is not padded to a multiple of 5";
    return std::nullopt;
  }
  const auto fields = SplitFields(record, reason);
  if (!fields) return std::nullopt;
  if (fields->size() != kFieldOrder.size() ||
      !std::equal(fields->begin(), fields->end(), kFieldOrder.begin(),
                  [](const TField& f, std::string_view key) { return f.Key == key; })) {
    reason = "the record's fields are missing, repeated or out of order";
    return std::nullopt;
  }
  const auto& f = *fields;
  if (f[0].Value != "0") {
    reason = "unknown result type";
    return std::nullopt;
  }
  if (!IsPrintableName(f[1].Value) || !IsPrintableName(f[5].Value)) {
    reason = "a name is longer than 10 characters or not printable";
    return std::nullopt;
  }
  const auto score = ParseScore(f[2].Value);
  if (!score) {
    reason = "the score is not a number in range";
    return std::nullopt;
  }
  if (f[3].Value != std::string_view(&kResultKeyLetter, 1)) {
    reason = "wrong key";
    return std::nullopt;
  }
  const std::string& p = f[4].Value;
  if (p.empty() || p.size() > kMaxChallengeLength || !std::all_of(p.begin(), p.end(), IsAlnum)) {
    reason = "malformed challenge";
    return std::nullopt;
  }
  const std::string& z = f[6].Value;
  if (z.size() >= 5 || !std::all_of(z.begin(), z.end(), [](char c) { return c == '0'; })) {
    reason = "malformed padding";
    return std::nullopt;
  }
  return TSubmittedResult{f[1].Value, *score, p, f[5].Value};
}
