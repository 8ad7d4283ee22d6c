// Merging's search from kept nearest partners: the centroids of the live features, the
// quotients linearSum[s] / count that every literal distance computes afresh, go to
// clustering::NearestPartners, which each merge tells that the kept feature's centroid moved and
// the absorbed one left. The pairs are those the literal scan finds, in the same order.
#include "birch/birch.h"

namespace birch {

void KeptClosestFeatures::start(const FeatureTable& table, int sampleCount) {
  sampleCount_ = sampleCount;
  const std::size_t width = static_cast<std::size_t>(sampleCount > 0 ? sampleCount : 0);
  centroid_.assign(width, 0.0);
  std::vector<double> centroids(table.features.size() * width);
  std::vector<const double*> points;
  std::vector<bool> live;
  for (std::size_t f = 0; f < table.features.size(); ++f) {
    double* centroid = centroids.data() + f * width;
    live.push_back(table.features[f].live());
    if (live.back()) centroidOf(table.features[f], sampleCount, centroid);
    points.push_back(centroid);
  }
  partners_.emplace(points, live, sampleCount, reserveSize_);
}

std::optional<FeaturePair> KeptClosestFeatures::closestPair(const FeatureTable&) {
  const std::optional<clustering::PointPair> pair = partners_->closestPair();
  if (!pair) return std::nullopt;
  return FeaturePair{pair->first, pair->second};
}

void KeptClosestFeatures::merged(const FeatureTable& table, int kept, int absorbed) {
  centroidOf(table.features[static_cast<std::size_t>(kept)], sampleCount_, centroid_.data());
  partners_->merged(kept, absorbed, centroid_.data());
}

}  // namespace birch
