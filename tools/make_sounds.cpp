// Synthesises the game's five wave files (16-bit PCM) into the directory given on the command line.
//
// Every sound is brought to one loudness, measured as broadcast meters do (ITU-R BS.1770
// K-weighting): an effect by its loudest 400 ms (its maximum momentary loudness), the music by
// its gated mean over the whole loop (its integrated loudness). A sound that would need more than
// the headroom allows fails the build rather than clip. `make_sounds --report DIR` prints each
// sound's figures.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

#include "sound/sound.h"

namespace {

// The sound library's output rate: the effects load and mix without any conversion.
constexpr int kRate = 32000;
// The music holds nothing above 8 kHz (its highest partial lies near 4 kHz), so it is stored at
// half the rate, and the library converts it as it plays: the loop takes half the memory.
constexpr int kMusicRate = 16000;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The loudness every sound is brought to, and the highest peak allowed on the way.
constexpr double kTargetLufs = -20.0;
constexpr double kPeakCeiling = 0.89;  // -1 dBFS

using Channels = std::vector<std::vector<double>>;

// A sine table with linear interpolation: the music has many voices and must build in a blink.
class SineTable {
 public:
  SineTable() {
    for (std::size_t i = 0; i <= kSize; ++i) table_[i] = std::sin(kTwoPi * double(i) / kSize);
  }
  // Sine of a phase given in turns.
  double operator()(double turns) const {
    const double t = (turns - std::floor(turns)) * kSize;
    const auto i = static_cast<std::size_t>(t);
    const double f = t - double(i);
    return table_[i] + (table_[i + 1] - table_[i]) * f;
  }

 private:
  static constexpr std::size_t kSize = 4096;
  std::array<double, kSize + 1> table_{};
};

const SineTable sine;

double midi_hz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

int samples(double seconds, int rate = kRate) {
  return static_cast<int>(std::lround(seconds * rate));
}

// A reproducible noise source, the same on every machine.
class Noise {
 public:
  double next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return double(state_ >> 11) / double(1ull << 53) * 2.0 - 1.0;
  }

