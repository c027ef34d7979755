// The settings file Pawnfall.ini as text: its bytes, lines and values, without any file or window.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pawnfall {

inline constexpr std::string_view 設定ファイル名 = "Pawnfall.ini";
// The most of the file ever read: a valid file is under 100 bytes, and anything at that name
// must cost bounded time and memory.
inline constexpr std::size_t 設定最大バイト数 = std::size_t{1} << 20;

// What a file says, each setting as its last valid line left it; unset where no line says.
struct 設定値 {
  std::optional<int> 背景画;  // a tile code
  std::optional<bool> 移動指導;
  std::optional<bool> BGM;
  std::optional<double> 過去最高スコア;
};

// The settings the lines name; a line without "=" or with an unknown key says nothing. Blanks
// and tabs around the key and the value do not count.
設定値 解析_設定(const std::vector<std::string>& lines);
// The four lines in their order; no background line when no tile is named.
std::vector<std::string> 書式_設定(std::optional<int> 背景画, bool 移動指導, bool BGM,
                                   double 過去最高スコア);
// The lines a first start writes.
std::vector<std::string> 既定の設定();

// The file's bytes as UTF-8 text. A leading byte-order mark says UTF-8 or UTF-16; text that is
// valid UTF-8 is taken as UTF-8; everything else as Shift_JIS (with the Windows extensions).
// Bad bytes become U+FFFD.
std::string 復号_設定(std::string_view bytes);
// UTF-8 lines as the file is written: Shift_JIS, each line ended by CR LF; nullopt when a line
// holds a character Shift_JIS cannot show.
std::optional<std::string> 符号化_設定(const std::vector<std::string>& lines);
// CR LF, a lone LF and a lone CR each end a line; a last line without an ending counts when it
// is not empty.
std::vector<std::string> 行に分ける(std::string_view text);

// The number at the start of a value: blanks skipped, sign, digits, point, exponent, &H, &O.
double 数値読取(std::string_view text);
// Plain decimal: no exponent, no separators, a point only for a fraction.
std::string 十進表記(double value);

}  // namespace pawnfall
