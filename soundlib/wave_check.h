// Checks a wave file's image before the sound library, which gets no length, ever sees it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "soundlib/image_limit.h"

namespace pawnfall {

// What is wrong with a wave image, or 正常 when nothing is.
enum class WaveFault {
  正常,
  短すぎる,            // not even a RIFF header
  RIFFではない,        // no "RIFF" ... "WAVE" tags
  大きすぎる,          // above the largest image the library accepts
  途中で切れている,    // the RIFF header declares more bytes than the file holds
  チャンクがはみ出す,  // a chunk reaches past the declared RIFF body
  fmtがない,           // no format chunk before the data
  fmtが短い,           // format chunk too short to describe the samples
  形式が未対応,        // an encoding other than integer PCM or 32-bit float
  形式が不正,          // channels, rate, sample size or block size that make no sense
  dataがない,          // no data chunk
  dataが空,            // a data chunk without a single sample
  標本が半端,          // data that does not end on a whole sample frame
  長すぎる,            // longer than the longest sound accepted
};

// Largest image accepted, header included.
inline constexpr std::size_t 波形最大バイト数 = DS_MAX_IMAGE_BYTES;
// Longest sound accepted, so that no file decodes into an unreasonable amount of memory.
inline constexpr std::uint32_t 波形最長秒数 = 300;
// Sample rates the mixer converts from without trouble.
inline constexpr std::uint32_t 波形最低周波数 = 8000;
inline constexpr std::uint32_t 波形最高周波数 = 192000;

// Little-endian fields of a RIFF image.
inline std::uint16_t le16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Checks the whole image of a file; the span's size is the file's real size.
WaveFault 検査_波形(std::span<const unsigned char> image);

}  // namespace pawnfall
