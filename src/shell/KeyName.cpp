#include "shell/KeyName.h"

#include <array>
#include <utility>

#include "i18n/Gettext.h"

namespace {

constexpr std::array<std::pair<uint16_t, const char*>, 20> kNamedKeys{{
    // TRANSLATORS: Name of a key on the minimize-key button (90 pixels): use the label printed on
    // the keys in your country. "Back" is Backspace.
    {8, NC_("key", "Back")},    {9, NC_("key", "Tab")},     {13, NC_("key", "Enter")},
    {27, NC_("key", "Esc")},    {32, NC_("key", "Space")},  {33, NC_("key", "PgUp")},
    {34, NC_("key", "PgDn")},   {35, NC_("key", "End")},    {36, NC_("key", "Home")},
    {37, NC_("key", "Left")},   {38, NC_("key", "Up")},     {39, NC_("key", "Right")},
    {40, NC_("key", "Down")},   {45, NC_("key", "Ins")},    {46, NC_("key", "Del")},
    {160, NC_("key", "Shift")}, {161, NC_("key", "Shift")}, {162, NC_("key", "Ctrl")},
    {163, NC_("key", "Ctrl")},  {164, NC_("key", "Alt")},
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
  // TRANSLATORS: Shown on the minimize-key button for a key that has no name.
  if (!name) return TranslateIn("key", "Bad");
  return TranslateIn("key", name->c_str());
}
