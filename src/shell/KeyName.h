#pragma once

#include <cstdint>
#include <string>

// Display name of a Windows virtual-key code, as the options screen shows the
// minimize key. Keys that cannot be chosen are "Bad".
std::string KeyName(uint16_t code);
