// Absorption, merging and the output order of birch on small in-memory tables: which feature
// each row lands in, the sums a feature keeps, the pair that merges among equals, and what is
// left when no pair lies near enough to merge.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <vector>

#include "birch/birch.h"

using birch::FeatureTable;
using birch::MergeOutcome;
using clustering::GeneRow;

namespace {

std::vector<GeneRow> table(std::initializer_list<std::initializer_list<double>> values) {
  std::vector<GeneRow> rows;
  for (const auto& rowValues : values) {
    GeneRow& row = rows.emplace_back();
    char name[16];
    std::snprintf(name, sizeof name, "g%zu", rows.size());
    row.name = name;
    int s = 0;
    for (double value : rowValues) row.values[s++] = value;
  }
  return rows;
}

std::vector<int> counts(const FeatureTable& features) {
  std::vector<int> result;
  for (const auto& feature : features.features) result.push_back(feature.count);
  return result;
}

using Labels = std::vector<int>;

// Both searches must give the same table: the fast one's is the one checked.
FeatureTable absorb(const std::vector<GeneRow>& rows, int sampleCount, double thresholdDistance) {
  birch::LiteralNearestFeature literal;
  birch::PrunedNearestFeature pruned;
  FeatureTable table = birch::absorbRows(rows, sampleCount, thresholdDistance, pruned);
  EXPECT_EQ(table.subclusterOfRow, birch::absorbRows(rows, sampleCount, thresholdDistance, literal).subclusterOfRow);
  return table;
}

MergeOutcome merge(FeatureTable& table, int sampleCount, int minClusterCount) {
  FeatureTable literalTable = table;
  birch::LiteralClosestFeatures literal;
  birch::KeptClosestFeatures kept;
  const MergeOutcome outcome = birch::mergeClosestFeatures(table, sampleCount, minClusterCount, kept);
  const MergeOutcome literalOutcome = birch::mergeClosestFeatures(literalTable, sampleCount, minClusterCount, literal);
  EXPECT_EQ(table.subclusterOfRow, literalTable.subclusterOfRow);
  EXPECT_EQ(outcome.liveFeatureCount, literalOutcome.liveFeatureCount);
  EXPECT_EQ(outcome.endedWithoutPair, literalOutcome.endedWithoutPair);
  return outcome;
}

}  // namespace

TEST(AbsorbRows, ANegativeThresholdLetsEveryRowFoundItsOwnFeatureEvenIdenticalOnes) {
  const auto rows = table({{1.0}, {1.0}, {5.0}});
  const FeatureTable features = absorb(rows, 1, -1.0);
  EXPECT_EQ(features.featureCount(), 3);
  EXPECT_EQ(features.subclusterOfRow, (Labels{0, 1, 2}));
  EXPECT_EQ(counts(features), (Labels{1, 1, 1}));
}

TEST(AbsorbRows, ThresholdZeroJoinsOnlyACentroidEqualToTheRow) {
  const auto rows = table({{1.0, 2.0}, {1.0, 2.0}, {1.0, 2.000001}});
  const FeatureTable features = absorb(rows, 2, 0.0);
  EXPECT_EQ(features.subclusterOfRow, (Labels{0, 0, 1}));
  EXPECT_EQ(counts(features), (Labels{2, 1}));
  EXPECT_EQ(features.features[0].linearSum[0], 2.0);
  EXPECT_EQ(features.features[0].linearSum[1], 4.0);
  EXPECT_EQ(features.features[0].squareSum[1], 8.0);
}

TEST(AbsorbRows, ADistanceExactlyEqualToTheThresholdJoins) {
  const auto rows = table({{0.0, 0.0}, {3.0, 4.0}});
  EXPECT_EQ(absorb(rows, 2, 5.0).subclusterOfRow, (Labels{0, 0}));
  EXPECT_EQ(absorb(rows, 2, std::nextafter(5.0, 0.0)).subclusterOfRow, (Labels{0, 1}));
}

