// The closest pair from kept nearest higher heads: the representative points of the live heads
// go to clustering::NearestPartners, which a merge tells only that the surviving head's point
// moved and the other head retired. The pairs are those findClosestPair finds, in the same order.
#include "cure/cure.h"

namespace cure {

void KeptClosestPairs::start(const ClusterTables& tables, int sampleCount) {
  std::vector<const double*> points;
  std::vector<bool> live;
  for (const ClusterRepresentatives& representative : tables.representatives) {
    points.push_back(representative.point.data());
    live.push_back(representative.repCount == 1);
  }
  partners_.emplace(points, live, sampleCount, reserveSize_);
}

std::optional<ClosestPair> KeptClosestPairs::closestPair(const ClusterTables&) {
  const std::optional<clustering::PointPair> pair = partners_->closestPair();
  if (!pair) return std::nullopt;
  return ClosestPair{pair->first, pair->second, pair->distance};
}

void KeptClosestPairs::merged(const ClusterTables& tables, int kept, int retired) {
  partners_->merged(kept, retired, tables.representatives[kept].point.data());
}

}  // namespace cure
