#include "MusicComposer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/Random.h"

namespace {

constexpr double kTau = 2 * M_PI;
// Pitched samples hold a 64-sample period; with relative note +12 note C-4
// plays at 16726 Hz, i.e. 261 Hz.
constexpr int kPeriod = 64;
constexpr int kPitchedRelNote = 12;
// Drums are synthesised at 33452 Hz and play at that rate on C-4.
constexpr double kDrumRate = 33452;
constexpr int kDrumRelNote = 24;

enum Instrument : uint8_t { kBass = 1, kLead, kPad, kKick, kSnare, kHat, kPluck };
enum Channel { chLead, chBass, chPad1, chPad2, chPad3, chDrum, chHat, chPluck, kChannels };

int16_t ToPcm(double v) {
  return static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767 * 0.8));
}

// A looped tone of `cycles` periods from a per-phase waveform.
template <typename F>
TXmInstrument Tone(const char* name, int cycles, F wave) {
  TXmInstrument ins;
  ins.name = name;
  const int n = kPeriod * cycles;
  ins.sample.resize(static_cast<size_t>(n));
  double peak = 0;
  std::vector<double> v(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    v[static_cast<size_t>(i)] = wave(kTau * i / kPeriod, static_cast<double>(i) / n);
    peak = std::max(peak, std::abs(v[static_cast<size_t>(i)]));
  }
  for (int i = 0; i < n; ++i)
    ins.sample[static_cast<size_t>(i)] = ToPcm(v[static_cast<size_t>(i)] / peak);
  ins.loopStart = 0;
  ins.loopLength = static_cast<uint32_t>(n);
  ins.relativeNote = kPitchedRelNote;
  return ins;
}

template <typename F>
TXmInstrument Drum(const char* name, double seconds, F wave) {
  TXmInstrument ins;
  ins.name = name;
  const auto n = static_cast<size_t>(seconds * kDrumRate);
  std::vector<double> v(n);
  double peak = 0;
  for (size_t i = 0; i < n; ++i) {
    v[i] = wave(static_cast<double>(i) / kDrumRate);
    peak = std::max(peak, std::abs(v[i]));
  }
  ins.sample.resize(n);
  for (size_t i = 0; i < n; ++i) ins.sample[i] = ToPcm(v[i] / peak);
  ins.relativeNote = kDrumRelNote;
  return ins;
}

std::vector<TXmInstrument> Instruments() {
  std::vector<TXmInstrument> list;
  // Bass: a rounded saw.
  auto bass = Tone("bass", 1, [](double p, double) {
    double v = 0;
    for (int k = 1; k <= 10; ++k) v += std::sin(k * p) / (k * k * 0.6 + 0.4);
    return v;
  });
  bass.volumeEnvelope = {{0, 64}, {6, 50}, {40, 36}, {80, 0}};
  bass.sustainPoint = 2;
  bass.fadeout = 1024;
  list.push_back(bass);
  // Lead: a hollow reed with vibrato.
  auto lead = Tone("lead", 1, [](double p, double) {
    return std::sin(p) + 0.45 * std::sin(3 * p) + 0.2 * std::sin(5 * p) + 0.12 * std::sin(2 * p);
  });
  lead.volumeEnvelope = {{0, 0}, {3, 64}, {20, 46}, {120, 30}};
  lead.sustainPoint = 2;
  lead.fadeout = 900;
  lead.vibratoDepth = 4;
  lead.vibratoRate = 10;
  list.push_back(lead);
  // Pad: two slightly detuned saws over 128 periods, slow swell.
  auto pad = Tone("pad", 128, [](double p, double) {
    double v = 0;
    for (int k = 1; k <= 8; ++k) v += (std::sin(k * p) + std::sin(k * p * 129.0 / 128)) / k;
    return v;
  });
  pad.volumeEnvelope = {{0, 0}, {30, 52}, {60, 44}, {120, 0}};
  pad.sustainPoint = 2;
  pad.fadeout = 600;
  list.push_back(pad);
  TRandom rng(77);
  list.push_back(Drum("kick", 0.32, [](double t) {
    const double f = 48 + 120 * std::exp(-t / 0.035);
    return std::sin(kTau * f * t) * std::exp(-t / 0.12) * std::min(1.0, t / 0.001);
  }));
  list.push_back(Drum("snare", 0.25, [&rng](double t) {
    const double noise = rng.RandomFloat() * 2 - 1;
    return (0.8 * noise * std::exp(-t / 0.06) +
            0.6 * std::sin(kTau * 190 * t) * std::exp(-t / 0.05));
  }));
  double last = 0;
  list.push_back(Drum("hihat", 0.08, [&rng, &last](double t) {
    const double noise = rng.RandomFloat() * 2 - 1;
    const double hp = noise - last;  // a crude high-pass keeps only the sizzle
    last = noise;
    return hp * std::exp(-t / 0.018);
  }));
  // Pluck: a bright decaying arpeggio voice.
  auto pluck = Tone("pluck", 1, [](double p, double) {
    return std::sin(p) + 0.5 * std::sin(2 * p) + 0.25 * std::sin(4 * p);
  });
  pluck.volumeEnvelope = {{0, 64}, {8, 28}, {24, 8}, {40, 0}};
  list.push_back(pluck);
  return list;
}

