// The representative-point merging on in-memory tables: the worked examples and the steps one
// by one, each merge loop run with both searches.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdint>

#include "cure/cure.h"

using namespace cure;
using clustering::InfiniteDistance;
using Clusters = std::vector<std::vector<int>>;

namespace {

std::vector<GeneRow> rowsOf(const std::vector<std::vector<double>>& values) {
  std::vector<GeneRow> rows(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    char name[24];
    std::snprintf(name, sizeof name, "g%zu", i);
    rows[i].name = name;
    for (std::size_t s = 0; s < values[i].size(); ++s) rows[i].values[s] = values[i][s];
  }
  return rows;
}

std::vector<GeneRow> oneSample(const std::vector<double>& values) {
  std::vector<std::vector<double>> table;
  for (double v : values) table.push_back({v});
  return rowsOf(table);
}

// Both loops must leave the same tables, to the bit of every representative point.
void expectSameTables(const ClusterTables& fast, const ClusterTables& full, int sampleCount) {
  ASSERT_EQ(fast.clusterHead, full.clusterHead);
  ASSERT_EQ(fast.liveClusterCount, full.liveClusterCount);
  for (std::size_t i = 0; i < fast.representatives.size(); ++i) {
    ASSERT_EQ(fast.representatives[i].repCount, full.representatives[i].repCount) << "row " << i;
    if (fast.representatives[i].repCount == 0) continue;
    for (int s = 0; s < sampleCount; ++s) {
      ASSERT_EQ(std::bit_cast<std::uint64_t>(fast.representatives[i].point[s]),
                std::bit_cast<std::uint64_t>(full.representatives[i].point[s]))
          << "row " << i << " sample " << s;
    }
  }
}

Clusters cluster(const std::vector<GeneRow>& rows, int sampleCount, double alpha, double distanceThreshold) {
  ClusterTables fast = startClusters(rows);
  KeptClosestPairs kept;
  mergeClusters(rows, sampleCount, alpha, distanceThreshold, kept, fast);
  ClusterTables full = startClusters(rows);
  LiteralClosestPairs literal;
  mergeClusters(rows, sampleCount, alpha, distanceThreshold, literal, full);
  expectSameTables(fast, full, sampleCount);
  return clustersByLowestRow(fast.clusterHead);
}

}  // namespace

TEST(CureMerging, WorkedExamples) {
  struct Example {
    const char* what;
    std::vector<double> values;
    double alpha;
    double threshold;
    Clusters expected;
  };
  const double inf = InfiniteDistance;
  const std::vector<Example> examples = {
      {"a distance equal to the threshold merges", {0, 3, 10, 20}, 0.5, 3, {{0, 1}, {2}, {3}}},
      {"ties go to the pair met first", {0, 1, 5, 6}, 0.5, 1, {{0, 1}, {2, 3}}},
      {"the point is (mean - farthest) x alpha", {10, 11, 12, 100}, 0.5, 5, {{0, 1}, {2}, {3}}},
      {"alpha 0 puts merged clusters at zero", {10, 11, 0.2, 50}, 0, 1, {{0, 1, 2}, {3}}},
      {"four identical rows", {7, 7, 7, 7}, 0.5, 0, {{0, 1}, {2, 3}}},
      {"five identical rows", {7, 7, 7, 7, 7}, 0.5, 0, {{0, 1, 2, 3}, {4}}},
      {"all rows zero", {0, 0, 0, 0, 0, 0}, 0.5, 0, {{0, 1, 2, 3, 4}, {5}}},
      {"threshold 0 with distinct rows", {1, 2, 3}, 0.5, 0, {{0}, {1}, {2}}},
      {"a negative threshold merges nothing", {4, 4, 4, 4}, 0.5, -1, {{0}, {1}, {2}, {3}}},
      {"InfiniteDistance apart never merges", {0, 2 * inf, 4 * inf}, 0.5, 1e300, {{0}, {1}, {2}}},
      {"exactly InfiniteDistance apart never merges", {0, inf, 2 * inf}, 0.5, 1e300, {{0}, {1}, {2}}},
      {"two genes stay apart", {1, 1}, 0.5, 100, {{0}, {1}}},
      {"one gene", {1}, 0.5, 100, {{0}}},
      {"no genes", {}, 0.5, 100, {}},
  };
  for (const Example& example : examples) {
    EXPECT_EQ(cluster(oneSample(example.values), 1, example.alpha, example.threshold), example.expected)
        << example.what;
  }
}

