#include <gtest/gtest.h>
#include <xmp.h>

#include <cstring>
#include <memory>

#include "XmModule.h"

namespace {

struct ContextDeleter {
  void operator()(xmp_context c) const {
    xmp_release_module(c);
    xmp_free_context(c);
  }
};
using TContext = std::unique_ptr<char, ContextDeleter>;

// Loads the module's bytes into libxmp; fails the test when it refuses them.
TContext Load(const std::vector<uint8_t>& bytes, xmp_module_info& info) {
  xmp_context ctx = xmp_create_context();
  const int rc = xmp_load_module_from_memory(ctx, bytes.data(), static_cast<long>(bytes.size()));
  if (rc != 0) {
    xmp_free_context(ctx);
    ADD_FAILURE() << "libxmp refused the module: " << rc;
    return nullptr;
  }
  xmp_get_module_info(ctx, &info);
  return TContext(ctx);
}

TXmModule SmallModule() {
  TXmModule m;
  m.name = "probe";
  m.channels = 3;
  m.speed = 5;
  m.bpm = 130;
  m.order = {1, 0, 1};
  m.restart = 1;
  for (int p = 0; p < 2; ++p) {
    TXmPattern pat;
    pat.rows = p == 0 ? 4 : 8;
    pat.cells.assign(static_cast<size_t>(pat.rows * m.channels), TXmCell{});
    m.patterns.push_back(pat);
  }
  TXmInstrument ins;
  ins.name = "probe";
  for (int i = 0; i < 20; ++i) ins.sample.push_back(static_cast<int16_t>(i * 3000 - 30000));
  ins.loopStart = 4;
  ins.loopLength = 12;
  ins.volume = 50;
  ins.relativeNote = 12;
  ins.volumeEnvelope = {{0, 64}, {10, 32}, {20, 0}};
  ins.sustainPoint = 1;
  m.instruments.push_back(ins);
  TXmInstrument oneShot;
  oneShot.name = "one shot";
  oneShot.sample = {100, -100, 32767, -32768, 0};
  m.instruments.push_back(oneShot);
  return m;
}

TEST(XmModuleTest, HeaderFieldsReachThePlayer) {
  const TXmModule m = SmallModule();
  xmp_module_info info{};
  const TContext ctx = Load(m.Bytes(), info);
  ASSERT_TRUE(ctx);
  const xmp_module& mod = *info.mod;
  EXPECT_STREQ(mod.name, "probe");
  EXPECT_EQ(mod.chn, 3);
  EXPECT_GE(mod.pat, 2);  // the player may add an empty pattern of its own
  EXPECT_EQ(mod.ins, 2);
  EXPECT_EQ(mod.spd, 5);
  EXPECT_EQ(mod.bpm, 130);
  EXPECT_EQ(mod.len, 3);
  EXPECT_EQ(mod.rst, 1);
  EXPECT_EQ(mod.xxo[0], 1);
  EXPECT_EQ(mod.xxo[1], 0);
  EXPECT_EQ(mod.xxp[0]->rows, 4);
  EXPECT_EQ(mod.xxp[1]->rows, 8);
}

TEST(XmModuleTest, PackedCellsDecodeToWhatWasWritten) {
  struct Case {
    int row, channel;
    TXmCell cell;
    int note;  // as libxmp numbers it: XM note + 12, key off 129
    int ins, vol, fxt, fxp;
  };
  const Case cases[] = {
      {0, 0, {49, 1, 0x50, 0, 0}, 49 + 12, 1, 65, 0, 0},  // note, instrument, full volume
      {0, 1, {97, 0, 0, 0, 0}, XMP_KEY_OFF, 0, 0, 0, 0},  // key off alone
      {1, 2, {0, 0, 0x30, 0, 0}, 0, 0, 33, 0, 0},         // volume column only
      {2, 0, {0, 0, 0, 0x0F, 0x07}, 0, 0, 0, 0x0F, 7},    // effect with parameter
      {2, 1, {0, 0, 0, 0x0C, 0}, 0, 0, 0, 0x0C, 0},       // effect without parameter
      {3, 2, {1, 2, 0x10, 0, 0}, 1 + 12, 2, 1, 0, 0},     // lowest note, silent volume
      {3, 1, {96, 2, 0, 0, 0}, 96 + 12, 2, 0, 0, 0},      // highest note
  };
  TXmModule m = SmallModule();
  for (const Case& c : cases) m.At(0, c.row, c.channel) = c.cell;
  xmp_module_info info{};
  const TContext ctx = Load(m.Bytes(), info);
  ASSERT_TRUE(ctx);
  const xmp_module& mod = *info.mod;
  for (const Case& c : cases) {
    SCOPED_TRACE("row " + std::to_string(c.row) + " channel " + std::to_string(c.channel));
    const xmp_track* track = mod.xxt[mod.xxp[0]->index[c.channel]];
    const xmp_event& e = track->event[c.row];
    EXPECT_EQ(e.note, c.note);
    EXPECT_EQ(e.ins, c.ins);
    EXPECT_EQ(e.vol, c.vol);
    EXPECT_EQ(e.fxt, c.fxt);
    EXPECT_EQ(e.fxp, c.fxp);
  }
  // An untouched cell stays empty.
  const xmp_event& empty = mod.xxt[mod.xxp[0]->index[2]]->event[0];
  EXPECT_EQ(empty.note, 0);
  EXPECT_EQ(empty.ins, 0);
}

TEST(XmModuleTest, SamplesLoopsAndEnvelopesSurviveTheDeltaEncoding) {
  const TXmModule m = SmallModule();
  xmp_module_info info{};
  const TContext ctx = Load(m.Bytes(), info);
  ASSERT_TRUE(ctx);
  const xmp_module& mod = *info.mod;
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const TXmInstrument& ins = m.instruments[static_cast<size_t>(i)];
    const xmp_instrument& xi = mod.xxi[i];
    ASSERT_EQ(xi.nsm, 1);
    const xmp_sample& s = mod.xxs[xi.sub[0].sid];
    EXPECT_TRUE(s.flg & XMP_SAMPLE_16BIT);
    ASSERT_EQ(s.len, static_cast<int>(ins.sample.size()));
    // The player may rewrite what follows a loop's end (it wraps there), so
    // compare what is actually heard.
    const size_t heard = ins.loopLength > 0 ? ins.loopStart + ins.loopLength : ins.sample.size();
    EXPECT_EQ(0, std::memcmp(s.data, ins.sample.data(), heard * 2));
    EXPECT_EQ((s.flg & XMP_SAMPLE_LOOP) != 0, ins.loopLength > 0);
    if (ins.loopLength > 0) {
      EXPECT_EQ(s.lps, static_cast<int>(ins.loopStart));
      EXPECT_EQ(s.lpe, static_cast<int>(ins.loopStart + ins.loopLength));
    }
    EXPECT_EQ(xi.sub[0].vol, ins.volume);
    EXPECT_EQ(xi.sub[0].xpo, ins.relativeNote);
    EXPECT_EQ(xi.aei.npt, static_cast<int>(ins.volumeEnvelope.size()));
    EXPECT_EQ((xi.aei.flg & XMP_ENVELOPE_SUS) != 0, ins.sustainPoint >= 0);
  }
}

TEST(XmModuleTest, RefusesLayoutsTheFormatCannotHold) {
  struct Case {
    const char* what;
    void (*spoil)(TXmModule&);
  };
  const Case cases[] = {
      {"no order", [](TXmModule& m) { m.order.clear(); }},
      {"too long an order", [](TXmModule& m) { m.order.assign(257, 0); }},
      {"no channels", [](TXmModule& m) { m.channels = 0; }},
      {"33 channels", [](TXmModule& m) { m.channels = 33; }},
      {"order names a missing pattern", [](TXmModule& m) { m.order.push_back(7); }},
      {"pattern shorter than its rows", [](TXmModule& m) { m.patterns[0].cells.pop_back(); }},
      {"pattern of 257 rows",
       [](TXmModule& m) {
         m.patterns[0].rows = 257;
         m.patterns[0].cells.resize(257 * 3);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TXmModule m = SmallModule();
    c.spoil(m);
    EXPECT_THROW(m.Bytes(), std::invalid_argument);
  }
}

}  // namespace
