#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "wave/Wave.h"

namespace audiotest {

// A PCM wave with the given sample bytes.
inline TWave MakeWave(uint32_t rate, uint16_t channels, uint16_t bits,
                      const std::vector<uint8_t>& bytes) {
  TWave wave;
  wave.SetPcmFormat(TPcmFormat::Pcm(rate, channels, bits));
  wave.SetSize(static_cast<int32_t>(bytes.size()));
  if (!bytes.empty()) std::memcpy(wave.Data(), bytes.data(), bytes.size());
  return wave;
}

// 8-bit mono wave holding one value throughout (128 is silence).
inline TWave ConstantWave(uint32_t rate, size_t frames, uint8_t value) {
  return MakeWave(rate, 1, 8, std::vector<uint8_t>(frames, value));
}

inline int16_t Left(const std::vector<int16_t>& s, size_t frame) {
  return s[frame * 2];
}
inline int16_t Right(const std::vector<int16_t>& s, size_t frame) {
  return s[frame * 2 + 1];
}

inline bool Silent(const std::vector<int16_t>& s) {
  for (int16_t v : s) {
    if (v != 0) return false;
  }
  return true;
}

// Frames with any non-zero channel.
inline size_t SoundingFrames(const std::vector<int16_t>& s) {
  size_t n = 0;
  for (size_t i = 0; i + 1 < s.size(); i += 2) n += (s[i] != 0 || s[i + 1] != 0) ? 1 : 0;
  return n;
}

inline double Db(double ratio) {
  return 20.0 * std::log10(ratio);
}

// A small XM module: one pattern of 16 rows, two channels, one looped
// square-wave instrument with notes on both channels.
inline std::vector<uint8_t> TinyXm() {
  std::vector<uint8_t> b;
  auto put = [&b](const void* p, size_t n) {
    const auto* c = static_cast<const uint8_t*>(p);
    b.insert(b.end(), c, c + n);
  };
  auto u8 = [&b](uint8_t v) { b.push_back(v); };
  auto u16 = [&b](uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
  };
  auto u32 = [&b](uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  auto text = [&b](const char* s, size_t n) {
    std::string t(s);
    t.resize(n, ' ');
    b.insert(b.end(), t.begin(), t.end());
  };
  text("Extended Module: ", 17);
  text("tiny", 20);
  u8(0x1A);
  text("test", 20);
  u16(0x0104);
  u32(276);  // header size
  u16(1);    // song length
  u16(0);    // restart position
  u16(2);    // channels
  u16(1);    // patterns
  u16(1);    // instruments
  u16(1);    // linear frequencies
  u16(6);    // tempo
  u16(125);  // BPM
  std::vector<uint8_t> order(256, 0);
  put(order.data(), order.size());

  // Pattern: a note on every fourth row of both channels.
  std::vector<uint8_t> rows;
  for (int row = 0; row < 16; ++row) {
    for (int ch = 0; ch < 2; ++ch) {
      if (row % 4 == 0) {
        rows.insert(rows.end(), {static_cast<uint8_t>(0x80 | 0x01 | 0x02),
                                 static_cast<uint8_t>(49 + ch * 7 + row / 4), 1});
      } else {
        rows.push_back(0x80);
      }
    }
  }
  u32(9);
  u8(0);
  u16(16);
  u16(static_cast<uint16_t>(rows.size()));
  put(rows.data(), rows.size());

  // Instrument with one sample.
  u32(263);
  text("square", 22);
  u8(0);
  u16(1);
  u32(40);
  std::vector<uint8_t> zeros(96 + 48 + 48, 0);
  put(zeros.data(), zeros.size());
  for (int i = 0; i < 2 + 3 + 3 + 2 + 4; ++i) u8(0);
  u16(0);  // fadeout
  for (int i = 0; i < 22; ++i) u8(0);

  constexpr uint32_t kLength = 32;
  u32(kLength);
  u32(0);
  u32(kLength);
  u8(64);  // volume
  u8(0);   // finetune
  u8(1);   // forward loop, 8-bit
  u8(128);
  u8(0);
  u8(0);
  text("sq", 22);
  int8_t previous = 0;
  for (uint32_t i = 0; i < kLength; ++i) {
    const int8_t value = i < kLength / 2 ? 100 : -100;
    u8(static_cast<uint8_t>(static_cast<int8_t>(value - previous)));
    previous = value;
  }
  return b;
}

}  // namespace audiotest
