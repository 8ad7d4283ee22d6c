#include "common/fixed_notation.h"

#include <charconv>

namespace clustering {

char* writeFixed(char* buffer, double value) {
  return std::to_chars(buffer, buffer + FixedTextSize, value, std::chars_format::fixed, 6).ptr;
}

std::string formatFixed(double value) {
  char buffer[FixedTextSize];
  return std::string(buffer, writeFixed(buffer, value));
}

}  // namespace clustering
