// Checks a wave file's image before the sound library, which gets no length, ever sees it.
#include "soundlib/wave_check.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace pawnfall {
namespace {

enum class Encoding : std::uint16_t { pcm = 1, ieee_float = 3, extensible = 0xFFFE };

constexpr std::size_t RIFFヘッダ長 = 8;      // "RIFF" and the body size
constexpr std::size_t WAVEヘッダ長 = 12;     // ... and "WAVE"
constexpr std::size_t チャンクヘッダ長 = 8;  // tag and size
constexpr std::size_t fmt最小長 = 16;
constexpr std::size_t 拡張fmt長 = 40;
constexpr std::size_t 拡張部の長さ位置 = 16;
constexpr std::size_t 副形式位置 = 24;
constexpr std::uint16_t 拡張部最小長 = 22;
constexpr std::uint16_t 最大チャンネル数 = 8;

// The tail shared by every standard sub-format GUID; its first two bytes are the encoding.
constexpr std::array<unsigned char, 14> 副形式GUID末尾 = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                          0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

bool tag_is(const unsigned char* p, const char (&tag)[5]) { return std::memcmp(p, tag, 4) == 0; }

struct 音形式 {
  std::uint16_t チャンネル数 = 0;
  std::uint32_t 周波数 = 0;
  std::uint16_t ブロック長 = 0;
};

// Reads the fmt chunk body; the span holds exactly the chunk's declared bytes.
WaveFault 検査_fmt(std::span<const unsigned char> fmt, 音形式& out) {
  if (fmt.size() < fmt最小長) return WaveFault::fmtが短い;
  const unsigned char* p = fmt.data();
  auto encoding = static_cast<Encoding>(le16(p));
  const std::uint16_t channels = le16(p + 2);
  const std::uint32_t rate = le32(p + 4);
  const std::uint16_t block = le16(p + 12);
  const std::uint16_t bits = le16(p + 14);

  if (encoding == Encoding::extensible) {
    if (fmt.size() < 拡張fmt長 || le16(p + 拡張部の長さ位置) < 拡張部最小長)
      return WaveFault::fmtが短い;
    const unsigned char* guid = p + 副形式位置;
    if (!std::equal(副形式GUID末尾.begin(), 副形式GUID末尾.end(), guid + 2))
      return WaveFault::形式が未対応;
    encoding = static_cast<Encoding>(le16(guid));
  }
  switch (encoding) {
    case Encoding::pcm:
      if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return WaveFault::形式が未対応;
      break;
    case Encoding::ieee_float:
      if (bits != 32) return WaveFault::形式が未対応;
      break;
    default:
      return WaveFault::形式が未対応;
  }
  if (channels == 0 || channels > 最大チャンネル数) return WaveFault::形式が不正;
  if (rate < 波形最低周波数 || rate > 波形最高周波数) return WaveFault::形式が不正;
  if (block != channels * (bits / 8)) return WaveFault::形式が不正;
  out = {channels, rate, block};
  return WaveFault::正常;
}

WaveFault 検査_data(std::uint32_t length, const 音形式& form) {
  if (length == 0) return WaveFault::dataが空;
  if (length % form.ブロック長 != 0) return WaveFault::標本が半端;
  if (length / form.ブロック長 / form.周波数 >= 波形最長秒数) return WaveFault::長すぎる;
  return WaveFault::正常;
}

}  // namespace

WaveFault 検査_波形(std::span<const unsigned char> image) {
  if (image.size() < WAVEヘッダ長) return WaveFault::短すぎる;
  const unsigned char* p = image.data();
  if (!tag_is(p, "RIFF") || !tag_is(p + RIFFヘッダ長, "WAVE")) return WaveFault::RIFFではない;
  if (image.size() > 波形最大バイト数) return WaveFault::大きすぎる;
  // Everything below stays within the body the header declares, which is all the library reads.
  const std::size_t riff_end = RIFFヘッダ長 + le32(p + 4);
  if (riff_end > image.size()) return WaveFault::途中で切れている;
  if (riff_end < WAVEヘッダ長) return WaveFault::RIFFではない;

  bool have_format = false;
  音形式 form;
  std::size_t pos = WAVEヘッダ長;
  while (riff_end - pos >= チャンクヘッダ長) {
    const unsigned char* chunk = p + pos;
    const std::uint32_t length = le32(chunk + 4);
    const std::size_t body = pos + チャンクヘッダ長;
    if (length > riff_end - body) return WaveFault::チャンクがはみ出す;
    if (tag_is(chunk, "fmt ") && !have_format) {
      if (auto fault = 検査_fmt(image.subspan(body, length), form); fault != WaveFault::正常)
        return fault;
      have_format = true;
    } else if (tag_is(chunk, "data")) {
      if (!have_format) return WaveFault::fmtがない;
      return 検査_data(length, form);
    }
    // Chunks are padded to an even length; a missing pad after the last one is harmless.
    pos = std::min(riff_end, body + length + (length & 1u));
  }
  return have_format ? WaveFault::dataがない : WaveFault::fmtがない;
}
}  // namespace pawnfall
