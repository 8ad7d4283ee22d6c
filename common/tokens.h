// White-space separated tokens and the numbers they may hold. Carriage returns, line feeds,
// blanks and tabs (and the other C white-space characters) all separate tokens alike, so line
// breaks carry no meaning in any file the engines read.
//
// A number has the form: optional sign, digits with an optional decimal point and fraction
// (at least one digit in all), optional exponent (e or E, optional sign, digits). "inf", "nan"
// and hexadecimal forms are not numbers. Conversion rounds correctly; single-precision values
// are converted from the text straight to float, never through double.
#pragma once

#include <istream>
#include <string>
#include <string_view>

namespace clustering {

bool isWhiteSpace(char c);

class TokenReader {
 public:
  explicit TokenReader(std::istream& in) : in_(in) {}
  // Reads the next token into `token`; false (token untouched) at the end of the input.
  bool next(std::string& token);

 private:
  std::istream& in_;
};

enum class NumberParse { Ok, NotANumber, OutOfRange };

NumberParse parseNumber(std::string_view text, double& value);
NumberParse parseNumber(std::string_view text, float& value);
// A whole number with optional sign that fits a signed 32-bit integer.
NumberParse parseWholeNumber(std::string_view text, int& value);

}  // namespace clustering
