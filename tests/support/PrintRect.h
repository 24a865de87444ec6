#pragma once

#include <ostream>

#include "platform/Platform.h"

// Rectangles in test messages as (left, top)-(right, bottom).
inline std::ostream& operator<<(std::ostream& os, const TRect& r) {
  return os << "(" << r.Left << ", " << r.Top << ")-(" << r.Right << ", " << r.Bottom << ")";
}
