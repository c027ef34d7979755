// The program's wrappers around the sound library.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/state.h"

namespace pawnfall {

inline constexpr std::string_view 警告見出し = "Pawnfall.dll";

void 初期化_サウンド(Game& g, std::int32_t 窓ハンドル);
std::int32_t 読込_サウンド(Game& g, std::string_view ファイル名, std::int32_t フラグ);
void 終了_サウンド(Game& g);
void 表示_警告(Game& g, std::string_view text);

// The buffer operations; each does nothing without a library or on handle 0.
void 音_再生(Game& g, std::int32_t buffer);
void 音_ループ再生(Game& g, std::int32_t buffer);
void 音_停止(Game& g, std::int32_t buffer);
void 音_解放(Game& g, std::int32_t buffer);

}  // namespace pawnfall