// A chord: root as XM note in octave 3 (C-3 = 37) and its quality.
struct TChord {
  int root;  // semitone 0..11 (0 = C)
  bool minor;
};

struct TSong {
  const char* name;
  int bpm;
  int speed;
  bool driving;
  std::vector<std::vector<TChord>> patterns;  // four chords each
  std::vector<uint8_t> order;
  std::vector<int> scale;  // semitones of the key's scale
  uint64_t seed;
};

constexpr int C = 0, D = 2, E = 4, F = 5, G = 7, A = 9;
const std::vector<int> kMajor = {0, 2, 4, 5, 7, 9, 11};
const std::vector<int> kMinorA = {9, 11, 0, 2, 4, 5, 7};  // A natural minor (with C..G)

TSong SongFor(int track) {
  if (track == 1) {
    return {"Tidal Lynx - Harbour",
            100,
            6,
            false,
            {{{C, false}, {A, true}, {F, false}, {G, false}},
             {{C, false}, {G, false}, {A, true}, {F, false}},
             {{F, false}, {G, false}, {E, true}, {A, true}},
             {{F, false}, {G, false}, {C, false}, {C, false}},
             {{A, true}, {F, false}, {C, false}, {G, false}}},
            {0, 1, 2, 3, 1, 4, 2, 3},
            kMajor,
            101};
  }
  return {"Tidal Lynx - Battle",
          140,
          6,
          true,
          {{{A, true}, {A, true}, {F, false}, {G, false}},
           {{A, true}, {F, false}, {C, false}, {G, false}},
           {{D, true}, {A, true}, {E, false}, {A, true}},
           {{F, false}, {G, false}, {E, true}, {A, true}},
           {{A, true}, {G, false}, {F, false}, {E, false}}},
          {0, 1, 2, 1, 3, 4, 2, 3, 1, 4},
          kMinorA,
          202};
}

uint8_t Note(int semitone, int octave) {
  return static_cast<uint8_t>(octave * 12 + semitone + 1);
}
uint8_t Vol(int v) {
  return static_cast<uint8_t>(0x10 + std::clamp(v, 0, 64));
}

// Chord tones (semitones) of a chord.
std::array<int, 3> Triad(const TChord& c) {
  return {c.root, (c.root + (c.minor ? 3 : 4)) % 12, (c.root + 7) % 12};
}

void Put(TXmModule& m, int p, int row, int ch, uint8_t note, uint8_t ins, int vol) {
  TXmCell& cell = m.At(p, row, ch);
  cell.note = note;
  cell.instrument = note == 97 ? 0 : ins;
  cell.volume = note == 97 ? 0 : Vol(vol);
}

// Melody pitch as a scale index around octave 5; steps stay in the key.
struct TMelody {
  const std::vector<int>& scale;
  int index = 7;  // scale degree counted from the scale's first note, octave 4

  int Semitone(int idx) const {
    const int n = static_cast<int>(scale.size());
    const int octave = (idx >= 0 ? idx / n : (idx - n + 1) / n);
    const int degree = idx - octave * n;
    int s = scale[static_cast<size_t>(degree)] + 12 * octave;
    if (scale[0] > scale[static_cast<size_t>(degree)]) s += 12;  // minor scale wraps past C
    return s;
  }
  // The nearest scale index whose pitch class is a chord tone.
  int NearestChordTone(const std::array<int, 3>& triad) const {
    for (int d = 0; d < 7; ++d)
      for (const int cand : {index - d, index + d}) {
        const int pc = ((Semitone(cand) % 12) + 12) % 12;
        if (std::find(triad.begin(), triad.end(), pc) != triad.end()) return cand;
      }
    return index;
  }
};

}  // namespace

