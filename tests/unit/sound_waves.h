// Small wave images built in memory, and a scratch directory to run from, for the sound tests.
#pragma once

#include <stdlib.h>

#include <cerrno>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace pawnfall::test {

using Bytes = std::vector<unsigned char>;

inline void put16(Bytes& out, unsigned v) {
  out.push_back(static_cast<unsigned char>(v & 0xFF));
  out.push_back(static_cast<unsigned char>(v >> 8 & 0xFF));
}

inline void put32(Bytes& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

inline void put_tag(Bytes& out, std::string_view tag) {
  out.insert(out.end(), tag.begin(), tag.end());
}

// The fields of a "fmt " chunk.
struct WaveFormat {
  unsigned encoding = 1;  // integer PCM
  unsigned channels = 2;
  std::uint32_t rate = 32000;  // the library's output rate: no resampling, exact samples
  unsigned bits = 16;
  unsigned block() const { return channels * bits / 8; }
};

inline Bytes fmt_body(const WaveFormat& f) {
  Bytes b;
  put16(b, f.encoding);
  put16(b, f.channels);
  put32(b, f.rate);
  put32(b, f.rate * f.block());
  put16(b, f.block());
  put16(b, f.bits);
  return b;
}

inline void put_chunk(Bytes& out, std::string_view tag, const Bytes& body) {
  put_tag(out, tag);
  put32(out, static_cast<std::uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() % 2) out.push_back(0);
}

// RIFF/WAVE around the given chunks, with the correct body size.
inline Bytes riff(const Bytes& chunks) {
  Bytes out;
  put_tag(out, "RIFF");
  put32(out, static_cast<std::uint32_t>(4 + chunks.size()));
  put_tag(out, "WAVE");
  out.insert(out.end(), chunks.begin(), chunks.end());
  return out;
}

// 16-bit samples as little-endian bytes.
inline Bytes pcm16(const std::vector<std::int16_t>& samples) {
  Bytes b;
  for (auto s : samples) put16(b, static_cast<std::uint16_t>(s));
  return b;
}

// A 16-bit stereo wave at 32 kHz (the mixer's own format, so it is played sample for sample)
// whose frames hold the given value in both channels.
inline Bytes stereo_wave(const std::vector<std::int16_t>& frames) {
  std::vector<std::int16_t> samples;
  for (auto v : frames) samples.insert(samples.end(), {v, v});
  Bytes chunks;
  put_chunk(chunks, "fmt ", fmt_body({}));
  put_chunk(chunks, "data", pcm16(samples));
  return riff(chunks);
}

inline std::vector<std::int16_t> constant_frames(std::size_t count, std::int16_t value) {
  return std::vector<std::int16_t>(count, value);
}

// Frame k holds step * (k + 1): each frame tells its own position in the wave.
inline std::vector<std::int16_t> ramp_frames(std::size_t count, int step) {
  std::vector<std::int16_t> v(count);
  for (std::size_t k = 0; k < count; ++k) v[k] = static_cast<std::int16_t>(step * int(k + 1));
  return v;
}

inline void write_file(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// A fresh directory that is the current directory for the object's life.
class ScratchDirectory {
 public:
  ScratchDirectory() : previous_(std::filesystem::current_path()) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pawnfall-sound-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
      throw std::filesystem::filesystem_error("mkdtemp",
                                              std::error_code(errno, std::generic_category()));
    path_ = pattern;
    std::filesystem::current_path(path_);
  }
  ~ScratchDirectory() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

}  // namespace pawnfall::test
