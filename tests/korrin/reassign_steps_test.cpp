// The fast reassignment against the literal one, through the pass loop that is given them, on
// generated matrices in single precision: single reassignments against planted means (copies of
// genes, so that distances tie exactly, the same mean in several clusters, empty clusters' zero
// means, means that overflowed or are no number) and whole runs from a random partition, for
// cluster counts around the widths of the registers, at every vector level.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "bench/matrix_generator.h"
#include "korrin/fast_reassign.h"
#include "korrin/literal_reassign.h"
#include "support/each_vector_level.h"

namespace {

using namespace korrin;

constexpr float Largest = std::numeric_limits<float>::max();

// The matrix in single precision; a value beyond the range of a float (which the loader refuses)
// becomes the largest float of its sign, whose squares overflow.
std::vector<GeneRow> singlePrecision(const generated::Matrix& matrix) {
  std::vector<GeneRow> rows(matrix.rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t s = 0; s < static_cast<std::size_t>(matrix.sampleCount); ++s) {
      const double value = matrix.rows[i].values[s];
      rows[i].values[s] = std::fabs(value) > Largest ? std::copysign(Largest, static_cast<float>(value))
                                                     : static_cast<float>(value);
    }
  }
  return rows;
}

// What the planted means gave, counted over all cases.
struct Planted {
  int tiesToTheLowerCluster = 0;
  int distancesThatOverflowed = 0;
  int distancesThatAreNoNumber = 0;
};

std::vector<Centroid> plantedMeans(const std::vector<GeneRow>& rows, int sampleCount, int clusterCount,
                                   generated::Draws& draws) {
  std::vector<Centroid> means(static_cast<std::size_t>(clusterCount), Centroid{});
  for (Centroid& mean : means) {
    const int kind = draws.between(0, 9);
    if (kind == 0 || rows.empty()) continue;  // an empty cluster's zero mean
    mean = rows[static_cast<std::size_t>(draws.between(0, static_cast<int>(rows.size()) - 1))].values;
    if (kind == 1 && sampleCount > 0) {
      const float odd[] = {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN()};
      mean[static_cast<std::size_t>(draws.between(0, sampleCount - 1))] = odd[draws.between(0, 2)];
    }
  }
  // The same mean in two clusters.
  if (clusterCount > 2) means[static_cast<std::size_t>(clusterCount - 1)] = means[1];
  return means;
}

void countPlanted(const std::vector<GeneRow>& rows, int sampleCount, const std::vector<Centroid>& means,
                  const std::vector<int>& membership, Planted& planted) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const float best = squaredDistance(rows[i].values, means[static_cast<std::size_t>(membership[i])], sampleCount);
    for (std::size_t c = 0; c < means.size(); ++c) {
      const float d = squaredDistance(rows[i].values, means[c], sampleCount);
      planted.tiesToTheLowerCluster += c > static_cast<std::size_t>(membership[i]) && d == best;
      planted.distancesThatOverflowed += std::isinf(d);
      planted.distancesThatAreNoNumber += std::isnan(d);
    }
  }
}

class FastAgainstLiteral : public testsupport::EachVectorLevel {};

TEST_P(FastAgainstLiteral, FastMovesEveryGeneAsTheLiteralStepDoes) {
  const int clusterCounts[] = {1, 2, 3, 4, 5, 8, 9, 16, 17, 31, 33, 40};
  Planted planted;
  for (std::uint64_t seed = 1; seed <= 300; ++seed) {
    const generated::Matrix matrix = generated::drawCase(seed, 1, 70, 24);
    const std::vector<GeneRow> rows = singlePrecision(matrix);
    generated::Draws draws(seed);
    const int clusterCount = clusterCounts[draws.between(0, static_cast<int>(std::size(clusterCounts)) - 1)];
    const std::vector<Centroid> means = plantedMeans(rows, matrix.sampleCount, clusterCount, draws);
    std::vector<int> fast(rows.size(), -1);
    std::vector<int> literal(rows.size(), -1);
    FastReassignStep{}.reassignGenes(rows, matrix.sampleCount, means, fast);
    LiteralReassignStep{}.reassignGenes(rows, matrix.sampleCount, means, literal);
    ASSERT_EQ(fast, literal) << matrix.label << ", " << clusterCount << " planted means";
    countPlanted(rows, matrix.sampleCount, means, literal, planted);
  }
  EXPECT_GT(planted.tiesToTheLowerCluster, 0);
  EXPECT_GT(planted.distancesThatOverflowed, 0);
  EXPECT_GT(planted.distancesThatAreNoNumber, 0);
}

TEST_P(FastAgainstLiteral, WholeRunsEndInTheLiteralPartition) {
  for (std::uint64_t seed = 1; seed <= 60; ++seed) {
    const generated::Matrix matrix = generated::drawCase(seed, 1, 300, 40);
    const std::vector<GeneRow> rows = singlePrecision(matrix);
    for (int clusterCount : {3, 10, 17}) {
      RandomSequence random;
      const std::vector<int> start = randomPartition(static_cast<int>(rows.size()), clusterCount, random);
      std::vector<int> fast = start;
      std::vector<int> literal = start;
      const int fastPasses = iterateCentroids(rows, matrix.sampleCount, clusterCount, fast, FastReassignStep{});
      const int literalPasses = iterateCentroids(rows, matrix.sampleCount, clusterCount, literal, LiteralReassignStep{});
      ASSERT_EQ(fastPasses, literalPasses) << matrix.label << ", " << clusterCount << " clusters";
      ASSERT_EQ(fast, literal) << matrix.label << ", " << clusterCount << " clusters";
    }
  }
}

EACH_VECTOR_LEVEL(FastAgainstLiteral);

}  // namespace
