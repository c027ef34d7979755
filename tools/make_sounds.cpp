// Synthesises the game's five wave files (16-bit PCM) into the directory given on the command line.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

namespace {

// The sound library's output rate, so the waves load without resampling.
constexpr int kRate = 32000;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

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

int samples(double seconds) { return static_cast<int>(std::lround(seconds * kRate)); }

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

// Scales to the given peak and fades the last few milliseconds, so a sound never ends on a step.
void finish(std::vector<double>& s, double peak) {
  double max = 0;
  for (double v : s) max = std::max(max, std::abs(v));
  if (max > 0)
    for (double& v : s) v *= peak / max;
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

// "その他": a bright, rising three-note chime for the about box.
std::vector<double> chime() {
  std::vector<double> s(samples(1.1));
  add_bell(s, 0.00, midi_hz(79), 0.8, 0.45);  // G5
  add_bell(s, 0.09, midi_hz(84), 0.8, 0.50);  // C6
  add_bell(s, 0.18, midi_hz(88), 0.9, 0.60);  // E6
  finish(s, 0.6);
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
  finish(s, 0.4);
  return s;
}

// "選択": a crisp, short blip that flicks upward.
std::vector<double> blip() {
  std::vector<double> s(samples(0.09));
  double phase = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = double(i) / kRate;
    const double hz = 1480.0 + 500.0 * std::min(1.0, t / 0.02);
    phase += hz / kRate;
    const double env = std::min(1.0, t / 0.0015) * std::exp(-t / 0.022);
    s[i] = env * (sine(phase) + 0.18 * sine(2 * phase));
  }
  finish(s, 0.5);
  return s;
}

// "駒打音": a wooden piece set down on a wooden board, a dry knock with a short body.
std::vector<double> clack() {
  std::vector<double> s(samples(0.22));
  struct Mode {
    double hz, level, decay;
  };
  // Inharmonic modes of a small hard-wood block, highest dying first.
  constexpr std::array<Mode, 5> modes{{{180, 0.45, 0.025},
                                       {610, 1.00, 0.030},
                                       {1390, 0.55, 0.022},
                                       {2270, 0.30, 0.013},
                                       {3440, 0.16, 0.008}}};
  Noise noise;
  double low = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = double(i) / kRate;
    double v = 0;
    for (const Mode& m : modes) v += m.level * std::exp(-t / m.decay) * sine(m.hz * t + 0.25);
    // The contact itself: a few milliseconds of dull noise.
    low += 0.35 * (noise.next() - low);
    v += 0.9 * low * std::exp(-t / 0.0025);
    s[i] = std::min(1.0, t / 0.0004) * v;
  }
  finish(s, 0.8);
  return s;
}

// The music: 8 bars at 96 beats a minute (20 s) in C major, short enough that the decoded loop
// stays small in memory. Every note is mixed into a circular buffer, so tails that run past the
// end sound at the start and the loop has no seam.
struct Note {
  double beat, length;
  int midi;
};

constexpr double kBeat = 60.0 / 96.0;
constexpr int kBars = 8;

struct Chord {
  int root;  // midi, octave 3
  bool minor;
};

constexpr std::array<Chord, kBars> kChords{{{48, false},    // C
                                            {57, true},     // Am
                                            {53, false},    // F
                                            {55, false},    // G
                                            {48, false},    // C
                                            {52, true},     // Em
                                            {53, false},    // F
                                            {55, false}}};  // G, leading back to C

// Melody as (beat within the bar, length in beats, midi) per bar.
const std::vector<std::vector<std::array<double, 3>>> kMelody{
    {{0, 1.5, 76}, {1.5, 0.5, 74}, {2, 1, 72}, {3, 1, 76}}, {{0, 2, 81}, {2, 1, 79}, {3, 1, 76}},
    {{0, 1.5, 77}, {1.5, 0.5, 76}, {2, 1, 74}, {3, 1, 72}}, {{0, 3, 74}},
    {{0, 1.5, 76}, {1.5, 0.5, 74}, {2, 1, 72}, {3, 1, 79}}, {{0, 2, 83}, {2, 1, 79}, {3, 1, 76}},
    {{0, 1.5, 81}, {1.5, 0.5, 79}, {2, 1, 77}, {3, 1, 81}}, {{0, 3, 79}},
};

class Loop {
 public:
  explicit Loop(int length) : left_(length), right_(length) {}

  // A voice: fn(t) gives the sample at t seconds after the start; pan 0 left .. 1 right.
  template <typename Fn>
  void add(double start, double seconds, double pan, Fn fn) {
    const int first = samples(start), count = samples(seconds);
    const double gl = std::cos(pan * std::numbers::pi / 2),
                 gr = std::sin(pan * std::numbers::pi / 2);
    const int n = int(left_.size());
    for (int i = 0; i < count; ++i) {
      const double v = fn(double(i) / kRate);
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
           (std::exp(-t / 0.9) * sine(hz * t) + 0.22 * std::exp(-t / 0.35) * sine(2 * hz * t) +
            0.06 * std::exp(-t / 0.2) * sine(3 * hz * t));
  });
}

