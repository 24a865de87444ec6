#include "replay/InputColumns.h"

#include <array>
#include <limits>

namespace {

constexpr int kColumns = 8;

uint32_t ZigZag(int8_t v) {
  return (static_cast<uint32_t>(v) << 1) ^ static_cast<uint32_t>(v < 0 ? -1 : 0);
}
int64_t UnZigZag(uint32_t v) {
  return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1u);
}

uint32_t Field(const TFrameInput& in, int column) {
  switch (column) {
    case 0:
      return in.Ms;
    case 1:
      return in.Keys;
    case 2:
      return ZigZag(in.MouseX);
    case 3:
      return ZigZag(in.MouseY);
    case 4:
      return in.MouseButtons;
    case 5:
      return in.Pad;
    case 6:
      return in.WeaponChanges;
    default:
      return in.Quit ? 1u : 0u;
  }
}

// Largest value each column may hold (after zigzag for the mouse).
constexpr std::array<uint32_t, kColumns> kColumnMax = {
    std::numeric_limits<uint32_t>::max(), 63, 2, 2, 255, 31, 255, 1};

bool SetField(TFrameInput& in, int column, uint32_t v) {
  if (v > kColumnMax[static_cast<size_t>(column)]) return false;
  switch (column) {
    case 0:
      in.Ms = v;
      break;
    case 1:
      in.Keys = static_cast<uint8_t>(v);
      break;
    case 2:
      in.MouseX = static_cast<int8_t>(UnZigZag(v));
      break;
    case 3:
      in.MouseY = static_cast<int8_t>(UnZigZag(v));
      break;
    case 4:
      in.MouseButtons = static_cast<uint8_t>(v);
      break;
    case 5:
      in.Pad = static_cast<uint8_t>(v);
      break;
    case 6:
      in.WeaponChanges = static_cast<uint8_t>(v);
      break;
    default:
      in.Quit = v != 0;
      break;
  }
  return true;
}

void PutVarint(std::vector<uint8_t>& out, uint32_t v) {
  while (v >= 0x80) {
    out.push_back(static_cast<uint8_t>(v | 0x80));
    v >>= 7;
  }
  out.push_back(static_cast<uint8_t>(v));
}

bool GetVarint(const uint8_t* data, size_t size, size_t& at, uint32_t& v) {
  v = 0;
  for (int shift = 0; shift < 35; shift += 7) {
    if (at >= size) return false;
    const uint8_t b = data[at++];
    if (shift == 28 && (b & 0xF0) != 0) return false;  // beyond 32 bits
    v |= static_cast<uint32_t>(b & 0x7F) << shift;
    if ((b & 0x80) == 0) return true;
  }
  return false;
}

}  // namespace

std::vector<uint8_t> EncodeInputColumns(const std::vector<TFrameInput>& inputs) {
  std::vector<uint8_t> out;
  for (int column = 0; column < kColumns; ++column) {
    size_t i = 0;
    while (i < inputs.size()) {
      const uint32_t value = Field(inputs[i], column);
      size_t run = 1;
      while (i + run < inputs.size() && Field(inputs[i + run], column) == value) ++run;
      PutVarint(out, static_cast<uint32_t>(run));
      PutVarint(out, value);
      i += run;
    }
  }
  return out;
}

bool DecodeInputColumns(const uint8_t* data, size_t size, uint32_t frames,
                        std::vector<TFrameInput>& out, std::string& error) {
  out.assign(frames, TFrameInput{});
  size_t at = 0;
  for (int column = 0; column < kColumns; ++column) {
    uint32_t filled = 0;
    while (filled < frames) {
      uint32_t run = 0;
      uint32_t value = 0;
      if (!GetVarint(data, size, at, run) || !GetVarint(data, size, at, value)) {
        error = "the inputs end in the middle of a run";
        return false;
      }
      if (run == 0 || run > frames - filled) {
        error = "an input run reaches past the last frame";
        return false;
      }
      for (uint32_t k = 0; k < run; ++k) {
        if (!SetField(out[filled + k], column, value)) {
          error = "an input value is out of its range";
          return false;
        }
      }
      filled += run;
    }
  }
  if (at != size) {
    error = "bytes are left over after the inputs";
    return false;
  }
  return true;
}
