#include "RequestLog.h"

#include "TextFormat.h"

namespace {

constexpr size_t kMaxLoggedTarget = 200;

bool PlainLogCharacter(unsigned char c) {
  if (c >= 'a' && c <= 'z') return true;
  if (c >= 'A' && c <= 'Z') return true;
  if (c >= '0' && c <= '9') return true;
  return std::string_view("/?&=%._-~+:,;@!*()[]'").find(static_cast<char>(c)) !=
         std::string_view::npos;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A query key as the server reads it: %XX decoded, '+' a space.
std::string DecodedKey(std::string_view key) {
  std::string out;
  for (size_t i = 0; i < key.size(); ++i) {
    if (key[i] == '%' && i + 2 < key.size() && HexDigit(key[i + 1]) >= 0 &&
        HexDigit(key[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(key[i + 1]) * 16 + HexDigit(key[i + 2]));
      i += 2;
    } else {
      out += key[i] == '+' ? ' ' : key[i];
    }
  }
  return out;
}

}  // namespace

std::string LogValue(std::string_view text) {
  bool plain = !text.empty();
  for (const char c : text) plain = plain && PlainLogCharacter(static_cast<unsigned char>(c));
  if (plain) return std::string(text);
  return QuoteWithHexCodes(text, "\\x",
                           [](unsigned char byte) { return byte < 0x20 || byte >= 0x7F; });
}

std::string LoggedTarget(std::string_view rawTarget) {
  std::string out;
  const size_t question = rawTarget.find('?');
  out = rawTarget.substr(0, question);
  if (question != std::string_view::npos) {
    out += '?';
    std::string_view query = rawTarget.substr(question + 1);
    bool first = true;
    while (true) {
      const size_t amp = query.find('&');
      const std::string_view part = query.substr(0, amp);
      const size_t equals = part.find('=');
      if (!first) out += '&';
      first = false;
      if (equals != std::string_view::npos && DecodedKey(part.substr(0, equals)) == "inf") {
        out += part.substr(0, equals + 1);
      } else {
        out += part;
      }
      if (amp == std::string_view::npos) break;
      query.remove_prefix(amp + 1);
    }
  }
  if (out.size() > kMaxLoggedTarget) {
    const size_t full = out.size();
    out.resize(kMaxLoggedTarget);
    out += "...(" + std::to_string(full) + ")";
  }
  return out;
}

std::string LogTimestamp(int64_t unixSeconds) {
  return FormatUtc(unixSeconds, kIsoUtc);
}
