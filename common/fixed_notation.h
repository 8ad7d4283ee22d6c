// The one way the engines print a value: as C's "%f" (and "%lf") prints a double, in fixed
// notation with six decimals and a leading minus for negative values: 0.5 is 0.500000,
// -1234.5 is -1234.500000, 1e-7 is 0.000000.
#pragma once

#include <string>

namespace clustering {

std::string formatFixed(double value);

}  // namespace clustering