 private:
  std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

// Loudness -----------------------------------------------------------------------------------

// The BS.1770 K-weighting filter (a high shelf, then a high-pass), for any sample rate.
class KWeighting {
 public:
  explicit KWeighting(int rate) {
    double k = std::tan(std::numbers::pi * 1681.974450955533 / rate);
    const double q = 0.7071752369554196, vh = std::pow(10.0, 3.999843853973347 / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1 + k / q + k * k;
    shelf_ = {(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
              2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
    k = std::tan(std::numbers::pi * 38.13547087602444 / rate);
    const double q2 = 0.5003270373238773;
    a0 = 1 + k / q2 + k * k;
    high_pass_ = {1, -2, 1, 2 * (k * k - 1) / a0, (1 - k / q2 + k * k) / a0};
  }
  std::vector<double> operator()(const std::vector<double>& x) const {
    return filter(filter(x, shelf_), high_pass_);
  }

 private:
  using Biquad = std::array<double, 5>;  // b0 b1 b2 a1 a2
  static std::vector<double> filter(const std::vector<double>& x, const Biquad& c) {
    std::vector<double> y(x.size());
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
      y[i] = c[0] * x[i] + c[1] * x1 + c[2] * x2 - c[3] * y1 - c[4] * y2;
      x2 = x1, x1 = x[i], y2 = y1, y1 = y[i];
    }
    return y;
  }
  Biquad shelf_{}, high_pass_{};
};

double lufs(double mean_square) { return -0.691 + 10.0 * std::log10(std::max(mean_square, 1e-20)); }

// The K-weighted mean square, summed over the channels, of every 400 ms block at 100 ms steps.
// A sound shorter than a block is padded with silence to fill one.
std::vector<double> momentary_blocks(const Channels& channels, int rate) {
  const int block = samples(0.4, rate), step = samples(0.1, rate);
  std::vector<double> power(std::max<std::size_t>(channels[0].size(), std::size_t(block)), 0.0);
  const KWeighting weighting(rate);
  for (const auto& c : channels) {
    const auto weighted = weighting(c);
    for (std::size_t i = 0; i < weighted.size(); ++i) power[i] += weighted[i] * weighted[i];
  }
  std::vector<double> blocks;
  for (std::size_t start = 0; start + block <= power.size(); start += step) {
    double sum = 0;
    for (int i = 0; i < block; ++i) sum += power[start + i];
    blocks.push_back(sum / block);
  }
  return blocks;
}

double max_momentary(const Channels& channels, int rate) {
  const auto blocks = momentary_blocks(channels, rate);
  return lufs(*std::max_element(blocks.begin(), blocks.end()));
}

// The gated mean of the blocks: those above -70 LUFS, then those within 10 LU of their mean.
double integrated(const Channels& channels, int rate) {
  const auto blocks = momentary_blocks(channels, rate);
  auto gated_mean = [&](double gate) {
    double sum = 0;
    int count = 0;
    for (double b : blocks)
      if (lufs(b) > gate) sum += b, ++count;
    return count > 0 ? sum / count : 0.0;
  };
  return lufs(gated_mean(lufs(gated_mean(-70.0)) - 10.0));
}

double peak(const Channels& channels) {
  double max = 0;
  for (const auto& c : channels)
    for (double v : c) max = std::max(max, std::abs(v));
  return max;
}

struct Sound {
  std::string name;
  Channels channels;
  int rate = kRate;
  bool music = false;

  double loudness() const {
    return music ? integrated(channels, rate) : max_momentary(channels, rate);
  }
};

// Scales the sound to the target loudness; false when that would push its peak over the ceiling.
bool level(Sound& s) {
  const double gain = std::pow(10.0, (kTargetLufs - s.loudness()) / 20.0);
  for (auto& c : s.channels)
    for (double& v : c) v *= gain;
  return peak(s.channels) <= kPeakCeiling;
}

// Effects ------------------------------------------------------------------------------------

// Fades the last few milliseconds, so a sound never ends on a step.
void end_softly(std::vector<double>& s) {
  const int fade = std::min<int>(samples(0.008), int(s.size()));
  for (int i = 0; i < fade; ++i) s[s.size() - 1 - i] *= double(i) / fade;
}

// A struck tone: harmonic partials, each decaying faster than the one below it.
void add_bell(std::vector<double>& out, double start, double hz, double gain, double decay) {
  constexpr std::array<double, 4> ratio{1.0, 2.0, 3.0, 4.2};
  constexpr std::array<double, 4> level{1.0, 0.32, 0.1, 0.05};
  const int first = samples(start);
  const double attack = 0.004;
  for (int i = 0; first + i < int(out.size()); ++i) {
    const double t = double(i) / kRate;
    const double rise = std::min(1.0, t / attack);
    double v = 0;
    for (std::size_t p = 0; p < ratio.size(); ++p)
      v += level[p] * std::exp(-t * (1.0 + double(p)) / decay) * sine(hz * ratio[p] * t);
    out[first + i] += gain * rise * v;
  }
}

// "その他": a bright, rising three-note chime for the about box, ringing out to silence.
std::vector<double> chime() {
  std::vector<double> s(samples(2.0));
  add_bell(s, 0.00, midi_hz(79), 0.8, 0.30);  // G5
  add_bell(s, 0.09, midi_hz(84), 0.8, 0.33);  // C6
  add_bell(s, 0.18, midi_hz(88), 0.9, 0.38);  // E6
  // The bells have decayed by some 30 dB when this fade begins; it only takes the last whisper
  // down to nothing, so the ring dies away instead of stopping.
  const int fade = samples(0.5), first = int(s.size()) - fade;
  for (int i = 0; i < fade; ++i)
    s[first + i] *= 0.5 + 0.5 * std::cos(std::numbers::pi * double(i) / fade);
  return s;
}

// "禁止": two short, soft, low buzzes falling slightly, a polite "no".
std::vector<double> refusal() {
  std::vector<double> s(samples(0.34));
  const double pulse = 0.12, gap = 0.06;
  for (int n = 0; n < 2; ++n) {
    const int first = samples(n * (pulse + gap));
    const double hz = n == 0 ? 150.0 : 130.0;
    double phase = 0;
    for (int i = 0; i < samples(pulse); ++i) {
      const double t = double(i) / kRate;
      const double env = std::min(1.0, t / 0.006) * std::min(1.0, (pulse - t) / 0.03);
      const double f = hz * (1.0 - 0.08 * t / pulse);
      phase += f / kRate;
      // Odd-heavy harmonics give the buzz; their steep roll-off keeps it from rasping.
      double v = 0;
      for (int k = 1; k <= 9; ++k) v += (k % 2 ? 1.0 : 0.35) / std::pow(k, 1.4) * sine(k * phase);
      s[first + i] += env * v;
    }
  }
  end_softly(s);
  return s;
}

// "選択": a crisp, short blip that flicks upward.
std::vector<double> blip() {
  std::vector<double> s(samples(0.11));
  double phase = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = double(i) / kRate;
    const double hz = 1480.0 + 500.0 * std::min(1.0, t / 0.02);
    phase += hz / kRate;
    const double env = std::min(1.0, t / 0.0015) * std::exp(-t / 0.028);
    s[i] = env * (sine(phase) + 0.18 * sine(2 * phase));
  }
  end_softly(s);
  return s;
}

// "駒打音": a wooden piece set down on a wooden board, a dry knock with a short hollow body.
std::vector<double> clack() {
  std::vector<double> s(samples(0.25));
  struct Mode {
    double hz, level, decay;
  };
  // Inharmonic modes of a small hard-wood block over the board's lower ring, highest dying
  // first. They start at zero, so the knock's edge comes from the contact noise.
  constexpr std::array<Mode, 5> modes{{{190, 0.55, 0.060},
                                       {610, 1.00, 0.048},
                                       {1390, 0.55, 0.026},
                                       {2270, 0.30, 0.015},
                                       {3440, 0.16, 0.009}}};
  Noise noise;
  double low = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = double(i) / kRate;
    double v = 0;
    for (const Mode& m : modes) v += m.level * std::exp(-t / m.decay) * sine(m.hz * t);
    // The contact itself: a few milliseconds of dull noise.
    low += 0.35 * (noise.next() - low);
    v += 0.8 * low * std::exp(-t / 0.0025);
    s[i] = std::min(1.0, t / 0.0004) * v;
  }
  end_softly(s);
  return s;
}

// Music --------------------------------------------------------------------------------------

// 16 bars at 96 beats a minute (40 s) in C major: an A section of eight bars, then a B section
// that moves through other chords with another melody, voice and accompaniment, and leads back
// to A. Every note is mixed into a circular buffer, so tails that run past the end sound at the
// start and the loop has no seam.
constexpr double kBeat = 60.0 / 96.0;
constexpr double kBar = 4 * kBeat;
constexpr int kBars = 16;
constexpr int kSectionBars = 8;

struct Chord {
  int root;  // midi, octave 3
  bool minor;
};

constexpr std::array<Chord, kBars> kChords{{{48, false},    // A: C
                                            {57, true},     // Am
                                            {53, false},    // F
                                            {55, false},    // G
                                            {48, false},    // C
                                            {52, true},     // Em
                                            {53, false},    // F
                                            {55, false},    // G
                                            {53, false},    // B: F
                                            {55, false},    // G
                                            {52, true},     // Em
                                            {57, true},     // Am
                                            {50, true},     // Dm
                                            {52, true},     // Em
                                            {53, false},    // F
                                            {55, false}}};  // G, leading back to C

// Melody as (beat within the bar, length in beats, midi) per bar.
using Bar = std::vector<std::array<double, 3>>;
const std::array<Bar, kBars> kMelody{{
    // A, on the flute
    {{0, 1.5, 76}, {1.5, 0.5, 74}, {2, 1, 72}, {3, 1, 76}},
    {{0, 2, 81}, {2, 1, 79}, {3, 1, 76}},
    {{0, 1.5, 77}, {1.5, 0.5, 76}, {2, 1, 74}, {3, 1, 72}},
    {{0, 3, 74}},
    {{0, 1.5, 76}, {1.5, 0.5, 74}, {2, 1, 72}, {3, 1, 79}},
    {{0, 2, 83}, {2, 1, 79}, {3, 1, 76}},
    {{0, 1.5, 81}, {1.5, 0.5, 79}, {2, 1, 77}, {3, 1, 81}},
    {{0, 3, 79}},
    // B, on the vibraphone
    {{0, 1, 77}, {1, 1, 81}, {2, 2, 84}},
    {{0, 1.5, 83}, {1.5, 0.5, 81}, {2, 2, 79}},
    {{0, 1, 79}, {1, 1, 76}, {2, 1, 71}, {3, 1, 76}},
    {{0, 3, 76}, {3, 1, 72}},
    {{0, 1, 74}, {1, 1, 77}, {2, 1.5, 81}, {3.5, 0.5, 79}},
    {{0, 1.5, 79}, {1.5, 0.5, 77}, {2, 2, 76}},
    {{0, 1, 72}, {1, 1, 74}, {2, 1, 76}, {3, 1, 77}},
    {{0, 2, 79}, {2, 1, 74}, {3, 1, 71}},
}};

class Loop {
 public:
  explicit Loop(int length) : left_(length), right_(length) {}

