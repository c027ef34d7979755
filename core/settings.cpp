// The settings file Pawnfall.ini: the options and the best score between runs.
#include "core/settings.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <vector>

#include "core/backgrounds.h"
#include "core/platform.h"
#include "sound/sound.h"
#include "view/draw.h"

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

void 背景を適用(Game& g, int code) {
  チェック設定(g, code);
  描画_背景(g, code);
  g.背景画 = code;
}

void 一行を適用(Game& g, std::string_view line) {
  const auto eq = line.find('=');
  // A line without "=" is skipped like an unknown key: a blank line in a hand-edited file must
  // not cost the player the best score.
  if (eq == std::string_view::npos) return;
  const std::string_view 鍵 = line.substr(0, eq);
  const std::string_view 値 = line.substr(eq + 1);
  if (鍵 == 鍵_背景画) {
    if (const auto tile = 背景_名から(値)) 背景を適用(g, tile->code);
  } else if (鍵 == 鍵_移動指導) {
    g.platform.set_checked(MenuItem::SIDOU, 値 == 値_ON);
  } else if (鍵 == 鍵_BGM) {
    if (値 == 値_ON) {
      g.platform.set_checked(MenuItem::BGM, true);
      音_ループ再生(g, g.音_BGM);
    } else {
      g.platform.set_checked(MenuItem::BGM, false);
    }
  } else if (鍵 == 鍵_過去最高スコア) {
    g.過去最高スコア = 数値読取(値);
  }
}

std::vector<std::string> 既定の行() {
  return {行(鍵_背景画, "緑"), 行(鍵_移動指導, 値_OFF), 行(鍵_BGM, 値_ON),
          行(鍵_過去最高スコア, "0")};
}

// The defaults in memory after the default file is made. The music is not started: the mark
// only says what the next start will do.
void 既定を適用(Game& g) {
  背景を適用(g, HAIKEI_MIDORI);
  g.platform.set_checked(MenuItem::SIDOU, false);
  g.platform.set_checked(MenuItem::BGM, true);
  g.過去最高スコア = 0;
}

bool 空白(char c) { return c == ' ' || c == '\t' || c == '\n'; }
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

  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec == std::errc::result_out_of_range)
    // Beyond a double: far too large gives the largest double, far too small gives 0.
    value = 桁位置(整数部, 小数部, 指数部, 指数負) >= 0 ? std::numeric_limits<double>::max() : 0.0;
  else if (ec != std::errc{} || end != number.data() + number.size())
    value = 0;
  return negative ? -value : value;
}

std::string 十進表記(double value) {
  if (value == 0 || std::isnan(value)) return "0";  // no "-0"
  if (std::isinf(value))
    value = value > 0 ? std::numeric_limits<double>::max() : std::numeric_limits<double>::lowest();
  // The shortest digits that read back to the same double, in fixed notation.
  std::array<char, 400> buffer{};
  const auto [end, ec] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
  if (ec != std::errc{}) return "0";
  return std::string(buffer.data(), end);
}

void 読込_環境設定ファイル(Game& g) {
  const auto lines = g.platform.read_text_lines(設定ファイル名);
  if (!lines) {
    // No file to be read (the usual case: the first start): make the default one.
    g.platform.replace_text_file(設定ファイル名, 既定の行());
    既定を適用(g);
    return;
  }
  for (const auto& line : *lines) 一行を適用(g, line);
}

void 書込_環境設定ファイル(Game& g) {
  std::vector<std::string> lines;
  for (const auto& b : 背景表) {
    if (g.platform.checked(b.item)) {
      lines.push_back(行(鍵_背景画, b.名));
      break;
    }
  }
  lines.push_back(行(鍵_移動指導, g.platform.checked(MenuItem::SIDOU) ? 値_ON : 値_OFF));
  lines.push_back(行(鍵_BGM, g.platform.checked(MenuItem::BGM) ? 値_ON : 値_OFF));
  lines.push_back(行(鍵_過去最高スコア, 十進表記(g.過去最高スコア)));
  // A failed replacement leaves the old file whole; the state in memory stays as it is and is
  // written with the next change.
  g.platform.replace_text_file(設定ファイル名, lines);
}

}  // namespace pawnfall
