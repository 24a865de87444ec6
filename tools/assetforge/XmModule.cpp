#include "XmModule.h"

#include <algorithm>
#include <stdexcept>

namespace {

struct TWriter {
  std::vector<uint8_t> out;
  void U8(uint32_t v) { out.push_back(static_cast<uint8_t>(v)); }
  void U16(uint32_t v) {
    U8(v);
    U8(v >> 8);
  }
  void U32(uint32_t v) {
    U16(v);
    U16(v >> 16);
  }
  void Text(const std::string& s, size_t width) {
    for (size_t i = 0; i < width; ++i) U8(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
  }
  void Zeros(size_t n) { out.insert(out.end(), n, 0); }
  void Patch16(size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
  }
};

}  // namespace

double TXmModule::Seconds() const {
  double rows = 0;
  for (const uint8_t p : order) rows += patterns.at(p).rows;
  return rows * speed * 2.5 / bpm;
}

std::vector<uint8_t> TXmModule::Bytes() const {
  if (order.empty() || order.size() > 256 || patterns.empty() || channels < 1 || channels > 32)
    throw std::invalid_argument("Module layout out of range");
  for (const uint8_t p : order)
    if (p >= patterns.size()) throw std::invalid_argument("Order names a missing pattern");
  for (const TXmPattern& p : patterns)
    if (p.rows < 1 || p.rows > 256 || p.cells.size() != static_cast<size_t>(p.rows * channels))
      throw std::invalid_argument("Pattern size does not match its rows and channels");
  TWriter w;
  w.Text("Extended Module: ", 17);
  w.Text(name, 20);
  w.U8(0x1A);
  w.Text("Tidal Lynx forge", 20);
  w.U16(0x0104);
  w.U32(276);  // header size from here: 20 bytes of fields + 256 order bytes
  w.U16(static_cast<uint32_t>(order.size()));
  w.U16(static_cast<uint32_t>(restart));
  w.U16(static_cast<uint32_t>(channels));
  w.U16(static_cast<uint32_t>(patterns.size()));
  w.U16(static_cast<uint32_t>(instruments.size()));
  w.U16(1);  // linear frequency table
  w.U16(static_cast<uint32_t>(speed));
  w.U16(static_cast<uint32_t>(bpm));
  for (size_t i = 0; i < 256; ++i) w.U8(i < order.size() ? order[i] : 0);

  for (const TXmPattern& p : patterns) {
    w.U32(9);
    w.U8(0);
    w.U16(static_cast<uint32_t>(p.rows));
    const size_t sizeAt = w.out.size();
    w.U16(0);
    const size_t start = w.out.size();
    for (const TXmCell& c : p.cells) {
      // Packed form: a flag byte says which of the five fields follow.
      uint8_t flags = 0x80;
      if (c.note) flags |= 1;
      if (c.instrument) flags |= 2;
      if (c.volume) flags |= 4;
      if (c.effect) flags |= 8;
      if (c.param) flags |= 16;
      w.U8(flags);
      if (c.note) w.U8(c.note);
      if (c.instrument) w.U8(c.instrument);
      if (c.volume) w.U8(c.volume);
      if (c.effect) w.U8(c.effect);
      if (c.param) w.U8(c.param);
    }
    w.Patch16(sizeAt, static_cast<uint32_t>(w.out.size() - start));
  }

  for (const TXmInstrument& ins : instruments) {
    w.U32(263);
    w.Text(ins.name, 22);
    w.U8(0);
    w.U16(1);
    w.U32(40);
    w.Zeros(96);  // every note plays sample 0
    std::array<TXmEnvelopePoint, 12> env{};
    const size_t points = std::min<size_t>(ins.volumeEnvelope.size(), 12);
    std::copy_n(ins.volumeEnvelope.begin(), points, env.begin());
    for (const auto& pt : env) {
      w.U16(pt.tick);
      w.U16(pt.value);
    }
    w.Zeros(48);  // panning envelope
    w.U8(static_cast<uint32_t>(points));
    w.U8(0);
    w.U8(static_cast<uint32_t>(std::max(ins.sustainPoint, 0)));
    w.U8(0);
    w.U8(0);
    w.U8(0);
    w.U8(0);
    w.U8(0);
    uint8_t volType = points > 0 ? 1 : 0;
    if (points > 0 && ins.sustainPoint >= 0) volType |= 2;
    w.U8(volType);
    w.U8(0);
    w.U8(0);  // vibrato: sine
    w.U8(0);
    w.U8(ins.vibratoDepth);
    w.U8(ins.vibratoRate);
    w.U16(ins.fadeout);
    w.Zeros(22);

    const auto bytes = static_cast<uint32_t>(ins.sample.size() * 2);
    w.U32(bytes);
    w.U32(ins.loopStart * 2);
    w.U32(ins.loopLength * 2);
    w.U8(ins.volume);
    w.U8(static_cast<uint8_t>(ins.finetune));
    w.U8((ins.loopLength > 0 ? 1 : 0) | 0x10);
    w.U8(ins.panning);
    w.U8(static_cast<uint8_t>(ins.relativeNote));
    w.U8(0);
    w.Text(ins.name, 22);
    int16_t previous = 0;
    for (const int16_t s : ins.sample) {
      // Sample data is stored as differences of consecutive samples.
      const auto delta =
          static_cast<uint16_t>(static_cast<uint16_t>(s) - static_cast<uint16_t>(previous));
      w.U16(delta);
      previous = s;
    }
  }
  return w.out;
}