  // A voice: fn(t) gives the sample at t seconds after the start; pan 0 left .. 1 right.
  template <typename Fn>
  void add(double start, double seconds, double pan, Fn fn) {
    const int first = samples(start, kMusicRate), count = samples(seconds, kMusicRate);
    const double gl = std::cos(pan * std::numbers::pi / 2),
                 gr = std::sin(pan * std::numbers::pi / 2);
    const int n = int(left_.size());
    for (int i = 0; i < count; ++i) {
      const double v = fn(double(i) / kMusicRate);
      const int k = (first + i) % n;
      left_[k] += gl * v;
      right_[k] += gr * v;
    }
  }

  std::vector<double>& left() { return left_; }
  std::vector<double>& right() { return right_; }

 private:
  std::vector<double> left_, right_;
};

// Smooth rise and fall that reach exactly 0 at both ends of a note.
double envelope(double t, double length, double attack, double release) {
  if (t < attack) return 0.5 - 0.5 * std::cos(std::numbers::pi * t / attack);
  if (t > length - release) {
    const double r = std::max(0.0, (length - t) / release);
    return 0.5 - 0.5 * std::cos(std::numbers::pi * r);
  }
  return 1.0;
}

void add_piano(Loop& loop, double start, int midi, double gain, double pan) {
  const double hz = midi_hz(midi), length = 1.6;
  loop.add(start, length, pan, [=](double t) {
    const double e = envelope(t, length, 0.006, 0.3);
    return gain * e *
           (std::exp(-t / 0.9) * sine(hz * t) + 0.3 * std::exp(-t / 0.35) * sine(2 * hz * t) +
            0.1 * std::exp(-t / 0.2) * sine(3 * hz * t) +
            0.04 * std::exp(-t / 0.12) * sine(4 * hz * t));
  });
}

// A light, plucked bass: short notes whose second and third harmonics carry the pitch, so it is
// heard on small speakers without a boom under everything.
void add_bass(Loop& loop, double start, double length, int midi, double gain) {
  const double hz = midi_hz(midi);
  loop.add(start, length, 0.5, [=](double t) {
    const double e = envelope(t, length, 0.01, 0.1) * std::exp(-t / 0.6);
    return gain * e * (sine(hz * t) + 0.45 * sine(2 * hz * t) + 0.15 * sine(3 * hz * t));
  });
}

void add_flute(Loop& loop, double start, double length, int midi) {
  const double hz = midi_hz(midi);
  const double sounding = length + 0.12;
  loop.add(start, sounding, 0.38, [=](double t) {
    const double e = envelope(t, sounding, 0.045, 0.18);
    // A gentle vibrato that sets in once the note has settled.
    const double depth = 0.003 * std::min(1.0, std::max(0.0, t - 0.25) / 0.3);
    const double phase = hz * t - depth * hz / (kTwoPi * 5.0) * std::cos(kTwoPi * 5.0 * t);
    return 0.26 * e * (sine(phase) + 0.14 * sine(2 * phase) + 0.04 * sine(3 * phase));
  });
}

// A struck bar with a slow tremolo: the B section's melody voice.
void add_vibraphone(Loop& loop, double start, double length, int midi) {
  const double hz = midi_hz(midi);
  const double sounding = std::max(length, 0.5) + 0.8;
  loop.add(start, sounding, 0.32, [=](double t) {
    const double e = envelope(t, sounding, 0.004, 0.6) * std::exp(-t / 1.1);
    const double tremolo = 1.0 - 0.18 * (0.5 - 0.5 * std::cos(kTwoPi * 5.5 * t));
    return 0.21 * e * tremolo *
           (sine(hz * t) + 0.12 * std::exp(-t / 0.08) * sine(4 * hz * t) +
            0.05 * std::exp(-t / 0.03) * sine(3 * hz * t));
  });
}

void add_pad(Loop& loop, double start, double length, int midi, double pan, double gain) {
  const double hz = midi_hz(midi);
  loop.add(start, length, pan, [=](double t) {
    const double e = envelope(t, length, 0.6, 0.8);
    return gain * e * (sine(hz * 0.998 * t) + sine(hz * 1.002 * t));
  });
}

// A: eighth-note broken chords from the root, a bass on beats 1 and 3, a close pad, the flute.
void section_a(Loop& loop, int b, const std::array<int, 4>& tones, int third) {
  constexpr std::array<int, 8> arpeggio{0, 2, 3, 2, 1, 2, 3, 2};
  const Chord c = kChords[b];
  const double t0 = b * kBar;
  for (int e = 0; e < 8; ++e)
    add_piano(loop, t0 + e * kBeat / 2, tones[arpeggio[e]], e % 2 ? 0.12 : 0.15, 0.65);
  const int bass = c.root - 12;
  add_bass(loop, t0, 2 * kBeat, bass, 0.16);
  add_bass(loop, t0 + 2 * kBeat, 2 * kBeat, b % 4 != 3 ? bass + 7 : bass, 0.14);
  for (int tone : {c.root + 12, third + 12, c.root + 19})
    add_pad(loop, t0, kBar + 0.6, tone, 0.6, 0.035);
  for (const auto& n : kMelody[b]) add_flute(loop, t0 + n[0] * kBeat, n[1] * kBeat, int(n[2]));
}

// B: the chord an octave up, struck on the off-beats; one bass note a bar; an open pad (fifth
// and tenth); the melody on the vibraphone.
void section_b(Loop& loop, int b, const std::array<int, 4>& tones, int third) {
  const Chord c = kChords[b];
  const double t0 = b * kBar;
  for (int e = 0; e < 4; ++e)
    for (int k : {1, 2, 3})
      add_piano(loop, t0 + (e + 0.5) * kBeat, tones[k] + 12, e % 2 ? 0.07 : 0.085, 0.7);
  add_bass(loop, t0, 3 * kBeat, c.root - 12, 0.13);
  for (int tone : {c.root + 7, third + 24}) add_pad(loop, t0, kBar + 0.6, tone, 0.45, 0.04);
  for (const auto& n : kMelody[b]) add_vibraphone(loop, t0 + n[0] * kBeat, n[1] * kBeat, int(n[2]));
}

Channels music() {
  Loop loop(samples(kBars * kBar, kMusicRate));
  for (int b = 0; b < kBars; ++b) {
    const Chord c = kChords[b];
    const int third = c.root + (c.minor ? 3 : 4);
    const std::array<int, 4> tones{c.root, third, c.root + 7, c.root + 12};
    if (b < kSectionBars)
      section_a(loop, b, tones, third);
    else
      section_b(loop, b, tones, third);
  }
  // Two echoes, read circularly so the seam stays clean, spread the sound a little.
  auto& l = loop.left();
  auto& r = loop.right();
  const std::vector<double> dl = l, dr = r;
  const int n = int(l.size()), d1 = samples(0.75 * kBeat, kMusicRate),
            d2 = samples(1.5 * kBeat, kMusicRate);
  for (int i = 0; i < n; ++i) {
    l[i] += 0.22 * dr[(i - d1 + n) % n] + 0.1 * dl[(i - d2 + n) % n];
    r[i] += 0.22 * dl[(i - d1 + n) % n] + 0.1 * dr[(i - d2 + n) % n];
  }
  return {l, r};
}

// Files --------------------------------------------------------------------------------------

void put16(std::string& out, unsigned v) {
  out.push_back(char(v & 0xFF));
  out.push_back(char(v >> 8 & 0xFF));
}
void put32(std::string& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

std::int16_t to_pcm(double v) {
  return static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0));
}

