#include "protocol/ResultCodec.h"

#include <array>

namespace {

constexpr std::array<int8_t, 256> MakeReverseAlphabet() {
  std::array<int8_t, 256> table{};
  table.fill(-1);
  for (size_t i = 0; i < kResultAlphabet.size(); ++i) {
    table[static_cast<uint8_t>(kResultAlphabet[i])] = static_cast<int8_t>(i);
  }
  return table;
}

constexpr std::array<int8_t, 256> kReverseAlphabet = MakeReverseAlphabet();

}  // namespace

std::string ExtractChallenge(std::string_view answer) {
  // Five cuts at the first "|"; a cut that finds none leaves an empty field.
  std::string_view field;
  for (int cut = 0; cut < 5; ++cut) {
    const size_t bar = answer.find('|');
    if (bar == std::string_view::npos) {
      field = {};
    } else {
      field = answer.substr(0, bar);
      answer.remove_prefix(bar + 1);
    }
  }
  return std::string(field);
}

std::string BuildResultRecord(std::string_view name, int32_t score, std::string_view p,
                              std::string_view playerName) {
  std::string record = "type=0";
  record += "|name=";
  record += name;
  record += "|score=";
  record += std::to_string(score);
  record += "|key=";
  record += kResultKeyLetter;
  record += "|p=";
  record += p;
  record += "|add=";
  record += playerName;
  record += "|z=";
  while (record.size() % 5 != 0) record += '0';
  return record;
}

std::string EncodeResult(std::string_view record) {
  const size_t bits = record.size() * 8;
  const size_t groups = (bits + 4) / 5;
  // The leading zero bits that make the count a multiple of 5.
  const size_t pad = groups * 5 - bits;
  std::string out;
  out.reserve(groups);
  uint32_t acc = 0;
  size_t accBits = pad;
  for (const char c : record) {
    acc = (acc << 8) | static_cast<uint8_t>(c);
    accBits += 8;
    while (accBits >= 5) {
      accBits -= 5;
      out += kResultAlphabet[(acc >> accBits) & 31u];
    }
    acc &= (1u << accBits) - 1u;
  }
  return out;
}

std::optional<std::string> DecodeResult(std::string_view encoded) {
  const size_t bits = encoded.size() * 5;
  const size_t pad = bits % 8;
  // EncodeResult never adds 5 or more zero bits.
  if (pad >= 5) return std::nullopt;
  std::string out;
  out.reserve(bits / 8);
  uint32_t acc = 0;
  size_t accBits = 0;
  size_t skip = pad;
  for (const char c : encoded) {
    const int8_t value = kReverseAlphabet[static_cast<uint8_t>(c)];
    if (value < 0) return std::nullopt;
    acc = (acc << 5) | static_cast<uint32_t>(value);
    accBits += 5;
    if (skip > 0) {
      // The prefix bits must be zero, or the text was not made by EncodeResult.
      if ((acc >> (accBits - skip)) != 0) return std::nullopt;
      accBits -= skip;
      acc &= (1u << accBits) - 1u;
      skip = 0;
    }
    if (accBits >= 8) {
      accBits -= 8;
      out += static_cast<char>((acc >> accBits) & 0xFFu);
      acc &= (1u << accBits) - 1u;
    }
  }
  return out;
}