void add_bass(Loop& loop, double start, double length, int midi) {
  const double hz = midi_hz(midi);
  loop.add(start, length, 0.5, [=](double t) {
    const double e = envelope(t, length, 0.02, 0.12) * std::exp(-t / 2.0);
    return 0.34 * e * (sine(hz * t) + 0.25 * sine(2 * hz * t));
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

void add_pad(Loop& loop, double start, double length, int midi, double pan) {
  const double hz = midi_hz(midi);
  loop.add(start, length, pan, [=](double t) {
    const double e = envelope(t, length, 0.6, 0.8);
    return 0.035 * e * (sine(hz * 0.998 * t) + sine(hz * 1.002 * t));
  });
}

std::array<std::vector<double>, 2> music() {
  const double bar = 4 * kBeat;
  Loop loop(samples(kBars * bar));
  constexpr std::array<int, 8> arpeggio{0, 2, 3, 2, 1, 2, 3, 2};
  for (int b = 0; b < kBars; ++b) {
    const Chord c = kChords[b];
    const int third = c.root + (c.minor ? 3 : 4);
    const std::array<int, 4> tones{c.root, third, c.root + 7, c.root + 12};
    const double t0 = b * bar;
    for (int e = 0; e < 8; ++e)
      add_piano(loop, t0 + e * kBeat / 2, tones[arpeggio[e]], e % 2 ? 0.13 : 0.16, 0.65);
    const int bass = c.root - 12;
    add_bass(loop, t0, 2 * kBeat, bass);
    add_bass(loop, t0 + 2 * kBeat, 2 * kBeat, b % 4 != 3 ? bass + 7 : bass);
    for (int tone : {c.root + 12, third + 12, c.root + 19}) add_pad(loop, t0, bar + 0.6, tone, 0.6);
    for (const auto& n : kMelody[b]) add_flute(loop, t0 + n[0] * kBeat, n[1] * kBeat, int(n[2]));
  }
  // Two echoes, read circularly so the seam stays clean, spread the sound a little.
  auto& l = loop.left();
  auto& r = loop.right();
  const std::vector<double> dl = l, dr = r;
  const int n = int(l.size()), d1 = samples(0.75 * kBeat), d2 = samples(1.5 * kBeat);
  for (int i = 0; i < n; ++i) {
    l[i] += 0.22 * dr[(i - d1 + n) % n] + 0.1 * dl[(i - d2 + n) % n];
    r[i] += 0.22 * dl[(i - d1 + n) % n] + 0.1 * dr[(i - d2 + n) % n];
  }
  double max = 0;
  for (std::size_t i = 0; i < l.size(); ++i) max = std::max({max, std::abs(l[i]), std::abs(r[i])});
  for (std::size_t i = 0; i < l.size(); ++i) {
    l[i] *= 0.8 / max;
    r[i] *= 0.8 / max;
  }
  return {l, r};
}

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

bool write_wave(const std::string& path, const std::vector<std::vector<double>>& channels) {
  const auto count = std::uint32_t(channels.size());
  const auto frames = std::uint32_t(channels[0].size());
  const std::uint32_t block = 2 * count, data = block * frames;
  std::string out;
  out.reserve(44 + data);
  out += "RIFF";
  put32(out, 36 + data);
  out += "WAVEfmt ";
  put32(out, 16);
  put16(out, 1);  // integer PCM
  put16(out, count);
  put32(out, kRate);
  put32(out, kRate * block);
  put16(out, block);
  put16(out, 16);
  out += "data";
  put32(out, data);
  for (std::uint32_t i = 0; i < frames; ++i)
    for (const auto& c : channels) put16(out, std::uint16_t(to_pcm(c[i])));
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(out.data(), std::streamsize(out.size()));
  return bool(file.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_sounds <output directory>\n";
    return 2;
  }
  const std::string dir = argv[1];
  auto [left, right] = music();
  bool ok = write_wave(dir + "/その他.wav", {chime()});
  ok = write_wave(dir + "/禁止.wav", {refusal()}) && ok;
  ok = write_wave(dir + "/選択.wav", {blip()}) && ok;
  ok = write_wave(dir + "/駒打音.wav", {clack()}) && ok;
  ok = write_wave(dir + "/BGM.wav", {left, right}) && ok;
  if (!ok) std::cerr << "make_sounds: cannot write the wave files into " << dir << "\n";
  return ok ? 0 : 1;
}
