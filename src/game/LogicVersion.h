#pragma once

#include <cstdint>

// The version of what the game logic does. A replay plays again only under the
// logic version it was recorded with, so this is raised with every change that
// alters the course of a game (a rule, a table, the order of random draws, the
// input the logic reads), and tests/game/golden/replay.txt is regenerated with
// it. The golden replay test knows the golden file's hash for this version.
inline constexpr uint16_t kLogicVersion = 2;
