#pragma once

#include <array>
#include <cstdint>

#include "platform/Platform.h"

enum class TPadDirection : uint8_t { None, Up, Down, Left, Right };

// Turns the pad's D-pad and left stick into menu moves that behave like held
// arrow keys: one move when a direction is pushed, then, while it is held,
// another after a delay and then at a steady rate. The stick counts beyond the
// dead zone, along its stronger axis; the D-pad wins over the stick.
class TPadNavigator {
 public:
  static constexpr uint32_t kRepeatDelayMs = 400;
  static constexpr uint32_t kRepeatIntervalMs = 100;

  // Feeds one pad event; returns the direction it newly pushes, if any.
  TPadDirection Feed(const TPlatformEvent& event, uint32_t now);
  // The held direction when its next repeat is due at `now`, else None.
  TPadDirection Repeat(uint32_t now);
  // Forgets everything held (the pad went away).
  void Reset() { *this = TPadNavigator{}; }

 private:
  TPadDirection Held() const;

  std::array<bool, 4> dpad_{};  // up, down, left, right
  int16_t stickX_ = 0;
  int16_t stickY_ = 0;
  TPadDirection held_ = TPadDirection::None;
  uint32_t nextRepeat_ = 0;
};