TEST(AbsorbRows, AThresholdOfSevenNinesOrMoreNeverFoundsASecondFeature) {
  // 2e7 and 3e7 lie beyond the start of the search, so no feature is ever the nearest; the
  // threshold is not below that start, so every row joins feature 0.
  const auto rows = table({{0.0}, {2e7}, {-3e7}, {1.0}});
  for (double threshold : {9999999.0, 1e8, 1e300}) {
    const FeatureTable features = absorb(rows, 1, threshold);
    EXPECT_EQ(features.subclusterOfRow, (Labels{0, 0, 0, 0})) << threshold;
    EXPECT_EQ(counts(features), (Labels{4}));
    EXPECT_EQ(features.features[0].linearSum[0], -1e7 + 1.0);
  }
  EXPECT_EQ(absorb(rows, 1, 9999998.0).subclusterOfRow, (Labels{0, 1, 2, 0}));
}

TEST(AbsorbRows, ARowEquallyNearTwoFeaturesJoinsTheLowerIndex) {
  const auto rows = table({{0.0}, {10.0}, {5.0}, {8.0}});
  const FeatureTable features = absorb(rows, 1, 6.0);
  // Row 2 lies 5 from both; row 3 then meets feature 0 at its new centroid 2.5.
  EXPECT_EQ(features.subclusterOfRow, (Labels{0, 1, 0, 1}));
  EXPECT_EQ(features.features[0].linearSum[0], 5.0);
  EXPECT_EQ(features.features[0].squareSum[0], 25.0);
}

TEST(AbsorbRows, ARowMeetsTheCentroidThatStandsWhenItArrives) {
  const auto rows = table({{0.0}, {2.0}, {4.5}});
  const FeatureTable features = absorb(rows, 1, 3.0);
  // 4.5 lies within 3 of row 1 but 3.5 from the centroid 1 of rows 0 and 1.
  EXPECT_EQ(features.subclusterOfRow, (Labels{0, 0, 1}));
  EXPECT_EQ(birch::centroidDistance(features.features[1], rows[2], 1), 0.0);
  EXPECT_EQ(birch::centroidDistance(features.features[0], rows[2], 1), 3.5);
}

TEST(AbsorbRows, NoRowsGiveNoFeatures) {
  const FeatureTable features = absorb({}, 3, 1.0);
  EXPECT_EQ(features.featureCount(), 0);
  EXPECT_TRUE(features.subclusterOfRow.empty());
}

TEST(MergeClosestFeatures, AmongEqualPairsTheLowestFirstThenTheLowestSecondIndexMerges) {
  // (0,2) and (1,3) both lie 1 apart: the lower first index wins.
  auto rows = table({{2.0}, {12.0}, {3.0}, {13.0}});
  FeatureTable features = absorb(rows, 1, -1.0);
  MergeOutcome merged = merge(features, 1, 3);
  EXPECT_EQ(merged.liveFeatureCount, 3);
  EXPECT_FALSE(merged.endedWithoutPair);
  EXPECT_EQ(features.subclusterOfRow, (Labels{0, 1, 0, 3}));
  EXPECT_EQ(counts(features), (Labels{2, 1, birch::MergedAway, 1}));
  EXPECT_EQ(features.features[0].linearSum[0], 5.0);
  EXPECT_EQ(features.features[0].squareSum[0], 4.0);  // a merge adds no squares

  // (0,1) and (0,2) both lie 1 apart: the lower second index wins.
  rows = table({{0.0}, {1.0}, {-1.0}});
  features = absorb(rows, 1, -1.0);
  merge(features, 1, 2);
  EXPECT_EQ(features.subclusterOfRow, (Labels{0, 0, 2}));
}