bool write_wave(const std::string& path, const Sound& s) {
  const auto count = std::uint32_t(s.channels.size());
  const auto frames = std::uint32_t(s.channels[0].size());
  const std::uint32_t block = 2 * count, data = block * frames;
  const auto rate = std::uint32_t(s.rate);
  std::string out;
  out.reserve(44 + data);
  out += "RIFF";
  put32(out, 36 + data);
  out += "WAVEfmt ";
  put32(out, 16);
  put16(out, 1);  // integer PCM
  put16(out, count);
  put32(out, rate);
  put32(out, rate * block);
  put16(out, block);
  put16(out, 16);
  out += "data";
  put32(out, data);
  for (std::uint32_t i = 0; i < frames; ++i)
    for (const auto& c : s.channels) put16(out, std::uint16_t(to_pcm(c[i])));
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(out.data(), std::streamsize(out.size()));
  return bool(file.flush());
}

// The file the game reads the sound from.
std::string file_name(pawnfall::音源 id) {
  return std::string(pawnfall::音源表[static_cast<std::size_t>(id)].ファイル名);
}

}  // namespace

int main(int argc, char** argv) {
  const bool report = argc == 3 && std::string(argv[1]) == "--report";
  if (argc != 2 && !report) {
    std::cerr << "usage: make_sounds [--report] <output directory>\n";
    return 2;
  }
  const std::string dir = argv[argc - 1];
  using pawnfall::音源;
  std::vector<Sound> sounds{{file_name(音源::音_その他), {chime()}},
                            {file_name(音源::音_禁止), {refusal()}},
                            {file_name(音源::音_選択), {blip()}},
                            {file_name(音源::音_駒打音), {clack()}},
                            {file_name(音源::音_BGM), music(), kMusicRate, true}};
  bool ok = true;
  for (Sound& s : sounds) {
    if (!level(s)) {
      std::cerr << "make_sounds: " << s.name << " would clip at " << kTargetLufs << " LUFS\n";
      ok = false;
      continue;
    }
    if (report)
      std::printf("%-10s %s %.1f LUFS, peak %.1f dBFS\n", s.name.c_str(),
                  s.music ? "integrated" : "max momentary", s.loudness(),
                  20.0 * std::log10(peak(s.channels)));
    if (!write_wave(dir + "/" + s.name, s)) {
      std::cerr << "make_sounds: cannot write " << s.name << " into " << dir << "\n";
      ok = false;
    }
  }
  return ok ? 0 : 1;
}
