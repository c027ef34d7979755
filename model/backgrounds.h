// The five background tiles: code, menu item and the name the settings file and menu use.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "model/platform.h"
#include "model/state.h"

namespace pawnfall {

struct 背景 {
  int code;
  MenuItem item;
  std::string_view 名;
};

// In the order the settings writer looks for the checked tile and its marks are cleared.
inline constexpr std::array<背景, 5> 背景表{{
    {HAIKEI_MIDORI, MenuItem::MIDORI, "緑"},
    {HAIKEI_TAKE, MenuItem::TAKE, "竹"},
    {HAIKEI_TATAMI, MenuItem::TATAMI, "畳"},
    {HAIKEI_UCHU, MenuItem::UCHU, "宇宙"},
    {HAIKEI_RENGA, MenuItem::RENGA, "煉瓦"},
}};

constexpr std::optional<背景> 背景_コードから(int code) {
  for (const auto& b : 背景表)
    if (b.code == code) return b;
  return std::nullopt;
}

constexpr std::optional<背景> 背景_名から(std::string_view 名) {
  for (const auto& b : 背景表)
    if (b.名 == 名) return b;
  return std::nullopt;
}

}  // namespace pawnfall
