#include "DatabaseLocation.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using TSpan = std::pair<size_t, size_t>;  // start, length

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

bool IsSpace(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool IsKeywordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Where a URI keeps passwords: the user part (as libpq finds it: up to the
// first '@' before any '/') and password= query parameters.
std::vector<TSpan> UriPasswords(std::string_view text) {
  std::vector<TSpan> spans;
  const size_t scheme = text.find("://");
  if (scheme == std::string_view::npos) return spans;
  const size_t start = scheme + 3;
  size_t end = start;
  while (end < text.size() && text[end] != '@' && text[end] != '/') ++end;
  if (end < text.size() && text[end] == '@') {
    const size_t colon = text.substr(start, end - start).find(':');
    if (colon != std::string_view::npos)
      spans.emplace_back(start + colon + 1, end - start - colon - 1);
  }
  const size_t question = text.find('?', start);
  for (size_t at = question; at != std::string_view::npos && at < text.size();) {
    const size_t from = at + 1;
    const size_t amp = text.find('&', from);
    const size_t to = amp == std::string_view::npos ? text.size() : amp;
    const size_t equals = text.substr(from, to - from).find('=');
    if (equals != std::string_view::npos &&
        PercentDecoded(text.substr(from, equals)) == "password") {
      spans.emplace_back(from + equals + 1, to - from - equals - 1);
    }
    at = amp;
  }
  return spans;
}

// Values of password keywords in libpq's key=value form (bare, or quoted
// with backslash escapes; an unterminated quote runs to the end).
std::vector<TSpan> KeywordPasswords(std::string_view text) {
  std::vector<TSpan> spans;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsSpace(text[i])) ++i;
    const size_t keyStart = i;
    while (i < text.size() && !IsSpace(text[i]) && text[i] != '=') ++i;
    const std::string_view key = text.substr(keyStart, i - keyStart);
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (i >= text.size() || text[i] != '=') {
      ++i;
      continue;
    }
    ++i;
    while (i < text.size() && IsSpace(text[i])) ++i;
    const size_t valueStart = i;
    if (i < text.size() && text[i] == '\'') {
      ++i;
      while (i < text.size() && text[i] != '\'') i += text[i] == '\\' ? 2 : 1;
      i = std::min(i + 1, text.size());
    } else {
      while (i < text.size() && !IsSpace(text[i])) i += text[i] == '\\' ? 2 : 1;
      i = std::min(i, text.size());
    }
    if (key == "password" && i > valueStart) spans.emplace_back(valueStart, i - valueStart);
  }
  return spans;
}

std::vector<TSpan> PasswordSpans(std::string_view text) {
  return text.find("://") != std::string_view::npos ? UriPasswords(text) : KeywordPasswords(text);
}

// libpq's complaint about a string it cannot read, without the parts it
// quotes from that string (which may hold a mistyped password), except the
// string's own keywords.
std::string Unquoted(std::string_view message, std::string_view text) {
  std::string out;
  size_t at = 0;
  while (at < message.size()) {
    const size_t open = message.find('"', at);
    const size_t close = open == std::string_view::npos ? open : message.find('"', open + 1);
    if (close == std::string_view::npos) {
      out += message.substr(at);
      break;
    }
    const std::string_view quoted = message.substr(open + 1, close - open - 1);
    const bool keyword = !quoted.empty() &&
                         std::all_of(quoted.begin(), quoted.end(), IsKeywordChar) &&
                         text.find(std::string(quoted) + "=") != std::string_view::npos;
    out += message.substr(at, open - at);
    out += keyword ? message.substr(open, close - open + 1) : std::string_view("\"...\"");
    at = close + 1;
  }
  return out;
}

// "key=..." at the start: libpq's key=value form.
bool LooksLikeKeywords(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  const size_t start = i;
  while (i < text.size() && IsKeywordChar(text[i])) ++i;
  if (i == start) return false;
  while (i < text.size() && IsSpace(text[i])) ++i;
  return i < text.size() && text[i] == '=';
}

}  // namespace

std::string RedactPasswords(const std::string& text) {
  std::string out = text;
  auto spans = PasswordSpans(text);
  // From the back, so earlier positions stay valid.
  std::sort(spans.begin(), spans.end(), [](const TSpan& a, const TSpan& b) { return a > b; });
  for (const auto& [start, length] : spans) out.replace(start, length, "***");
  return out;
}

std::optional<TDatabaseLocation> ParseDatabaseLocation(const std::string& text,
                                                       std::string& error) {
  if (Lower(text.substr(0, 7)) == "sqlite:") {
    if (text.size() == 7) {
      error = "no database file given";
      return std::nullopt;
    }
    return TDatabaseLocation{TDatabaseLocation::TKind::Sqlite, text.substr(7)};
  }
  const size_t scheme = text.find("://");
  const bool uri = scheme != std::string::npos;
  if (!uri && !LooksLikeKeywords(text)) {
    if (text.empty()) {
      error = "no database file given";
      return std::nullopt;
    }
    return TDatabaseLocation{TDatabaseLocation::TKind::Sqlite, text};
  }
  std::string conninfo = text;
  if (uri) {
    const std::string name = Lower(text.substr(0, scheme));
    if (name != "postgresql" && name != "postgres") {
      error = "unknown database scheme \"" + name.substr(0, 20) +
              "\" (expected a file, sqlite:FILE or a postgresql:// URI)";
      return std::nullopt;
    }
    // libpq knows the scheme only in lower case.
    conninfo = name + text.substr(scheme);
  }
  const auto spans = PasswordSpans(text);
  if (std::any_of(spans.begin(), spans.end(), [](const TSpan& s) { return s.second > 0; })) {
    error =
        "the PostgreSQL connection string carries a password; put it in PGPASSFILE or "
        "PGPASSWORD instead";
    return std::nullopt;
  }
  char* parseError = nullptr;
  PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &parseError);
  if (!options) {
    std::string reason = parseError ? parseError : "out of memory";
    PQfreemem(parseError);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
    error = "bad PostgreSQL connection string: " + Unquoted(reason, text) +
            " (for a file of that name: sqlite:FILE)";
    return std::nullopt;
  }
  bool password = false;
  for (const PQconninfoOption* o = options; o->keyword; ++o) {
    if (std::strcmp(o->keyword, "password") == 0 && o->val && *o->val) password = true;
  }
  PQconninfoFree(options);
  if (password) {
    error =
        "the PostgreSQL connection string carries a password; put it in PGPASSFILE or "
        "PGPASSWORD instead";
    return std::nullopt;
  }
  return TDatabaseLocation{TDatabaseLocation::TKind::Postgres, conninfo};
}
