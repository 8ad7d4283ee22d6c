// The one way the engines print a value: as C's "%f" (and "%lf") prints a double, in fixed
// notation with six decimals and a leading minus for negative values: 0.5 is 0.500000,
// -1234.5 is -1234.500000, 1e-7 is 0.000000. The listing holds every value of the matrix, so
// the text is made by std::to_chars, which the language defines to print as "%f" does and
// which is a few times faster than printf.
#pragma once

#include <cstddef>
#include <string>

namespace clustering {

// Room for any double: the largest prints 309 digits before the point.
inline constexpr std::size_t FixedTextSize = 330;

// Writes the text into `buffer` (FixedTextSize bytes) and returns its end.
char* writeFixed(char* buffer, double value);
std::string formatFixed(double value);

}  // namespace clustering
