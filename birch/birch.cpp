// birch's two phases, absorption and merging, with the searches they are given, and the order
// in which the clusters are written.
#include "birch/birch.h"

#include <algorithm>
#include <cmath>

namespace birch {

namespace {

void found(FeatureTable& table, const GeneRow& row, int rowIndex, int sampleCount) {
  ClusteringFeature& feature = table.features.emplace_back();
  feature.count = 1;
  for (int s = 0; s < sampleCount; ++s) {
    const double value = row.values[s];
    feature.linearSum[s] = value;
    feature.squareSum[s] = value * value;
  }
  table.subclusterOfRow[rowIndex] = table.featureCount() - 1;
}

void join(FeatureTable& table, int featureIndex, const GeneRow& row, int rowIndex, int sampleCount) {
  ClusteringFeature& feature = table.features[featureIndex];
  feature.count = feature.count + 1;
  for (int s = 0; s < sampleCount; ++s) {
    const double value = row.values[s];
    feature.linearSum[s] = feature.linearSum[s] + value;
    feature.squareSum[s] = feature.squareSum[s] + value * value;
  }
  table.subclusterOfRow[rowIndex] = featureIndex;
}

}  // namespace

double centroidDistance(const ClusteringFeature& feature, const GeneRow& row, int sampleCount) {
  double sum = 0.0;
  for (int s = 0; s < sampleCount; ++s) {
    const double difference = feature.linearSum[s] / feature.count - row.values[s];
    sum = sum + difference * difference;
  }
  return std::sqrt(sum);
}

double centroidDistance(const ClusteringFeature& a, const ClusteringFeature& b, int sampleCount) {
  double sum = 0.0;
  for (int s = 0; s < sampleCount; ++s) {
    const double difference = a.linearSum[s] / a.count - b.linearSum[s] / b.count;
    sum = sum + difference * difference;
  }
  return std::sqrt(sum);
}

FeatureTable absorbRows(const std::vector<GeneRow>& rows, int sampleCount, double thresholdDistance,
                        NearestFeatureSearch& search) {
  const int geneCount = static_cast<int>(rows.size());
  FeatureTable table;
  table.features.reserve(rows.size());  // a row founds at most one feature
  table.subclusterOfRow.assign(rows.size(), 0);
  if (geneCount == 0) return table;

  search.start(geneCount, sampleCount, thresholdDistance);
  found(table, rows[0], 0, sampleCount);
  search.changed(table, 0);
  for (int i = 1; i < geneCount; ++i) {
    const NearestFeature nearest = search.nearest(table, rows[i]);
    if (nearest.distance > thresholdDistance) {
      found(table, rows[i], i, sampleCount);
      search.changed(table, table.featureCount() - 1);
    } else {
      join(table, nearest.feature, rows[i], i, sampleCount);
      search.changed(table, nearest.feature);
    }
  }
  return table;
}

MergeOutcome mergeClosestFeatures(FeatureTable& table, int sampleCount, int minClusterCount,
                                  ClosestFeaturesSearch& search) {
  std::vector<ClusteringFeature>& features = table.features;
  MergeOutcome outcome;
  outcome.liveFeatureCount = table.featureCount();
  if (outcome.liveFeatureCount <= minClusterCount) return outcome;
  search.start(table, sampleCount);
  while (outcome.liveFeatureCount > minClusterCount) {
    const std::optional<FeaturePair> pair = search.closestPair(table);
    if (!pair) {
      // Every pair of live centroids lies InfiniteDistance or more apart (or one feature is
      // left): there is nothing to merge, and merging again would find nothing either.
      outcome.endedWithoutPair = true;
      return outcome;
    }
    const auto [kept, absorbed] = *pair;
    for (int& feature : table.subclusterOfRow) feature = feature == absorbed ? kept : feature;
    for (int s = 0; s < sampleCount; ++s) {
      features[kept].linearSum[s] = features[kept].linearSum[s] + features[absorbed].linearSum[s];
    }
    features[kept].count = features[kept].count + features[absorbed].count;
    features[absorbed].count = MergedAway;
    outcome.liveFeatureCount = outcome.liveFeatureCount - 1;
    search.merged(table, kept, absorbed);
  }
  return outcome;
}

int headingCount(int minClusterCount, const MergeOutcome& merged) {
  if (merged.endedWithoutPair) return std::max(minClusterCount, merged.liveFeatureCount);
  return minClusterCount;
}

std::vector<std::vector<int>> clustersByLowestRow(std::vector<int>& subclusterOfRow, int headingCount) {
  const int geneCount = static_cast<int>(subclusterOfRow.size());
  std::vector<std::vector<int>> clusters;
  int lowestUnwritten = 0;
  for (int t = 0; t < headingCount; ++t) {
    // Rows below lowestUnwritten are all written, so the search can start there.
    while (lowestUnwritten < geneCount && subclusterOfRow[lowestUnwritten] == RowWritten) ++lowestUnwritten;
    if (lowestUnwritten == geneCount) break;  // every row written: the remaining headings are bare
    const int feature = subclusterOfRow[lowestUnwritten];
    std::vector<int>& members = clusters.emplace_back();
    for (int r = lowestUnwritten; r < geneCount; ++r) {
      if (subclusterOfRow[r] == feature) {
        subclusterOfRow[r] = RowWritten;
        members.push_back(r);
      }
    }
  }
  return clusters;
}

}  // namespace birch
