// Doubles to and from decimal text, in the "C" locale whatever the process's own.
#include "model/decimal_text.h"

#include <locale.h>
#include <stdlib.h>

#include <cerrno>
#include <cmath>
#include <cstdio>

namespace pawnfall {
namespace {

// The window system sets the process's locale from the environment, whose decimal point may be
// a comma; the settings file always has '.'.
locale_t c_locale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c;
}

}  // namespace

DecimalRead read_decimal(const std::string& text) {
  if (text.empty()) return {};
  char* end = nullptr;
  errno = 0;
  const double value = strtod_l(text.c_str(), &end, c_locale());
  if (end != text.c_str() + text.size()) return {};
  // A result that lost every digit (an infinity or a zero from non-zero digits) is out of range;
  // a subnormal one still stands for the text.
  if (errno == ERANGE && (std::isinf(value) || value == 0))
    return {DecimalRead::Status::OutOfRange, 0};
  return {DecimalRead::Status::Ok, value};
}

std::string shortest_fixed(double value) {
  if (!std::isfinite(value)) return "0";
  // d.ddd…e±x with `precision` digits after the point; the process's decimal point, whatever it
  // is, becomes '.'.
  auto exponent_form = [value](int precision) {
    char text[40];
    std::snprintf(text, sizeof text, "%.*e", precision, value);
    std::string s(text);
    for (char& c : s)
      if (c != '-' && c != '+' && c != 'e' && (c < '0' || c > '9')) c = '.';
    return s;
  };
  // The fewest significant digits that read back to the value.
  std::string form;
  for (int precision = 0; precision <= 17; ++precision) {
    form = exponent_form(precision);
    if (read_decimal(form).value == value) break;
  }
  const bool negative = form[0] == '-';
  const std::size_t e = form.find('e');
  std::string mantissa;
  for (std::size_t i = 0; i < e; ++i)
    if (form[i] >= '0' && form[i] <= '9') mantissa += form[i];
  // mantissa stands for d.ddd × 10^exponent: place the point.
  const int point = std::atoi(form.c_str() + e + 1) + 1;  // digits before the point
  std::string out;
  if (point <= 0) {
    out = "0." + std::string(static_cast<std::size_t>(-point), '0') + mantissa;
  } else if (static_cast<std::size_t>(point) >= mantissa.size()) {
    out = mantissa + std::string(static_cast<std::size_t>(point) - mantissa.size(), '0');
  } else {
    out = mantissa.substr(0, static_cast<std::size_t>(point)) + "." +
          mantissa.substr(static_cast<std::size_t>(point));
  }
  return negative ? "-" + out : out;
}

}  // namespace pawnfall

namespace pawnfall {

std::string general_form(double value, int precision) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*g", precision, value);
  std::string s(text);
  for (char& c : s)
    if (c != '-' && c != '+' && c != 'e' && c != 'i' && c != 'n' && c != 'f' && c != 'a' &&
        (c < '0' || c > '9'))
      c = '.';
  return s;
}

}  // namespace pawnfall
