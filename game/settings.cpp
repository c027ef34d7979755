// Reading the settings file into the game and saving the game's options and best score.
#include "game/settings.h"

#include <algorithm>
#include <optional>
#include <string>

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
SaveResult 保存(Game& g, const std::vector<std::string>& lines) {
  const auto bytes = 符号化_設定(lines);
  return bytes ? g.platform.replace_file(設定ファイル名, *bytes) : SaveResult::Failed;
}

// This window's options; after a start that could not read the file, the file's own value of
// each option the player has not chosen since, which the game never knew.
設定値 書く設定(Game& g, const 設定値& stored) {
  設定値 values;
  for (const auto& b : 背景表) {
    if (g.platform.checked(b.item)) {
      values.背景画 = b.code;
      break;
    }
  }
  values.移動指導 = g.platform.checked(MenuItem::SIDOU);
  values.BGM = g.platform.checked(MenuItem::BGM);
  if (g.設定を読めなかった) {
    if (!g.選んだ設定.背景画 && stored.背景画) values.背景画 = stored.背景画;
    if (!g.選んだ設定.移動指導 && stored.移動指導) values.移動指導 = stored.移動指導;
    if (!g.選んだ設定.BGM && stored.BGM) values.BGM = stored.BGM;
  }
  return values;
}

// Reads the stored best, writes the file and reads it back; answers why it failed, if it did.
// A window that saved between the read and the write can only have done so without the lock
// (some file systems honour none): where the file then holds a lower best than this save's,
// it is written once more, with the other window's options and the higher best.
std::optional<std::string> 読んで保存(Game& g) {
  FileContents file = g.platform.read_file(設定ファイル名, 設定最大バイト数);
  // A file that cannot be read may hold a higher best: it is not written over.
  if (file.status == FileStatus::Unreadable) return file.reason;
  設定値 stored = file.status == FileStatus::Read ? 読んだ設定(file) : 設定値{};
  設定値 values = 書く設定(g, stored);
  const double 最高 = std::max(g.過去最高スコア, stored.過去最高スコア.value_or(g.過去最高スコア));
  for (int attempt = 0; attempt < 3; ++attempt) {
    const SaveResult result =
        保存(g, 書式_設定(values.背景画, *values.移動指導, *values.BGM, 最高));
    if (result != SaveResult::Saved) return std::string(理由(result));
    file = g.platform.read_file(設定ファイル名, 設定最大バイト数);
    if (file.status != FileStatus::Read) break;
    stored = 読んだ設定(file);
    if (stored.過去最高スコア.value_or(0) >= 最高) break;
    if (stored.背景画) values.背景画 = stored.背景画;
    if (stored.移動指導) values.移動指導 = stored.移動指導;
    if (stored.BGM) values.BGM = stored.BGM;
  }
  return std::nullopt;
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
      if (const SaveResult result = 保存(g, 既定の設定()); result != SaveResult::Saved)
        知らせる(g, 保存できません, 理由(result));
      既定を適用(g);
      return;
    case FileStatus::Unreadable:
      // A file that is there holds the player's best score even when it cannot be read now:
      // it is left as it is, and the game runs on the defaults in memory.
      知らせる(g, " を読み込めません。", file.reason + "\r既定の設定で始めます。");
      既定を適用(g);
      g.設定を読めなかった = true;
      return;
    case FileStatus::NotRegular:
      // A pipe or device at the name is left alone: the game runs on the defaults in memory.
      既定を適用(g);
      return;
  }
}

void 最高スコアを守る(Game& g) {
  // Another copy of the game has just replaced the file. It may have read the file before this
  // one's save reached it, and written a lower best: this one's best goes back, with the
  // options the file now holds. Nothing is told: the other copy has told what it had to.
  const auto lock = g.platform.lock_file(設定ファイル名);
  if (!lock) return;
  const FileContents file = g.platform.read_file(設定ファイル名, 設定最大バイト数);
  if (file.status != FileStatus::Read) return;
  const 設定値 stored = 読んだ設定(file);
  if (stored.過去最高スコア.value_or(0) >= g.過去最高スコア) return;
  const 設定値 mine = 書く設定(g, stored);
  保存(g, 書式_設定(stored.背景画 ? stored.背景画 : mine.背景画,
                    stored.移動指導.value_or(*mine.移動指導), stored.BGM.value_or(*mine.BGM),
                    g.過去最高スコア));
}

void 書込_環境設定ファイル(Game& g) {
  // Windows may share the file: the higher best score is kept whichever saves last. The lock
  // holds from reading the stored best to replacing the file, so none saves in between. The
  // state in memory stays as it is.
  std::optional<std::string> failure;
  {
    const auto lock = g.platform.lock_file(設定ファイル名);
    failure = lock ? 読んで保存(g) : std::string(理由(SaveResult::Busy));
  }
  // Told once the lock is let go: another window may save while the box waits for the player.
  if (failure) 知らせる(g, 保存できません, *failure);
}

}  // namespace pawnfall
