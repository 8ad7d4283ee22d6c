#include "common/fixed_notation.h"

#include <cstdio>

namespace clustering {

std::string formatFixed(double value) {
  char buffer[512];  // the largest double prints 309 digits before the point
  const int length = std::snprintf(buffer, sizeof buffer, "%f", value);
  return std::string(buffer, static_cast<std::size_t>(length));
}

}  // namespace clustering
