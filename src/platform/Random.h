#pragma once

#include <cstdint>

// The game's one random number generator: uniform Random(n) in 0..n-1.
// Seeded from the clock at start-up; tests seed it with a fixed value so a
// whole game is reproducible. Draw each number in its own statement: C++
// leaves the order of calls inside one expression unspecified.
class TRandom {
 public:
  explicit TRandom(uint64_t seed = 0x9E3779B97F4A7C15ull) { Seed(seed); }

  void Seed(uint64_t seed) {
    state_ = 0;
    inc_ = (seed << 1u) | 1u;
    Next();
    state_ += seed;
    Next();
  }

  // 0 <= result < n; n == 0 gives 0.
  uint32_t Random(uint32_t n) {
    if (n == 0) return 0;
    return static_cast<uint32_t>((static_cast<uint64_t>(Next()) * n) >> 32);
  }

  // Uniform in [0, 1).
  double RandomFloat() { return Next() * (1.0 / 4294967296.0); }

 private:
  // PCG-XSH-RR 32: small, fast and statistically sound.
  uint32_t Next() {
    const uint64_t old = state_;
    state_ = old * 6364136223846793005ull + inc_;
    const auto xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rot = static_cast<uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
  }

  uint64_t state_ = 0;
  uint64_t inc_ = 1;
};
