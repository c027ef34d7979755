// PLACEHOLDER: sound wrappers (being written).
#include "sound/sound.h"
namespace pawnfall {
void 初期化_サウンド(Game&, std::int32_t) {}
std::int32_t 読込_サウンド(Game&, std::string_view, std::int32_t) { return 0; }
void 終了_サウンド(Game&) {}
void 表示_警告(Game&, std::string_view) {}
void 音_再生(Game&, std::int32_t) {}
void 音_ループ再生(Game&, std::int32_t) {}
void 音_停止(Game&, std::int32_t) {}
void 音_解放(Game&, std::int32_t) {}
}  // namespace pawnfall
