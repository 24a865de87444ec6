#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// An in-memory FastTracker 2 extended module and its writer.
struct TXmCell {
  uint8_t note = 0;        // 1..96 (1 = C-0), 97 = key off, 0 = none
  uint8_t instrument = 0;  // 1-based, 0 = none
  uint8_t volume = 0;      // volume column: 0x10..0x50 sets 0..64, 0 = none
  uint8_t effect = 0;
  uint8_t param = 0;
};

struct TXmPattern {
  int rows = 64;
  std::vector<TXmCell> cells;  // rows x channels, row-major
};

struct TXmEnvelopePoint {
  uint16_t tick;
  uint16_t value;  // 0..64
};

struct TXmInstrument {
  std::string name;
  std::vector<int16_t> sample;  // 16-bit signed mono
  uint32_t loopStart = 0;       // in samples
  uint32_t loopLength = 0;      // 0 = no loop
  uint8_t volume = 64;
  int8_t finetune = 0;
  int8_t relativeNote = 0;
  uint8_t panning = 128;
  std::vector<TXmEnvelopePoint> volumeEnvelope;  // empty = none
  int sustainPoint = -1;
  uint16_t fadeout = 0;
  uint8_t vibratoDepth = 0;
  uint8_t vibratoRate = 0;
};

struct TXmModule {
  std::string name;
  int channels = 8;
  int speed = 6;  // ticks per row
  int bpm = 125;
  int restart = 0;
  std::vector<uint8_t> order;
  std::vector<TXmPattern> patterns;
  std::vector<TXmInstrument> instruments;

  TXmCell& At(int pattern, int row, int channel) {
    return patterns[static_cast<size_t>(pattern)]
        .cells[static_cast<size_t>(row * channels + channel)];
  }
  // Seconds one pass through the order takes (no tempo effects are used).
  double Seconds() const;
  // The file image, version 1.04, linear frequency table.
  std::vector<uint8_t> Bytes() const;
};
