#include "shell/KeyName.h"

#include <array>
#include <utility>

#include "i18n/Gettext.h"

namespace {

constexpr std::array<std::pair<uint16_t, const char*>, 20> kNamedKeys{{
    {8, "Back"},    {9, "Tab"},     {13, "Enter"}, {27, "Esc"},   {32, "Space"},
    {33, "PgUp"},   {34, "PgDn"},   {35, "End"},   {36, "Home"},  {37, "Left"},
    {38, "Up"},     {39, "Right"},  {40, "Down"},  {45, "Ins"},   {46, "Del"},
    {160, "Shift"}, {161, "Shift"}, {162, "Ctrl"}, {163, "Ctrl"}, {164, "Alt"},
}};

// Codes 49..91 name themselves: the digits 1-9, the punctuation of 58..64,
// the letters and "[". The 0 key (48) is deliberately outside the range.
constexpr uint16_t kFirstCharCode = 49;
constexpr uint16_t kLastCharCode = 91;
constexpr uint16_t kF1 = 112;
constexpr uint16_t kF15 = 126;

}  // namespace

std::optional<std::string> KeyName(uint16_t code) {
  for (const auto& [key, name] : kNamedKeys) {
    if (key == code) return name;
  }
  if (code >= kFirstCharCode && code <= kLastCharCode) {
    return std::string(1, static_cast<char>(code));
  }
  if (code >= kF1 && code <= kF15) {
    std::string name = "F";
    name += std::to_string(code - kF1 + 1);
    return name;
  }
  return std::nullopt;
}

std::string KeyCaption(uint16_t code) {
  // The button shows the names printed on the player's keyboard.
  const std::optional<std::string> name = KeyName(code);
  if (!name) return TranslateIn("key", "Bad");
  return TranslateIn("key", name->c_str());
}
