#include "birch.h"

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

FeatureTable absorbRows(const std::vector<GeneRow>& rows, int sampleCount, double thresholdDistance) {
  const int geneCount = static_cast<int>(rows.size());
  FeatureTable table;
  table.features.reserve(rows.size());  // a row founds at most one feature
  table.subclusterOfRow.assign(rows.size(), 0);
  if (geneCount == 0) return table;

  found(table, rows[0], 0, sampleCount);
  for (int i = 1; i < geneCount; ++i) {
    double best = AbsorptionStartDistance;
    int candidate = 0;
    for (int j = 0; j < table.featureCount(); ++j) {
      const double d = centroidDistance(table.features[j], rows[i], sampleCount);
      if (d < best && d <= thresholdDistance) {
        best = d;
        candidate = j;
      }
    }
    if (best > thresholdDistance) {
      found(table, rows[i], i, sampleCount);
    } else {
      join(table, candidate, rows[i], i, sampleCount);
    }
  }
  return table;
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
