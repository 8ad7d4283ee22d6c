// Trial costs counted in whole units of a fixed size, and the range in which the double sum of
// the same terms must lie.
//
// A trial's cost is a double sum, in position order, of terms that are doubles themselves. Each
// term rounded to whole units gives a sum that is exact whatever the order, so it can be kept
// from sweep to sweep and changed term by term without drift. It is not the cost: the cost
// rounds after every addition. But the two lie close: the cost in units lies in the range that
// `range` gives around the whole-unit sum, so a trial whose range lies above another's cannot be
// the cheaper one, and only trials whose ranges reach down to the cheapest one's need their
// costs summed as the literal method sums them.
#pragma once

#include <cmath>
#include <cstdint>

namespace tolvar {

struct CostRange {
  double low = 0.0;   // in units: the cost times the unit is at least this
  double high = 0.0;  // and at most this
};

class FixedPointCost {
 public:
  FixedPointCost() = default;
  // Units for terms from 0 to `bound` (not negative) in sums of at most `maxTerms` terms: the unit
  // is a power of two small enough that a term takes at most 2^50 units (so rounding a term to
  // units errs by less than one unit) and a sum at most 2^59 (so sums and their differences fit
  // 64 bits).
  FixedPointCost(double bound, int maxTerms) : bound_(bound) {
    const double limit = std::fmin(0x1p50, 0x1p59 / (maxTerms > 0 ? maxTerms : 1));
    // 2^(ilogb(limit) - ilogb(bound) - 2) * bound < 2^(ilogb(limit) - 1) <= limit / 2.
    int exponent = bound > 0.0 ? std::ilogb(limit) - std::ilogb(bound) - 2 : 1000;
    if (exponent > 1000) exponent = 1000;
    if (exponent < -1000) exponent = -1000;
    unit_ = std::ldexp(1.0, exponent);
  }

  double bound() const { return bound_; }
  // A value in units, exact: the unit is a power of two.
  double inUnits(double value) const { return value * unit_; }

  // `value` rounded to whole units, values above the bound taken as the bound. Never decreasing
  // in `value`, so the units of the smaller of two values are the smaller units.
  std::int64_t units(double value) const {
    const double below = value < bound_ ? value : bound_;
    return static_cast<std::int64_t>(below * unit_ + 0.5);
  }

  // Where the in-order double sum C of `termCount` terms t (each from 0 to the bound) must lie,
  // given the sum K of their units. Each term's units differ from t * unit by less than one, so
  // unit * (the exact sum of the t) lies within K +- m; the rounded additions of m non-negative
  // terms err by at most m * 2^-53 times the exact sum. The range takes twice that relative
  // share and two more units, which covers the roundings of computing it here.
  static CostRange range(std::int64_t unitSum, int termCount) {
    const double k = static_cast<double>(unitSum);
    const double m = static_cast<double>(termCount) + 2.0;
    const double slack = m + (k + m) * (m * 0x1p-52);
    return CostRange{k - slack, k + slack};
  }

 private:
  double bound_ = 0.0;
  double unit_ = 1.0;
};

}  // namespace tolvar
