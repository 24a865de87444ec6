#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Display name of a Windows virtual-key code, as the options screen shows the
// minimize key; no name (std::nullopt) for keys that cannot be chosen.
std::optional<std::string> KeyName(uint16_t code);

// What the key button shows for `code`: its name, or "Bad" for a key that
// cannot be chosen (a hand-edited settings file can hold one).
std::string KeyCaption(uint16_t code);
