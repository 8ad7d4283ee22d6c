#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "korrin/fast_reassign.h"
#include "korrin/korrin.h"
#include "korrin/literal_reassign.h"

using namespace korrin;

namespace {

std::vector<GeneRow> genes(const std::vector<std::vector<float>>& values) {
  std::vector<GeneRow> rows(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    rows[i].name = std::string("g").append(std::to_string(i + 1));
    for (std::size_t s = 0; s < values[i].size(); ++s) rows[i].values[s] = values[i][s];
  }
  return rows;
}

Centroid vector(const std::vector<float>& values) {
  Centroid centroid{};
  for (std::size_t s = 0; s < values.size(); ++s) centroid[s] = values[s];
  return centroid;
}

// Twelve genes in three groups; from the first random partition the means settle in three
// reassignments.
std::vector<GeneRow> threeGroups() {
  return genes({{0.12f, 1.5f, -0.3f},
                {0.10f, 1.4f, -0.2f},
                {2.5f, -1.0f, 0.8f},
                {2.7f, -0.9f, 0.7f},
                {0.2f, 1.6f, -0.25f},
                {-1.5f, -1.5f, 2.0f},
                {-1.4f, -1.6f, 2.2f},
                {2.6f, -1.1f, 0.9f},
                {-1.6f, -1.4f, 1.9f},
                {0.05f, 1.45f, -0.35f},
                {2.4f, -0.95f, 0.75f},
                {-1.45f, -1.55f, 2.1f}});
}

const LiteralReassignStep literalStep;
const FastReassignStep fastStep;
// Both reassignments: each test below holds for either.
const ReassignStep* const BothSteps[] = {&literalStep, &fastStep};

}  // namespace

TEST(RandomPartition, ThreeClustersPutTheFirstFiveGenesIn22112) {
  RandomSequence random;
  const std::vector<int> membership = randomPartition(5, 3, random);
  EXPECT_EQ(membership, (std::vector<int>{2, 2, 1, 1, 2}));
  RandomSequence expected;
  for (int i = 0; i < 5; ++i) expected.next();
  EXPECT_EQ(random.next(), expected.next()) << "one draw per gene";
}

TEST(UpdateCentroids, SumsAndQuotientsAreSinglePrecisionInGeneOrder) {
  // 16777216 + 1 rounds back to 16777216 in single precision, twice; the mean of the three is
  // then 16777216 / 3, rounded to 5592405.5. Summed in double or smallest first it would be
  // 5592406.
  const std::vector<GeneRow> rows = genes({{16777216.0f, 2.0f}, {1.0f, 4.0f}, {1.0f, 7.0f}});
  CentroidTables tables(2);
  EXPECT_TRUE(updateCentroids(rows, 2, {0, 0, 0}, tables));
  EXPECT_EQ(tables.centroids[0][0], 5592405.5f);
  EXPECT_EQ(tables.centroids[0][1], 13.0f / 3.0f);
  EXPECT_EQ(tables.memberCounts, (std::vector<int>{3, 0}));
  EXPECT_EQ(tables.centroids[1], Centroid{}) << "an empty cluster's mean is the zero vector";
  EXPECT_FALSE(updateCentroids(rows, 2, {0, 0, 0}, tables)) << "the same means again are no change";
  EXPECT_EQ(tables.previousCentroids[0][0], 5592405.5f);
}

TEST(UpdateCentroids, MeansThatStayZeroInTheFirstPassAreNoChange) {
  const std::vector<GeneRow> rows = genes({{1.0f, -2.0f}, {-1.0f, 2.0f}, {0.0f, 0.0f}});
  CentroidTables tables(3);
  EXPECT_FALSE(updateCentroids(rows, 2, {1, 1, 0}, tables));
}

