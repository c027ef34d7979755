// Decodes a checked wave image into the floating-point samples Web Audio plays. The browser's
// own decoder answers only later (a promise), while the library's operation answers at once.
#include "web/wave_decode.h"

#include <cstring>

#include "soundlib/wave_check.h"

namespace pawnfall {
namespace {

float sample(const unsigned char* p, int bits, bool is_float) {
  switch (bits) {
    case 8:
      return (static_cast<int>(p[0]) - 128) / 128.0f;
    case 16:
      return static_cast<std::int16_t>(le16(p)) / 32768.0f;
    case 24: {
      // Three bytes only: the last sample may end the image.
      const auto u = static_cast<std::uint32_t>(p[0]) << 8 |
                     static_cast<std::uint32_t>(p[1]) << 16 |
                     static_cast<std::uint32_t>(p[2]) << 24;
      return static_cast<float>(static_cast<std::int32_t>(u) / 2147483648.0);
    }
    default: {
      const std::uint32_t u = le32(p);
      if (is_float) {
        float f;
        std::memcpy(&f, &u, sizeof f);
        return f;
      }
      return static_cast<float>(static_cast<std::int32_t>(u) / 2147483648.0);
    }
  }
}

}  // namespace

std::optional<DecodedWave> decode_wave(std::span<const unsigned char> image) {
  if (検査_波形(image) != WaveFault::正常) return std::nullopt;
  const unsigned char* p = image.data();
  const std::size_t end = 8 + std::size_t{le32(p + 4)};
  const unsigned char* fmt = nullptr;
  for (std::size_t pos = 12; end - pos >= 8;) {
    const unsigned char* chunk = p + pos;
    const std::uint32_t length = le32(chunk + 4);
    if (std::memcmp(chunk, "fmt ", 4) == 0 && fmt == nullptr) fmt = chunk + 8;
    if (std::memcmp(chunk, "data", 4) == 0) {
      std::uint16_t encoding = le16(fmt);
      if (encoding == 0xFFFE) encoding = le16(fmt + 24);
      DecodedWave w;
      w.channels = le16(fmt + 2);
      w.rate = le32(fmt + 4);
      const int bits = le16(fmt + 14);
      const std::size_t block = le16(fmt + 12);
      w.frames = length / block;
      w.samples.resize(w.frames * static_cast<std::size_t>(w.channels));
      const unsigned char* data = chunk + 8;
      for (std::size_t f = 0; f < w.frames; ++f)
        for (int c = 0; c < w.channels; ++c)
          w.samples[static_cast<std::size_t>(c) * w.frames + f] = sample(
              data + f * block + static_cast<std::size_t>(c) * (bits / 8), bits, encoding == 3);
      return w;
    }
    pos = std::min(end, pos + 8 + length + (length & 1u));
  }
  return std::nullopt;
}

}  // namespace pawnfall
