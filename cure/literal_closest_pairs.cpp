// The closest pair as every merge step finds it literally: all pairs of live clusters measured
// afresh from their representative points. Slow (quadratic per step), plainly right: the
// oracle of the kept search and the search of cure_literal.
#include "cure/cure.h"

namespace cure {

using clustering::InfiniteDistance;

std::optional<ClosestPair> findClosestPair(const ClusterTables& tables, int sampleCount) {
  const int geneCount = static_cast<int>(tables.clusterHead.size());
  std::optional<ClosestPair> closest;
  double minDistance = InfiniteDistance;
  for (int i = 0; i < geneCount; ++i) {
    if (tables.representatives[i].repCount == 0) continue;
    for (int j = i + 1; j < geneCount; ++j) {
      if (tables.clusterHead[j] == tables.clusterHead[i] || tables.representatives[j].repCount == 0) continue;
      const double d = clustering::euclideanDistance(tables.representatives[i].point.data(),
                                                     tables.representatives[j].point.data(), sampleCount);
      if (d < minDistance) {
        minDistance = d;
        closest = ClosestPair{i, j, d};
      }
    }
  }
  return closest;
}

void LiteralClosestPairs::start(const ClusterTables&, int sampleCount) { sampleCount_ = sampleCount; }

std::optional<ClosestPair> LiteralClosestPairs::closestPair(const ClusterTables& tables) {
  return findClosestPair(tables, sampleCount_);
}

void LiteralClosestPairs::merged(const ClusterTables&, int, int) {}

}  // namespace cure