TEST(SquaredDistance, TheRunningSumIsRoundedToSinglePrecisionAfterEveryAddition) {
  // 1 + 2^-26 rounds back to 1 each time; five such terms summed before rounding would give
  // the next single-precision number above 1.
  const float small = std::ldexp(1.0f, -13);
  const Centroid gene = vector({1.0f, small, small, small, small, small});
  EXPECT_EQ(squaredDistance(gene, Centroid{}, 6), 1.0f);
  EXPECT_EQ(squaredDistance(gene, Centroid{}, 1), 1.0f);
  EXPECT_EQ(squaredDistance(vector({3.0f, -1.0f}), vector({1.0f, 1.0f}), 2), 8.0f) << "no square root";
  EXPECT_EQ(squaredDistance(vector({3.0f}), vector({1.0f}), 0), 0.0f);
}

TEST(ReassignGenes, EachGeneTakesTheNearestMeanAndTiesGoToTheLowerCluster) {
  const std::vector<GeneRow> rows = genes({{1.0f}, {1.9f}, {-5.0f}});
  const std::vector<Centroid> centroids = {vector({2.0f}), vector({0.0f}), vector({2.0f})};
  for (const ReassignStep* step : BothSteps) {
    std::vector<int> membership = {2, 2, 2};
    step->reassignGenes(rows, 1, centroids, membership);
    EXPECT_EQ(membership, (std::vector<int>{0, 0, 1}));
  }
}

TEST(IterateCentroids, AGeneNearZeroMovesIntoTheLowestEmptyCluster) {
  const std::vector<GeneRow> rows = genes({{10.0f}, {11.0f}, {0.5f}});
  std::vector<int> membership = {0, 0, 0};
  EXPECT_EQ(iterateCentroids(rows, 1, 3, membership, fastStep), 2);
  EXPECT_EQ(membership, (std::vector<int>{0, 0, 1}));
}

TEST(IterateCentroids, AllZeroDataEndsInTheFirstPassWithThePartitionUnchanged) {
  const std::vector<GeneRow> rows = genes({{0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}});
  std::vector<int> membership = {2, 0, 2};
  EXPECT_EQ(iterateCentroids(rows, 2, 3, membership, fastStep), 0);
  EXPECT_EQ(membership, (std::vector<int>{2, 0, 2}));
}

TEST(IterateCentroids, ThePassCapWritesTheLastReassignmentWithoutAnotherMeanComputation) {
  const std::vector<GeneRow> rows = threeGroups();
  const std::vector<int> start = {2, 2, 1, 1, 2, 1, 0, 0, 1, 2, 2, 2};
  std::vector<int> membership = start;
  EXPECT_EQ(iterateCentroids(rows, 3, 3, membership, fastStep, 1), 1);
  EXPECT_EQ(membership, (std::vector<int>{2, 2, 1, 1, 2, 1, 0, 0, 1, 2, 1, 0}));
  membership = start;
  EXPECT_EQ(iterateCentroids(rows, 3, 3, membership, fastStep, 2), 2);
  EXPECT_EQ(membership, (std::vector<int>{2, 2, 1, 1, 2, 0, 0, 1, 0, 2, 1, 0}));
  membership = start;
  EXPECT_EQ(iterateCentroids(rows, 3, 3, membership, fastStep), 3) << "the fourth pass finds the means unchanged";
  EXPECT_EQ(membership, (std::vector<int>{2, 2, 1, 1, 2, 0, 0, 1, 0, 2, 1, 0}));
}

TEST(ClusterGenes, StartsFromTheRandomPartitionAndNeedsNoDrawWithoutGenes) {
  RandomSequence random;
  EXPECT_EQ(clusterGenes(threeGroups(), 3, 3, random, fastStep), (std::vector<int>{2, 2, 1, 1, 2, 0, 0, 1, 0, 2, 1, 0}));
  RandomSequence untouched;
  EXPECT_TRUE(clusterGenes({}, 3, 4, untouched, fastStep).empty());
  EXPECT_EQ(untouched.next(), 41);
}
