// Doubles to and from decimal text, in the "C" locale whatever the process's own, with the same
// results on every C++ library the game is built with (some lack the double forms of
// std::from_chars and std::to_chars).
#pragma once

#include <string>

namespace pawnfall {

struct DecimalRead {
  enum class Status { Ok, OutOfRange, Invalid } status = Status::Invalid;
  double value = 0;
};

// Reads a whole string of digits with an optional sign, '.' fraction and 'e' exponent (no
// blanks). OutOfRange: beyond what a double holds, too large or too small.
DecimalRead read_decimal(const std::string& text);

// The shortest digits that read back to the same finite double, in fixed notation (no exponent).
std::string shortest_fixed(double value);

}  // namespace pawnfall

namespace pawnfall {

// printf's "%.*g" in the "C" locale: at most `precision` significant digits, trailing zeros
// dropped, an exponent where the number is very large or small.
std::string general_form(double value, int precision);

}  // namespace pawnfall