TXmModule TMusicComposer::Compose(int track) {
  if (track != 1 && track != 2) throw std::out_of_range("Only tracks 1 and 2 exist");
  const TSong song = SongFor(track);
  TXmModule m;
  m.name = song.name;
  m.channels = kChannels;
  m.bpm = song.bpm;
  m.speed = song.speed;
  m.order = song.order;
  m.instruments = Instruments();
  TRandom rng(song.seed);
  // Melody range: scale indices low..low + 9 above the base octave.
  const int low = 7;
  const int base = song.driving ? 3 : 4;
  for (size_t p = 0; p < song.patterns.size(); ++p) {
    TXmPattern pat;
    pat.rows = 64;
    pat.cells.assign(static_cast<size_t>(pat.rows * m.channels), TXmCell{});
    m.patterns.push_back(pat);
    const int pi = static_cast<int>(p);
    TMelody melody{song.scale, low + 2};
    const bool intro = p == 0;
    for (int bar = 0; bar < 4; ++bar) {
      const TChord chord = song.patterns[p][static_cast<size_t>(bar)];
      const auto triad = Triad(chord);
      const int r0 = bar * 16;
      // Pad: the triad held through the bar, voiced in octave 4.
      for (int v = 0; v < 3; ++v) {
        int semitone = triad[static_cast<size_t>(v)];
        int octave = 4;
        if (semitone < triad[0]) ++octave;
        Put(m, pi, r0, chPad1 + v, Note(semitone, octave), kPad, song.driving ? 22 : 26);
      }
      // Bass.
      const uint8_t root2 = Note(chord.root, 2);
      const uint8_t fifth2 = Note((chord.root + 7) % 12, chord.root + 7 >= 12 ? 3 : 2);
      if (song.driving) {
        for (int r = 0; r < 16; r += 2)
          Put(m, pi, r0 + r, chBass, r % 8 == 6 ? static_cast<uint8_t>(root2 + 12) : root2, kBass,
              r % 4 == 0 ? 56 : 44);
      } else {
        Put(m, pi, r0, chBass, root2, kBass, 54);
        Put(m, pi, r0 + 6, chBass, 97, 0, 0);
        Put(m, pi, r0 + 8, chBass, fifth2, kBass, 46);
        Put(m, pi, r0 + 12, chBass, root2, kBass, 46);
      }
      // Drums.
      for (int r = 0; r < 16; ++r) {
        const int row = r0 + r;
        const bool fill = bar == 3 && r >= 12;  // a snare run into the next pattern
        if (song.driving) {
          if (fill) {
            Put(m, pi, row, chDrum, Note(C, 4), kSnare, 36 + 6 * (r - 12));
          } else {
            if (r % 4 == 0 || r == 14) Put(m, pi, row, chDrum, Note(C, 4), kKick, 60);
            if (r == 4 || r == 12) Put(m, pi, row, chDrum, Note(C, 4), kSnare, 52);
          }
          Put(m, pi, row, chHat, Note(C, 4), kHat, r % 2 == 0 ? 34 : 20);
        } else if (!intro || bar >= 2) {
          if (r == 0 || r == 10) Put(m, pi, row, chDrum, Note(C, 4), kKick, 52);
          if (r == 8 || (fill && r == 14)) Put(m, pi, row, chDrum, Note(C, 4), kSnare, 34);
          if (r % 4 == 2) Put(m, pi, row, chHat, Note(C, 4), kHat, 18);
        }
      }
      // Arpeggio pluck in the driving song, a gentle one in the calm one.
      if (song.driving || !intro) {
        const int step = song.driving ? 2 : 4;
        for (int r = 0, k = 0; r < 16; r += step, ++k) {
          const int semitone = triad[static_cast<size_t>(k % 3)];
          Put(m, pi, r0 + r, chPluck, Note(semitone, 5), kPluck, song.driving ? 26 : 22);
        }
      }
      // Melody: rhythm from a few phrase shapes, chord tones on strong
      // beats, steps within the scale in between, a rest before each bar.
      if (intro && !song.driving && bar < 2) continue;
      static constexpr int kRhythms[4][6] = {
          {0, 4, 6, 8, 12, -1}, {0, 3, 6, 8, 10, 12}, {0, 8, 10, 12, -1, -1}, {0, 2, 4, 8, 12, 14}};
      const int shape = static_cast<int>(rng.Random(4));
      for (int k = 0; k < 6; ++k) {
        const int r = kRhythms[shape][k];
        if (r < 0) break;
        if (r % 8 == 0) {
          melody.index = melody.NearestChordTone(triad);
        } else {
          const int move = static_cast<int>(rng.Random(5)) - 2;
          melody.index = std::clamp(melody.index + move, low, low + 9);
        }
        Put(m, pi, r0 + r, chLead,
            static_cast<uint8_t>(Note(0, base) + melody.Semitone(melody.index)), kLead,
            song.driving ? 44 : 40);
      }
      Put(m, pi, r0 + 15, chLead, 97, 0, 0);
    }
  }
  return m;
}
