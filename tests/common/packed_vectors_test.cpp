// The packed distances are the very sums of euclideanDistance, with every instruction set the
// processor has, for every range and query count, and the bounded ones only ever stop a sum that
// could not come back below its bound; the capped roots are the roots.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "bench/matrix_generator.h"
#include "common/gene_row.h"
#include "common/packed_vectors.h"
#include "support/each_vector_level.h"

namespace {

using clustering::PackedVectors;

std::uint64_t bits(double value) {
  std::uint64_t out;
  std::memcpy(&out, &value, sizeof out);
  return out;
}

// The squared sum that euclideanDistance takes the root of: its root, compared bit for bit.
testing::AssertionResult sameAsEuclidean(double squared, const clustering::GeneRow& a, const clustering::GeneRow& b,
                                         int sampleCount) {
  const double expected = clustering::euclideanDistance(a, b, sampleCount);
  if (bits(std::sqrt(squared)) == bits(expected)) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "root of " << squared << " is not " << expected;
}

using testsupport::EachVectorLevel;

// Tables of every shape, sample counts around the bound checks and the lane width, and a few
// values that overflow, are infinite or not a number.
std::vector<generated::Matrix> tables() {
  std::vector<generated::Matrix> matrices;
  generated::Draws draws(77);
  for (generated::Shape shape : generated::AllShapes) {
    for (int sampleCount : {0, 1, 7, 9, 40, 100}) {
      generated::Matrix matrix = generated::generateMatrix(draws, shape, draws.between(1, 45), sampleCount);
      if (sampleCount > 0 && draws.between(0, 2) == 0) {
        const double odd[] = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN(), -0.0};
        auto& row = matrix.rows[static_cast<std::size_t>(draws.between(0, static_cast<int>(matrix.rows.size()) - 1))];
        row.values[static_cast<std::size_t>(draws.between(0, sampleCount - 1))] = odd[draws.between(0, 3)];
      }
      matrices.push_back(std::move(matrix));
    }
  }
  return matrices;
}

TEST_P(EachVectorLevel, EverySumIsTheEuclideanSumWhateverTheRangeOrQueries) {
  for (const generated::Matrix& matrix : tables()) {
    const int n = static_cast<int>(matrix.rows.size());
    const PackedVectors packed = PackedVectors::ofRows(matrix.rows, matrix.sampleCount);
    std::vector<double> out(static_cast<std::size_t>(n) * 7);
    for (int first : {0, 1, n / 3, n - 1}) {
      for (int last : {first, first + 1, n - n / 4, n}) {
        if (last <= first || last > n) continue;
        for (int queryCount : {1, 2, 4, 7}) {
          if (queryCount > n) continue;
          const double* queries[7];
          for (int q = 0; q < queryCount; ++q) queries[q] = matrix.rows[static_cast<std::size_t>((first + q) % n)].values.data();
          clustering::squaredDistancesMany(queries, queryCount, packed, first, last, out.data(), static_cast<std::size_t>(n));
          for (int q = 0; q < queryCount; ++q) {
            const auto& query = matrix.rows[static_cast<std::size_t>((first + q) % n)];
            for (int k = first; k < last; ++k) {
              ASSERT_TRUE(sameAsEuclidean(out[static_cast<std::size_t>(q * n + k - first)], query,
                                          matrix.rows[static_cast<std::size_t>(k)], matrix.sampleCount))
                  << matrix.label << ", query " << q << " of " << queryCount << ", vector " << k;
            }
          }
        }
        const auto& query = matrix.rows[static_cast<std::size_t>(first)];
        clustering::squaredDistances(query.values.data(), packed, first, last, out.data());
        for (int k = first; k < last; ++k) {
          ASSERT_TRUE(sameAsEuclidean(out[static_cast<std::size_t>(k - first)], query,
                                      matrix.rows[static_cast<std::size_t>(k)], matrix.sampleCount))
              << matrix.label << ", vector " << k << " from " << first;
        }
      }
    }
  }
}

TEST_P(EachVectorLevel, ABoundedSumStopsOnlyAboveItsBound) {
  for (const generated::Matrix& matrix : tables()) {
    const int n = static_cast<int>(matrix.rows.size());
    const PackedVectors packed = PackedVectors::ofRows(matrix.rows, matrix.sampleCount);
    std::vector<double> exact(static_cast<std::size_t>(n));
    std::vector<double> bounded(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      const double* query = matrix.rows[static_cast<std::size_t>(i)].values.data();
      clustering::squaredDistances(query, packed, 0, n, exact.data());
      // Bounds at the sums themselves decide exactly there.
      for (double bound : {-1.0, 0.0, exact[static_cast<std::size_t>(n / 2)], 1e300}) {
        const bool finite = clustering::allFinite(query, matrix.sampleCount);
        clustering::squaredDistancesBounded(query, finite, packed, 0, n, bound, bounded.data());
        for (int k = 0; k < n; ++k) {
          const double full = exact[static_cast<std::size_t>(k)];
          const double got = bounded[static_cast<std::size_t>(k)];
          const bool mayDiffer = finite && packed.finite(k) && got > bound;
          if (mayDiffer) {
            ASSERT_TRUE(got <= full && full > bound) << matrix.label << ": " << got << " against " << full;
          } else {
            ASSERT_EQ(bits(got), bits(full)) << matrix.label << ", query " << i << ", vector " << k << ", bound " << bound;
          }
        }
      }
    }
  }
}

TEST_P(EachVectorLevel, CappedRootsAreTheRootsOrTheCap) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // Eleven values, so that every width of the wider instructions leaves a rest.
  std::vector<double> values = {0.0, 2.0, 1e-300, 4.0, 999998.0 * 999998.0, 999999.0 * 999999.0, 1e13, inf, nan, -1.0,
                                7.0};
  std::vector<double> capped = values;
  clustering::cappedRoots(capped.data(), capped.size(), 999999.0);
  for (std::size_t k = 0; k < values.size(); ++k) {
    const double root = std::sqrt(values[k]);
    EXPECT_EQ(bits(capped[k]), bits(root < 999999.0 ? root : 999999.0)) << values[k];
  }
}

EACH_VECTOR_LEVEL(EachVectorLevel);

TEST(SquaredBound, TheRootOfASumIsWithinTheDistanceExactlyWhenTheSumIsWithinTheBound) {
  const double huge = std::numeric_limits<double>::max();
  for (double distance : {0.0, 0.1, 0.5, 1.0, 2.0, 3.0, 1e-300, 7.25, 999999.0, 1e154, 1.5e154, huge}) {
    const double bound = clustering::squaredBound(distance);
    EXPECT_LE(std::sqrt(bound), distance) << distance;
    EXPECT_GT(std::sqrt(std::nextafter(bound, std::numeric_limits<double>::infinity())), distance) << distance;
  }
  EXPECT_LT(clustering::squaredBound(-1.0), 0.0);
  EXPECT_TRUE(std::isnan(clustering::squaredBound(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_TRUE(std::isinf(clustering::squaredBound(std::numeric_limits<double>::infinity())));
}

}  // namespace
