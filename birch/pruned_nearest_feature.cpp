// Absorption's search with the centroids kept: each feature's quotients linearSum[s] / count,
// the very doubles every literal distance computes afresh, packed for measuring many at once
// and updated whenever a row founds or joins the feature. A row joins only a centroid at most
// the threshold away and nearer than the best so far, so a squared sum may be cut short once
// it lies above squaredBound of the smaller of the two: its root lies above one of them. Every
// sum not cut short is the full one, and its root is compared as the literal search compares it.
#include <algorithm>
#include <cmath>

#include "birch/birch.h"

namespace birch {

namespace {

// Features measured in one call: the packed measure's group of four blocks, so that a bound
// tightened after one chunk spares the next.
constexpr int Chunk = 4 * clustering::PackedVectors::Lanes;

}  // namespace

void PrunedNearestFeature::start(int geneCount, int sampleCount, double thresholdDistance) {
  sampleCount_ = sampleCount;
  thresholdDistance_ = thresholdDistance;
  squaredThreshold_ = clustering::squaredBound(thresholdDistance);
  centroids_ = clustering::PackedVectors(geneCount, sampleCount);
  centroid_.assign(static_cast<std::size_t>(sampleCount > 0 ? sampleCount : 0), 0.0);
}

void PrunedNearestFeature::changed(const FeatureTable& table, int feature) {
  centroidOf(table.features[static_cast<std::size_t>(feature)], sampleCount_, centroid_.data());
  centroids_.assign(feature, centroid_.data());
}

NearestFeature PrunedNearestFeature::nearest(const FeatureTable& table, const GeneRow& row) {
  NearestFeature best;
  const bool rowFinite = clustering::allFinite(row.values.data(), sampleCount_);
  // With a NaN threshold no distance joins, and the best so far alone bounds the sums.
  double bound = std::min(clustering::squaredBound(best.distance), squaredThreshold_);
  double sums[Chunk];
  const int featureCount = table.featureCount();
  for (int first = 0; first < featureCount; first += Chunk) {
    const int last = std::min(featureCount, first + Chunk);
    clustering::squaredDistancesBounded(row.values.data(), rowFinite, centroids_, first, last, bound, sums);
    for (int j = first; j < last; ++j) {
      const double squared = sums[j - first];
      if (squared > bound) continue;  // its root lies above the threshold or the best
      const double d = std::sqrt(squared);
      if (d < best.distance && d <= thresholdDistance_) {
        best = {d, j};
        bound = std::min(clustering::squaredBound(d), bound);
      }
    }
  }
  return best;
}

}  // namespace birch
