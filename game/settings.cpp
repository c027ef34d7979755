// Reading the settings file into the game and saving the game's options and best score.
#include "game/settings.h"

#include "model/backgrounds.h"
#include "model/platform.h"
#include "sound/sound.h"
#include "view/draw.h"

namespace pawnfall {

void チェック設定(Game& g, int code) {
  for (const auto& b : 背景表) g.platform.set_checked(b.item, false);
  if (const auto tile = 背景_コードから(code)) g.platform.set_checked(tile->item, true);
}

namespace {

void 背景を適用(Game& g, int code) {
  チェック設定(g, code);
  描画_背景(g, code);
  g.背景画 = code;
}

// Settings take effect as the file leaves them: a tile named many times is painted once.
void 適用(Game& g, const 設定値& values) {
  if (values.背景画) 背景を適用(g, *values.背景画);
  if (values.移動指導) g.platform.set_checked(MenuItem::SIDOU, *values.移動指導);
  if (values.BGM) {
    g.platform.set_checked(MenuItem::BGM, *values.BGM);
    if (*values.BGM) g.音.loop(音源::音_BGM);
  }
  if (values.過去最高スコア) g.過去最高スコア = *values.過去最高スコア;
}

// The defaults in memory after the default file is made. The music is not started: the mark
// only says what the next start will do.
void 既定を適用(Game& g) {
  背景を適用(g, HAIKEI_MIDORI);
  g.platform.set_checked(MenuItem::SIDOU, false);
  g.platform.set_checked(MenuItem::BGM, true);
  g.過去最高スコア = 0;
}

std::string_view 理由(SaveResult result) {
  switch (result) {
    case SaveResult::NoSpace:
      return "ディスクの空きが足りません。";
    case SaveResult::NotPermitted:
      return "書き込む権限がありません。";
    case SaveResult::NotRegular:
      return "通常のファイルではありません。";
    case SaveResult::Busy:
      return "ほかのウィンドウの保存が終わりません。";
    default:
      return "書き込みに失敗しました。";
  }
}

// The first trouble with the file in a session is told, so the player knows the best score is
// not being kept; later ones would only repeat it.
void 知らせる(Game& g, std::string_view 何, std::string_view 理由) {
  if (g.設定の警告済み) return;
  g.設定の警告済み = true;
  std::string text = "設定ファイル ";
  text.append(設定ファイル名).append(何).append("\r").append(理由);
  g.platform.message_box(text, "Pawnfall", MessageIcon::Warning);
}

constexpr std::string_view 保存できません = " を保存できません。";

設定値 読んだ設定(const FileContents& file) { return 解析_設定(行に分ける(復号_設定(file.bytes))); }

// The old file stays whole on any failure.
void 保存(Game& g, const std::vector<std::string>& lines) {
  const auto bytes = 符号化_設定(lines);
  const SaveResult result =
      bytes ? g.platform.replace_file(設定ファイル名, *bytes) : SaveResult::Failed;
  if (result != SaveResult::Saved) 知らせる(g, 保存できません, 理由(result));
}

}  // namespace

void 読込_環境設定ファイル(Game& g) {
  const FileContents file = g.platform.read_file(設定ファイル名, 設定最大バイト数);
  switch (file.status) {
    case FileStatus::Read:
      適用(g, 読んだ設定(file));
      return;
    case FileStatus::Missing:
      // The first start: make the default file.
      保存(g, 既定の設定());
      既定を適用(g);
      return;
    case FileStatus::Unreadable:
      // A file that is there holds the player's best score even when it cannot be read now:
      // it is left as it is, and the game runs on the defaults in memory.
      知らせる(g, " を読み込めません。", file.reason + "\r既定の設定で始めます。");
      既定を適用(g);
      return;
    case FileStatus::NotRegular:
      // A pipe or device at the name is left alone: the game runs on the defaults in memory.
      既定を適用(g);
      return;
  }
}

void 書込_環境設定ファイル(Game& g) {
  std::optional<int> 背景画;
  for (const auto& b : 背景表) {
    if (g.platform.checked(b.item)) {
      背景画 = b.code;
      break;
    }
  }
  // Windows may share the file: the higher best score is kept whichever saves last. The lock
  // holds from reading the stored best to replacing the file, so none saves in between. The
  // options written are this window's own, and the state in memory stays as it is.
  const auto lock = g.platform.lock_file(設定ファイル名);
  if (!lock) return 知らせる(g, 保存できません, 理由(SaveResult::Busy));
  double 最高 = g.過去最高スコア;
  const FileContents file = g.platform.read_file(設定ファイル名, 設定最大バイト数);
  // A file that cannot be read may hold a higher best: it is not written over.
  if (file.status == FileStatus::Unreadable) return 知らせる(g, 保存できません, file.reason);
  if (file.status == FileStatus::Read) {
    const auto saved = 読んだ設定(file).過去最高スコア;
    if (saved && *saved > 最高) 最高 = *saved;
  }
  保存(g, 書式_設定(背景画, g.platform.checked(MenuItem::SIDOU), g.platform.checked(MenuItem::BGM),
                    最高));
}

}  // namespace pawnfall