TEST(CureMerging, MembersOnTheirMeanStepByStep) {
  const std::vector<GeneRow> rows = rowsOf({{5, 5}, {1, 1}, {1, 1}, {9, 9}, {9.5, 9.5}});
  ClusterTables tables = startClusters(rows);
  struct Step {
    int first, second;
    double distance;
    int farthest;
    double point;
  };
  const std::vector<Step> steps = {
      {1, 2, 0.0, 1, 0.0},                   // both on the mean: the head is farthest, point zero
      {3, 4, std::sqrt(0.5), 3, 0.25},       // equal squares: the lower row stays farthest
      {1, 3, std::sqrt(0.125), 4, 5.125 - 9.5},  // the mean 5.125 lies farthest from 9.5
  };
  for (const Step& step : steps) {
    const std::optional<ClosestPair> pair = findClosestPair(tables, 2);
    ASSERT_TRUE(mergesAt(pair, 2.0));
    EXPECT_EQ(pair->first, step.first);
    EXPECT_EQ(pair->second, step.second);
    EXPECT_EQ(pair->minDistance, step.distance);
    const Point mean = mergeClosestPair(rows, 2, *pair, tables);
    EXPECT_EQ(updateRepresentative(rows, 2, pair->first, mean, 1.0, tables), step.farthest);
    EXPECT_EQ(tables.representatives[step.first].point[0], step.point);
    EXPECT_EQ(tables.representatives[step.first].point[1], step.point);
    EXPECT_EQ(tables.representatives[step.second].repCount, 0);
  }
  EXPECT_EQ(tables.liveClusterCount, 2);
  EXPECT_EQ(clustersByLowestRow(tables.clusterHead), (Clusters{{0}, {1, 2, 3, 4}}));
}

TEST(CureMerging, TheRepresentativeIsTheScaledDifferenceNotAMovedPoint) {
  const std::vector<GeneRow> rows = oneSample({10, 11, 12, 100});
  ClusterTables tables = startClusters(rows);
  const ClosestPair pair{0, 1, 1.0};
  const Point mean = mergeClosestPair(rows, 1, pair, tables);
  EXPECT_EQ(mean[0], 10.5);
  EXPECT_EQ(updateRepresentative(rows, 1, 0, mean, 0.5, tables), 0);
  EXPECT_EQ(tables.representatives[0].point[0], 0.25);
  EXPECT_EQ(findClosestPair(tables, 1)->minDistance, 11.75);
  EXPECT_FALSE(mergesAt(findClosestPair(tables, 1), 5.0));
  EXPECT_TRUE(mergesAt(ClosestPair{0, 1, 5.0}, 5.0));
  EXPECT_FALSE(mergesAt(std::nullopt, 1e300));

  ClusterTables negative = startClusters(rows);
  updateRepresentative(rows, 1, 0, mergeClosestPair(rows, 1, pair, negative), -2.0, negative);
  EXPECT_EQ(negative.representatives[0].point[0], -1.0);
}

TEST(CureMerging, OverflowingValuesFollowIeeeArithmeticAndNeverMerge) {
  // 1e308 + 1e308 overflows: the mean is infinite and, with alpha 0, the point is NaN, which is
  // never closer than anything; 1e200 against -1e200 squares to infinity.
  EXPECT_EQ(cluster(oneSample({1e308, 1e308, 0, 5, 9}), 1, 0.0, 10), (Clusters{{0, 1}, {2, 3, 4}}));
  EXPECT_EQ(cluster(oneSample({1e200, -1e200, 3e200}), 1, 0.5, 1e308), (Clusters{{0}, {1}, {2}}));
  EXPECT_EQ(cluster(rowsOf({{1e308, -1e308}, {-1e308, 1e308}, {0, 0}, {1, 1}}), 2, 1.0, 1e308),
            (Clusters{{0}, {1}, {2, 3}}));
}

TEST(CureMerging, NoSamplesPutEveryPointAtDistanceZero) {
  EXPECT_EQ(cluster(oneSample({1, 50, 2, 99}), 0, 0.5, 0), (Clusters{{0, 1, 2}, {3}}));
}

TEST(CureWriting, ClustersComeInTheOrderOfTheirLowestRows) {
  EXPECT_EQ(clustersByLowestRow({0, 1, 0, 3, 1, 0}), (Clusters{{0, 2, 5}, {1, 4}, {3}}));
  EXPECT_TRUE(clustersByLowestRow({}).empty());
}
