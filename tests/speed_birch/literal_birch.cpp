// The literal merge of birch: cubic in the number of features, kept only to check the fast one.
#include "literal_birch.h"

namespace literal_birch {

using birch::ClusteringFeature;
using birch::MergedAway;
using birch::MergeOutcome;
using clustering::InfiniteDistance;

MergeOutcome mergeClosestFeatures(birch::FeatureTable& table, int sampleCount, int minClusterCount) {
  std::vector<ClusteringFeature>& features = table.features;
  const int featureCount = table.featureCount();
  MergeOutcome outcome;
  outcome.liveFeatureCount = featureCount;
  while (outcome.liveFeatureCount > minClusterCount) {
    double best = InfiniteDistance;
    int kept = -1;
    int absorbed = -1;
    for (int a = 0; a < featureCount; ++a) {
      if (!features[a].live()) continue;
      for (int b = a + 1; b < featureCount; ++b) {
        if (!features[b].live()) continue;
        const double d = birch::centroidDistance(features[a], features[b], sampleCount);
        if (d < best) {
          best = d;
          kept = a;
          absorbed = b;
        }
      }
    }
    if (kept < 0) {
      // Every pair of live centroids lies InfiniteDistance or more apart (or one feature is
      // left): there is nothing to merge, and merging again would find nothing either.
      outcome.endedWithoutPair = true;
      return outcome;
    }
    for (int& feature : table.subclusterOfRow) {
      if (feature == absorbed) feature = kept;
    }
    for (int s = 0; s < sampleCount; ++s) {
      features[kept].linearSum[s] = features[kept].linearSum[s] + features[absorbed].linearSum[s];
    }
    features[kept].count = features[kept].count + features[absorbed].count;
    features[absorbed].count = MergedAway;
    outcome.liveFeatureCount = outcome.liveFeatureCount - 1;
  }
  return outcome;
}

}  // namespace literal_birch
