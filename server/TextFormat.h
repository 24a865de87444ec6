#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

// Small text formats the server's pages, answers and log share.

// `unixSeconds` as UTC through strftime's `format`; "?" when out of range.
inline constexpr const char* kIsoUtc = "%Y-%m-%dT%H:%M:%SZ";
inline std::string FormatUtc(int64_t unixSeconds, const char* format) {
  const std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm tm{};
  if (!gmtime_r(&t, &tm)) return "?";
  char buffer[32];
  std::strftime(buffer, sizeof buffer, format, &tm);
  return buffer;
}

// `text` in double quotes, with '"' and '\' escaped by a backslash and every
// byte for which `needsCode` holds written as `codePrefix` and two hex digits.
// The request log ("\x1b") and the JSON answers ("\u001b") differ only there.
inline std::string QuoteWithHexCodes(std::string_view text, std::string_view codePrefix,
                                     bool (*needsCode)(unsigned char)) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (needsCode(byte)) {
      out += codePrefix;
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}
