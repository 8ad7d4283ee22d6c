// birch's searches as its phases describe them: absorption measures each row against every
// founded feature, and every merge step measures every pair of live features, each centroid
// computed afresh from the sums for every distance. Slow (cubic in the features when merging),
// plainly right: the oracle of the fast searches and the searches of birch_literal.
#include "birch/birch.h"

namespace birch {

using clustering::InfiniteDistance;

void LiteralNearestFeature::start(int, int sampleCount, double thresholdDistance) {
  sampleCount_ = sampleCount;
  thresholdDistance_ = thresholdDistance;
}

NearestFeature LiteralNearestFeature::nearest(const FeatureTable& table, const GeneRow& row) {
  NearestFeature best;
  for (int j = 0; j < table.featureCount(); ++j) {
    const double d = centroidDistance(table.features[j], row, sampleCount_);
    if (d < best.distance && d <= thresholdDistance_) best = {d, j};
  }
  return best;
}

void LiteralNearestFeature::changed(const FeatureTable&, int) {}

void LiteralClosestFeatures::start(const FeatureTable&, int sampleCount) { sampleCount_ = sampleCount; }

std::optional<FeaturePair> LiteralClosestFeatures::closestPair(const FeatureTable& table) {
  const std::vector<ClusteringFeature>& features = table.features;
  std::optional<FeaturePair> pair;
  double best = InfiniteDistance;
  for (int a = 0; a < table.featureCount(); ++a) {
    if (!features[a].live()) continue;
    for (int b = a + 1; b < table.featureCount(); ++b) {
      if (!features[b].live()) continue;
      const double d = centroidDistance(features[a], features[b], sampleCount_);
      if (d < best) {
        best = d;
        pair = FeaturePair{a, b};
      }
    }
  }
  return pair;
}

void LiteralClosestFeatures::merged(const FeatureTable&, int, int) {}

}  // namespace birch
