// White-space separated tokens and the numbers they may hold. Carriage returns, line feeds,
// blanks and tabs (and the other C white-space characters) all separate tokens alike, so line
// breaks carry no meaning in any file the engines read.
//
// A number has the form: optional sign, digits with an optional decimal point and fraction
// (at least one digit in all), optional exponent (e or E, optional sign, digits). "inf", "nan"
// and hexadecimal forms are not numbers. Conversion rounds correctly; single-precision values
// are converted from the text straight to float, never through double.
//
// A token is never grown beyond MaxTokenLength bytes: a file without white space (or a stray
// binary file) must not take the memory of the machine, so the rest of such a token is passed
// over and the reader says it was cut.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

namespace clustering {

bool isWhiteSpace(char c);

inline constexpr std::size_t MaxTokenLength = std::size_t{1} << 20;

enum class TokenRead {
  Token,    // a whole token
  TooLong,  // a token longer than MaxTokenLength: `token` holds its first MaxTokenLength bytes
  End,      // no token before the end of the input; `token` is untouched
};

class TokenReader {
 public:
  explicit TokenReader(std::istream& in) : in_(in) {}
  TokenRead next(std::string& token);

 private:
  std::istream& in_;
};

enum class NumberParse { Ok, NotANumber, OutOfRange };

NumberParse parseNumber(std::string_view text, double& value);
NumberParse parseNumber(std::string_view text, float& value);
// A whole number with optional sign that fits a signed 32-bit integer.
NumberParse parseWholeNumber(std::string_view text, int& value);

}  // namespace clustering