TEST(MergeClosestFeatures, MergesBeyondTheThresholdUntilTheMinimumIsReached) {
  const auto rows = table({{0.0}, {3.0}, {0.5}, {2.5}, {10.0}});
  FeatureTable features = absorb(rows, 1, 1.0);
  ASSERT_EQ(features.subclusterOfRow, (Labels{0, 1, 0, 1, 2}));
  // Centroids 0.25, 2.75 and 10: the closest pair lies 2.5 apart, more than the threshold.
  const MergeOutcome merged = merge(features, 1, 2);
  EXPECT_EQ(merged.liveFeatureCount, 2);
  EXPECT_EQ(features.subclusterOfRow, (Labels{0, 0, 0, 0, 2}));
  EXPECT_EQ(counts(features), (Labels{4, birch::MergedAway, 1}));
  EXPECT_EQ(features.features[0].linearSum[0], 6.0);
}

TEST(MergeClosestFeatures, EachStepMeasuresTheMergedCentroid) {
  // Once the rows at 0 and 2 have merged (centroid 1), 4.5 lies 3.5 from them and 3.8 from
  // 8.3; measured from 0 alone it would lie 4.5 away and go with 8.3.
  const auto rows = table({{0.0}, {2.0}, {8.3}, {4.5}});
  FeatureTable features = absorb(rows, 1, -1.0);
  merge(features, 1, 2);
  EXPECT_EQ(features.subclusterOfRow, (Labels{0, 0, 2, 0}));
}

TEST(MergeClosestFeatures, CentroidsInfiniteDistanceOrMoreApartEndMergingWithEveryFeatureLive) {
  const auto exactlyApart = table({{0.0}, {999999.0}});
  FeatureTable features = absorb(exactlyApart, 1, -1.0);
  MergeOutcome merged = merge(features, 1, 1);
  EXPECT_TRUE(merged.endedWithoutPair);
  EXPECT_EQ(merged.liveFeatureCount, 2);
  EXPECT_EQ(birch::headingCount(1, merged), 2);

  // The first step still merges; the second finds the remaining centroids too far apart.
  const auto rows = table({{0.0}, {2e6}, {1.0}, {3e6}});
  features = absorb(rows, 1, -1.0);
  merged = merge(features, 1, 1);
  EXPECT_TRUE(merged.endedWithoutPair);
  EXPECT_EQ(merged.liveFeatureCount, 3);
  EXPECT_EQ(features.subclusterOfRow, (Labels{0, 1, 0, 3}));
  EXPECT_EQ(birch::headingCount(2, merged), 3);
  EXPECT_EQ(birch::headingCount(4, merged), 4);
}

TEST(MergeClosestFeatures, EverySampleCountsInTheCentroidDistance) {
  const auto rows = table({{0.0, 0.0, 0.0}, {0.0, 3.0, 4.0}, {1.0, 1.0, 1.0}});
  FeatureTable features = absorb(rows, 3, -1.0);
  EXPECT_EQ(birch::centroidDistance(features.features[0], features.features[1], 3), 5.0);
  merge(features, 3, 2);
  EXPECT_EQ(features.subclusterOfRow, (Labels{0, 1, 0}));
  // Only the first two samples: rows 0 and 1 lie 3 apart, rows 0 and 2 sqrt(2).
  features = absorb(rows, 2, -1.0);
  merge(features, 2, 2);
  EXPECT_EQ(features.subclusterOfRow, (Labels{0, 1, 0}));
  EXPECT_EQ(features.features[0].linearSum[2], 0.0);  // samples beyond the count stay untouched
}

TEST(ClustersByLowestRow, ClustersComeInTheOrderOfTheirLowestRowWithRowsAscending) {
  Labels labels{3, 0, 3, 0, 5};
  EXPECT_EQ(birch::clustersByLowestRow(labels, 5), (std::vector<std::vector<int>>{{0, 2}, {1, 3}, {4}}));
  EXPECT_EQ(labels, (Labels{-1, -1, -1, -1, -1}));
}
