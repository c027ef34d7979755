// The stored pictures: which codes have one, under which name, and whether in numbered looks.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "model/state.h"

namespace pawnfall {

struct 絵情報 {
  int code;
  std::string_view 名;
  // The empty square and the pieces come in numbered looks (0 marked, 1 and 2 the shades);
  // the tiles and the banner have one picture each.
  bool 番号付き;
};

// clang-format off
inline constexpr std::array<絵情報, 19> 絵の表{{
    {KARA, "KARA", true},
    {W_PORN, "W_PORN", true}, {W_NIGT, "W_NIGT", true}, {W_BSHO, "W_BSHO", true},
    {W_ROOK, "W_ROOK", true}, {W_QUIN, "W_QUIN", true}, {W_KING, "W_KING", true},
    {B_PORN, "B_PORN", true}, {B_NIGT, "B_NIGT", true}, {B_BSHO, "B_BSHO", true},
    {B_ROOK, "B_ROOK", true}, {B_QUIN, "B_QUIN", true}, {B_KING, "B_KING", true},
    {HAIKEI_MIDORI, "HAIKEI_MIDORI", false}, {HAIKEI_TAKE, "HAIKEI_TAKE", false},
    {HAIKEI_TATAMI, "HAIKEI_TATAMI", false}, {HAIKEI_UCHU, "HAIKEI_UCHU", false},
    {HAIKEI_RENGA, "HAIKEI_RENGA", false},
    {TAITORU, "TAITORU", false},
}};
// clang-format on

// The set of pictures drawn for a scale (device pixels per pixel of the starting window): the
// least dense set at least as dense, or the densest; 1 to 4.
constexpr int picture_set(double scale) {
  constexpr int kDensest = 4;
  for (int set = 1; set < kDensest; ++set)
    if (scale <= set + 1e-6) return set;
  return kDensest;
}

constexpr std::optional<絵情報> 絵_コードから(int code) {
  for (const auto& entry : 絵の表)
    if (entry.code == code) return entry;
  return std::nullopt;
}

}  // namespace pawnfall
