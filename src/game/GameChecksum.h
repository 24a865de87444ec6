#pragma once

#include <cstdint>

class TGame;

// A hash of everything the game's behaviour depends on (counters, the ship and
// its guns, every enemy, shot, island, explosion, bonus and floating score, in
// slot order, and the sea's scroll). Two sessions with equal checksums play on
// alike; replays store it to find where a game played again parts from the
// recorded one.
uint64_t GameChecksum(const TGame& game);

// The 64-bit checksum folded to the 32 bits a replay stores.
inline uint32_t StateChecksum(const TGame& game) {
  const uint64_t sum = GameChecksum(game);
  return static_cast<uint32_t>(sum ^ (sum >> 32));
}

// A 3-bit check of one frame's state, small enough to store for every frame.
// It adds a hash of the state without the player's ship position, gun angles
// and weapon to a sum of those (angles in hundredths of a radian): a frame
// whose only difference is what the player's input did to the ship (a step,
// a turn, a weapon change) always changes the tag; any other difference
// changes it seven times in eight.
uint8_t FrameTag(const TGame& game);
inline constexpr int kFrameTagBits = 3;
