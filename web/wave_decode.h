// Decodes a checked wave image into the floating-point samples Web Audio plays.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pawnfall {

struct DecodedWave {
  int channels = 0;
  std::uint32_t rate = 0;
  std::size_t frames = 0;
  std::vector<float> samples;  // channel after channel, `frames` each
};

// The image must have passed the wave check; nullopt for anything else it finds.
std::optional<DecodedWave> decode_wave(std::span<const unsigned char> image);

}  // namespace pawnfall
