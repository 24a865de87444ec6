#include "SoundBank.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/Random.h"

namespace {

constexpr double kTau = 2 * M_PI;

double NoteHz(int semitonesFromA4) {
  return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

// A soft square-ish tone: the first odd harmonics.
double Reed(double phase) {
  return std::sin(phase) + std::sin(3 * phase) / 3 + std::sin(5 * phase) / 6;
}

// A brassy tone: decaying harmonic series.
double Brass(double phase) {
  double v = 0;
  for (int k = 1; k <= 6; ++k) v += std::sin(k * phase) / (k * 1.2);
  return v * 0.6;
}

// Attack-decay envelope over t in seconds.
double Ad(double t, double attack, double decay) {
  if (t < attack) return t / attack;
  return std::exp(-(t - attack) / decay);
}

// Sequences notes (A4-relative semitones, start and length in seconds).
struct TNote {
  int pitch;
  double start, length;
};

void PlayNotes(std::vector<double>& out, double rate, const std::vector<TNote>& notes,
               double (*voice)(double), double vibrato) {
  for (const TNote& n : notes) {
    const double f = NoteHz(n.pitch);
    const auto begin = static_cast<size_t>(n.start * rate);
    const auto count = static_cast<size_t>((n.length + 0.15) * rate);
    double phase = 0;
    for (size_t i = 0; i < count && begin + i < out.size(); ++i) {
      const double t = static_cast<double>(i) / rate;
      const double vib = 1 + vibrato * std::sin(kTau * 5.5 * t) * std::min(1.0, t * 4);
      phase += kTau * f * vib / rate;
      double env = std::min(1.0, t / 0.012);
      if (t > n.length) env *= std::exp(-(t - n.length) / 0.04);
      env *= 0.75 + 0.25 * std::exp(-t / 0.15);
      out[begin + i] += voice(phase) * env * 0.35;
    }
  }
}

void Normalize(std::vector<double>& s, double peak) {
  double m = 0;
  for (double v : s) m = std::max(m, std::abs(v));
  if (m > 0)
    for (double& v : s) v *= peak / m;
}

// Fades the last few milliseconds so every effect ends on silence.
void FadeTail(std::vector<double>& s, double rate, double seconds) {
  const auto n = std::min(s.size(), static_cast<size_t>(seconds * rate));
  for (size_t i = 0; i < n; ++i)
    s[s.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(n);
}

}  // namespace

std::vector<double> TSoundBank::Synthesize(int id) {
  if (id < 0 || id >= static_cast<int>(kSoundBank.size()))
    throw std::out_of_range("No sound with id " + std::to_string(id));
  // "Bomba" carries the same samples as "Snarad".
  if (id == sndBomba) id = sndSnarad;
  const TBankEntry& entry = kSoundBank[static_cast<size_t>(id)];
  const double rate = entry.rate;
  std::vector<double> s(static_cast<size_t>(entry.bytes), 0.0);
  TRandom rng(0x5EED0000u + static_cast<uint32_t>(id));
  auto noise = [&rng] { return rng.RandomFloat() * 2 - 1; };
  switch (id) {
    case sndCheckMenu: {  // a crisp two-tone click
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double f = t < 0.03 ? 1400 : 2100;
        s[i] = std::sin(kTau * f * t) * Ad(t < 0.03 ? t : t - 0.03, 0.002, 0.025) +
               0.3 * noise() * std::exp(-t / 0.004);
      }
      break;
    }
    case sndWin: {  // a rising fanfare ending on a held major chord
      const std::vector<TNote> notes = {{3, 0.0, 0.14},  {7, 0.15, 0.14},  {10, 0.30, 0.14},
                                        {15, 0.45, 0.3}, {10, 0.78, 0.12}, {15, 0.92, 0.7},
                                        {7, 0.92, 0.7},  {10, 0.92, 0.7}};
      PlayNotes(s, rate, notes, Brass, 0.006);
      break;
    }
    case sndLoose: {  // a falling, wavering minor line
      const std::vector<TNote> notes = {
          {-2, 0.0, 0.3}, {-3, 0.35, 0.3}, {-4, 0.7, 0.3}, {-5, 1.05, 0.55}};
      PlayNotes(s, rate, notes, Reed, 0.02);
      break;
    }
    case sndShot: {  // a sharp crack with a short thump
      double lp = 0;
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        lp += (noise() - lp) * 0.6;
        s[i] = lp * std::exp(-t / 0.025) + 0.8 * std::sin(kTau * 140 * t) * std::exp(-t / 0.03);
      }
      break;
    }
    case sndSnarad: {  // a cannon boom with a falling body and rumble
      double lp = 0, phase = 0;
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double f = 40 + 110 * std::exp(-t / 0.06);
        phase += kTau * f / rate;
        lp += (noise() - lp) * (0.05 + 0.4 * std::exp(-t / 0.02));
        s[i] = 0.9 * std::sin(phase) * Ad(t, 0.002, 0.12) + 1.4 * lp * Ad(t, 0.001, 0.16);
      }
      break;
    }
    case sndExpl: {  // a long rumbling blast with crackle
      double lp = 0, lp2 = 0;
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        lp += (noise() - lp) * (0.03 + 0.3 * std::exp(-t / 0.05));
        lp2 += (lp - lp2) * 0.3;
        const double crackle = rng.Random(200) == 0 ? noise() * std::exp(-t / 0.6) : 0;
        s[i] = 2.2 * lp2 * Ad(t, 0.004, 0.45) + 0.6 * crackle +
               0.5 * std::sin(kTau * 45 * t) * Ad(t, 0.004, 0.3);
      }
      break;
    }
    case sndVert: {  // helicopter rotor chop over an engine hum
      double lp = 0;
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        lp += (noise() - lp) * 0.2;
        const double chop = std::pow(0.5 + 0.5 * std::cos(kTau * 13 * t), 6);
        s[i] = 1.6 * lp * (0.15 + chop) + 0.25 * std::sin(kTau * 95 * t) +
               0.1 * std::sin(kTau * 190 * t);
        s[i] *= std::min(1.0, t / 0.08);
      }
      break;
    }
    case sndHit: {  // a metallic clang, inharmonic partials over a thud
      const double partials[] = {310, 587, 822, 1190, 1630};
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        double v = 0;
        for (int k = 0; k < 5; ++k)
          v += std::sin(kTau * partials[k] * t) * std::exp(-t / (0.25 / (1 + k * 0.5))) / (1 + k);
        s[i] = v + noise() * std::exp(-t / 0.01);
      }
      break;
    }
    default: {  // sndBonus: a bright rising chime
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double f = t < 0.09 ? NoteHz(19) : NoteHz(26);
        const double local = t < 0.09 ? t : t - 0.09;
        s[i] = (std::sin(kTau * f * t) + 0.3 * std::sin(kTau * 2 * f * t)) * Ad(local, 0.003, 0.08);
      }
      break;
    }
  }
  Normalize(s, 0.9);
  FadeTail(s, rate, 0.008);
  return s;
}

std::vector<uint8_t> TSoundBank::Quantize(const std::vector<double>& samples) {
  std::vector<uint8_t> out(samples.size());
  for (size_t i = 0; i < samples.size(); ++i) {
    const double v = std::clamp(samples[i], -1.0, 1.0);
    out[i] = static_cast<uint8_t>(std::lround(128 + v * 127));
  }
  return out;
}

TWave TSoundBank::Make(int id) {
  const std::vector<uint8_t> pcm = Quantize(Synthesize(id));
  TWave wave;
  wave.SetPcmFormat(TPcmFormat::Pcm(kSoundBank[static_cast<size_t>(id)].rate, 1, 8));
  wave.SetSize(static_cast<int32_t>(pcm.size()));
  std::copy(pcm.begin(), pcm.end(), wave.Data());
  return wave;
}
