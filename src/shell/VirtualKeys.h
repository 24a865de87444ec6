#pragma once

#include <cstdint>

// Windows virtual-key codes the screens react to.
inline constexpr uint16_t kVkBack = 8;
inline constexpr uint16_t kVkReturn = 13;
inline constexpr uint16_t kVkEscape = 27;
inline constexpr uint16_t kVkSpace = 32;
inline constexpr uint16_t kVkPageUp = 33;
inline constexpr uint16_t kVkPageDown = 34;
inline constexpr uint16_t kVkLeft = 37;
inline constexpr uint16_t kVkUp = 38;
inline constexpr uint16_t kVkRight = 39;
inline constexpr uint16_t kVkDown = 40;
inline constexpr uint16_t kVkA = 65;
inline constexpr uint16_t kVkN = 78;
inline constexpr uint16_t kVkP = 80;
inline constexpr uint16_t kVkW = 87;
inline constexpr uint16_t kVkY = 89;
inline constexpr uint16_t kVkZ = 90;
