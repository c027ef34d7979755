// The player's words for what is wrong with a wave file.
#include "sound/wave_text.h"

namespace pawnfall {

std::string_view 説明_波形(WaveFault fault) {
  switch (fault) {
    case WaveFault::正常:
      return "正常なWAVEファイルです。";
    case WaveFault::短すぎる:
      return "ファイルが短すぎて、WAVEファイルではありません。";
    case WaveFault::RIFFではない:
      return "RIFF/WAVE形式のファイルではありません。";
    case WaveFault::大きすぎる:
      return "ファイルが大きすぎます。";
    case WaveFault::途中で切れている:
      return "ファイルが途中で切れています。";
    case WaveFault::チャンクがはみ出す:
      return "チャンクの大きさがファイルの終わりを越えています。";
    case WaveFault::fmtがない:
      return "音のデータの前に形式(fmtチャンク)がありません。";
    case WaveFault::fmtが短い:
      return "形式(fmtチャンク)が短すぎます。";
    case WaveFault::形式が未対応:
      return "対応していない音の形式です。整数のPCMか32ビット浮動小数点のみ再生できます。";
    case WaveFault::形式が不正:
      return "チャンネル数、周波数または標本の大きさが正しくありません。";
    case WaveFault::dataがない:
      return "音のデータ(dataチャンク)がありません。";
    case WaveFault::dataが空:
      return "音のデータが空です。";
    case WaveFault::標本が半端:
      return "音のデータが標本の区切りで終わっていません。";
    case WaveFault::長すぎる:
      return "音が長すぎます。";
  }
  return "WAVEファイルを確かめられません。";
}

}  // namespace pawnfall
