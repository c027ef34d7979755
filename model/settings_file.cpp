// The settings file Pawnfall.ini as text: its bytes, lines and values.
#include "model/settings_file.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "model/backgrounds.h"
#include "model/decimal_text.h"

namespace pawnfall {
namespace {

constexpr std::string_view 鍵_背景画 = "背景画";
constexpr std::string_view 鍵_移動指導 = "移動指導";
constexpr std::string_view 鍵_BGM = "BGM";
constexpr std::string_view 鍵_過去最高スコア = "過去最高スコア";
constexpr std::string_view 値_ON = "ON";
constexpr std::string_view 値_OFF = "OFF";

std::string 行(std::string_view 鍵, std::string_view 値) {
  std::string line(鍵);
  line += '=';
  line += 値;
  return line;
}

bool 空白(char c) { return c == ' ' || c == '\t' || c == '\n'; }

std::string_view 空白を除く(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}
bool 数字(char c) { return c >= '0' && c <= '9'; }
bool 英字(char c, char upper) { return c == upper || c == upper + ('a' - 'A'); }

int 桁値(char c) {
  if (数字(c)) return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Hands out the characters of a value with blanks, tabs and line feeds left out.
class 文字列読み {
 public:
  explicit 文字列読み(std::string_view text) : text_(text) { skip(); }
  bool end() const { return pos_ >= text_.size(); }
  char peek() const { return end() ? '\0' : text_[pos_]; }
  char peek_after() const {
    std::size_t p = pos_ + 1;
    while (p < text_.size() && 空白(text_[p])) ++p;
    return p < text_.size() ? text_[p] : '\0';
  }
  void next() {
    ++pos_;
    skip();
  }

 private:
  void skip() {
    while (pos_ < text_.size() && 空白(text_[pos_])) ++pos_;
  }
  std::string_view text_;
  std::size_t pos_ = 0;
};

double 基数読取(文字列読み& r, int base) {
  double value = 0;
  for (int d = 桁値(r.peek()); d >= 0 && d < base; d = 桁値(r.peek())) {
    value = value * base + d;
    r.next();
  }
  return std::isinf(value) ? std::numeric_limits<double>::max() : value;
}

// The power of ten of the first nonzero digit of int.frac × 10^±exp, saturated; only asked
// about numbers that have a nonzero digit.
long long 桁位置(const std::string& 整数部, const std::string& 小数部, const std::string& 指数部,
                 bool 指数負) {
  constexpr long long 上限 = 1'000'000'000'000LL;
  long long m = 0;
  if (const auto i = 整数部.find_first_not_of('0'); i != std::string::npos)
    m = static_cast<long long>(整数部.size() - i) - 1;
  else if (const auto j = 小数部.find_first_not_of('0'); j != std::string::npos)
    m = -static_cast<long long>(j) - 1;
  const auto k = 指数部.find_first_not_of('0');
  long long e = 0;
  if (k != std::string::npos) e = 指数部.size() - k > 12 ? 上限 : std::stoll(指数部.substr(k));
  return m + (指数負 ? -e : e);
}

// The settings file's code page: Shift_JIS with the Windows extensions.
constexpr char 設定符号[] = "CP932";

enum class 変換不能 { 置換, 失敗 };

// A converter between code pages. A C library that knows the code page only by its plain name
// (musl's, in the browser build) gets that: the settings file's characters are the same in both.
iconv_t 変換器(const char* to, const char* from) {
  const iconv_t cd = iconv_open(to, from);
  if (cd != reinterpret_cast<iconv_t>(-1)) return cd;
  auto plain = [](const char* name) {
    return std::strcmp(name, 設定符号) == 0 ? "SHIFT_JIS" : name;
  };
  return iconv_open(plain(to), plain(from));
}

// Converts text between code pages with the C library's iconv, which costs far less memory
// than loading ICU for one small file. A code unit (of `unit` bytes) that does not decode becomes
// U+FFFD when asked to, and the rest is read in step after it.
std::optional<std::string> 符号変換(std::string_view input, const char* to, const char* from,
                                    変換不能 on_error, std::size_t unit = 1) {
  const iconv_t cd = 変換器(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  constexpr std::string_view 置換文字 = "\xEF\xBF\xBD";
  // Every input byte becomes at most three output bytes: CP932 to UTF-8 is the widest case.
  std::string out(input.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  char* to_ptr = out.data();
  std::size_t out_left = out.size();
  // The input goes in windows of a few kilobytes, so a file full of bad bytes costs time in
  // proportion to its size: each call after a bad byte would otherwise look at all the rest.
  constexpr std::size_t 窓 = 4096;
  bool ok = true;
  while (in_left > 0 && ok) {
    const std::size_t window = std::min(in_left, 窓);
    std::size_t window_left = window;
    const bool converted =
        iconv(cd, &in, &window_left, &to_ptr, &out_left) != static_cast<std::size_t>(-1);
    const bool at_end = window == in_left;
    in_left -= window - window_left;
    if (converted) continue;
    // A character cut by the window's edge is taken whole by the next window.
    if (errno == EINVAL && !at_end) continue;
    const bool bad_input = errno == EILSEQ || errno == EINVAL;
    ok = bad_input && on_error == 変換不能::置換 && out_left >= 置換文字.size();
    if (ok) {
      std::memcpy(to_ptr, 置換文字.data(), 置換文字.size());
      to_ptr += 置換文字.size();
      out_left -= 置換文字.size();
      const std::size_t skipped = std::min(unit, in_left);
      in += skipped;
      in_left -= skipped;
    }
  }
  iconv_close(cd);
  if (!ok) return std::nullopt;
  out.resize(out.size() - out_left);
  return out;
}

// Whether the bytes are well-formed UTF-8: no overlong forms, surrogates or values past U+10FFFF.
bool UTF8か(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    std::size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // the allowed range of the first continuation byte
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      n = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 2;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 3;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    if (bytes.size() - i <= n) return false;
    for (std::size_t k = 1; k <= n; ++k) {
      const auto t = static_cast<unsigned char>(bytes[i + k]);
      if (t < (k == 1 ? lo : 0x80) || t > (k == 1 ? hi : 0xBF)) return false;
    }
    i += n + 1;
  }
  return true;
}

// UTF-8 after a byte-order mark, with bytes that do not decode as U+FFFD.
std::string 有効なUTF8(std::string_view bytes) {
  return 符号変換(bytes, "UTF-8", "UTF-8", 変換不能::置換).value_or("");
}

}  // namespace

double 数値読取(std::string_view text) {
  文字列読み r(text);
  if (r.peek() == '&') {
    r.next();
    if (英字(r.peek(), 'H')) {
      r.next();
      return 基数読取(r, 16);
    }
    if (英字(r.peek(), 'O')) {
      r.next();
      return 基数読取(r, 8);
    }
    return 0;
  }

  // Collect the number without its blanks, then let from_chars do the conversion.
  bool negative = false;
  if (r.peek() == '+' || r.peek() == '-') {
    negative = r.peek() == '-';
    r.next();
  }
  std::string 整数部, 小数部, 指数部;
  while (数字(r.peek())) {
    整数部 += r.peek();
    r.next();
  }
  if (r.peek() == '.') {
    r.next();
    while (数字(r.peek())) {
      小数部 += r.peek();
      r.next();
    }
  }
  if (整数部.empty() && 小数部.empty()) return 0;
  bool 指数負 = false;
  if (英字(r.peek(), 'E')) {
    const char after = r.peek_after();
    if (数字(after) || after == '+' || after == '-') {
      r.next();
      if (r.peek() == '+' || r.peek() == '-') {
        指数負 = r.peek() == '-';
        r.next();
      }
      while (数字(r.peek())) {
        指数部 += r.peek();
        r.next();
      }
    }
  }

  std::string number = (整数部.empty() ? "0" : 整数部);
  if (!小数部.empty()) number += "." + 小数部;
  if (!指数部.empty()) number += std::string(指数負 ? "e-" : "e") + 指数部;

  const DecimalRead read = read_decimal(number);
  double value = read.value;
  if (read.status == DecimalRead::Status::OutOfRange)
    // Beyond a double: far too large gives the largest double, far too small gives 0.
    value = 桁位置(整数部, 小数部, 指数部, 指数負) >= 0 ? std::numeric_limits<double>::max() : 0.0;
  else if (read.status != DecimalRead::Status::Ok)
    value = 0;
  return negative ? -value : value;
}

std::string 十進表記(double value) {
  if (value == 0 || std::isnan(value)) return "0";  // no "-0"
  if (std::isinf(value))
    value = value > 0 ? std::numeric_limits<double>::max() : std::numeric_limits<double>::lowest();
  return shortest_fixed(value);
}

設定値 解析_設定(const std::vector<std::string>& lines) {
  設定値 values;
  for (const std::string_view line : lines) {
    const auto eq = line.find('=');
    // A line without "=" is skipped like an unknown key: a blank line in a hand-edited file must
    // not cost the player the best score.
    if (eq == std::string_view::npos) continue;
    // Blanks and tabs around the key, the sign and the value are a hand-editor's spacing.
    const std::string_view 鍵 = 空白を除く(line.substr(0, eq));
    const std::string_view 値 = 空白を除く(line.substr(eq + 1));
    if (鍵 == 鍵_背景画) {
      if (const auto tile = 背景_名から(値)) values.背景画 = tile->code;
    } else if (鍵 == 鍵_移動指導) {
      values.移動指導 = 値 == 値_ON;
    } else if (鍵 == 鍵_BGM) {
      values.BGM = 値 == 値_ON;
    } else if (鍵 == 鍵_過去最高スコア) {
      values.過去最高スコア = 数値読取(値);
    }
  }
  return values;
}

std::vector<std::string> 書式_設定(std::optional<int> 背景画, bool 移動指導, bool BGM,
                                   double 過去最高スコア) {
  std::vector<std::string> lines;
  if (const auto tile = 背景画 ? 背景_コードから(*背景画) : std::nullopt)
    lines.push_back(行(鍵_背景画, tile->名));
  lines.push_back(行(鍵_移動指導, 移動指導 ? 値_ON : 値_OFF));
  lines.push_back(行(鍵_BGM, BGM ? 値_ON : 値_OFF));
  lines.push_back(行(鍵_過去最高スコア, 十進表記(過去最高スコア)));
  return lines;
}

std::vector<std::string> 既定の設定() { return 書式_設定(HAIKEI_MIDORI, false, true, 0); }

std::string 復号_設定(std::string_view bytes) {
  constexpr std::string_view bom = "\xEF\xBB\xBF";
  if (bytes.starts_with(bom)) return 有効なUTF8(bytes.substr(bom.size()));
  // Some editors save as UTF-16, always with a byte-order mark that says which way round.
  for (const auto& [mark, code] :
       {std::pair{"\xFF\xFE", "UTF-16LE"}, std::pair{"\xFE\xFF", "UTF-16BE"}})
    if (bytes.starts_with(mark))
      return 符号変換(bytes.substr(2), "UTF-8", code, 変換不能::置換, 2).value_or("");
  // Shift_JIS text with any Japanese in it is almost never valid UTF-8, and the game's own
  // file always holds Japanese keys, so a file that is valid UTF-8 came from another editor.
  if (UTF8か(bytes)) return std::string(bytes);
  return 符号変換(bytes, "UTF-8", 設定符号, 変換不能::置換).value_or("");
}

std::optional<std::string> 符号化_設定(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text.append(line).append("\r\n");
  return 符号変換(text, 設定符号, "UTF-8", 変換不能::失敗);
}

std::vector<std::string> 行に分ける(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
  }
  return lines;
}

}  // namespace pawnfall
