#include "varnek/merge_bound.h"

#include <cmath>
#include <limits>

#include "common/gene_row.h"
#include "varnek/varnek.h"

namespace varnek {

double mergeScoreBound(double termSum, int countA, double weightA, int countB, double weightB) {
  const double terms = static_cast<double>(countA) + static_cast<double>(countB);
  const double shrink = 1.0 - (2.0 * terms + 2.0) * 0x1p-53;
  const double score = mergeScore(termSum * shrink, countA, weightA, countB, weightB);
  return std::isnan(score) ? -std::numeric_limits<double>::infinity() : score;
}

double reorderedScoreBound(double score, std::size_t geneCount) {
  constexpr double SmallestSafe = 0x1p-900;  // far above where a product of two factors can underflow
  const double shrink = 1.0 - (4.0 * static_cast<double>(geneCount) + 16.0) * 0x1p-53;
  if (!(score >= SmallestSafe))
    return score < 0.0 || std::isnan(score) ? -std::numeric_limits<double>::infinity() : 0.0;
  const double at = score < clustering::InfiniteDistance ? score : clustering::InfiniteDistance;
  return std::nextafter(at * shrink, 0.0);
}

namespace {

// Written without branches, so that a row's bounds are worked out several at a time.
inline double quickBound(double countA, double weightA, double S, double countB, double weightB) {
  constexpr double Low = 0x1p-200;
  constexpr double High = 0x1p200;
  const double W = weightA + weightB;
  const double weighted = countA * weightA + countB * weightB;
  const double divisor = W > 0.0 ? weighted * W : countA + countB;
  const bool normal =
      S >= Low && S <= High && (W == 0.0 || (W >= Low && W <= High && weighted >= Low && weighted <= High));
  const double bound = (2.0 * (S * S)) / divisor * (1.0 - 32.0 * 0x1p-53);
  return normal ? bound : -std::numeric_limits<double>::infinity();
}

}  // namespace

void quickScoreBounds(int countA, double weightA, const double* sums, const double* counts, const double* weights,
                      std::size_t count, double* out) {
  const double na = countA;
  for (std::size_t e = 0; e < count; ++e) out[e] = quickBound(na, weightA, sums[e], counts[e], weights[e]);
}

}  // namespace varnek
