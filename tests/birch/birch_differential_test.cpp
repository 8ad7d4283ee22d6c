// birch's fast searches against its literal ones, through the searches the two phases are given,
// on generated tables with ties on purpose: absorption under thresholds at, just below and just
// above distances that decide a join, then merging down to minimum counts from below one to
// above the number of features. Both must agree on every feature's count and sums to the bit,
// the label of every row, the outcome of merging and the clusters in the order they are written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "bench/matrix_generator.h"
#include "birch/birch.h"

using birch::FeatureTable;
using birch::MergeOutcome;
using clustering::GeneRow;

namespace {

bool sameBits(const std::array<double, clustering::MaxSamples>& a, const std::array<double, clustering::MaxSamples>& b) {
  return std::memcmp(a.data(), b.data(), sizeof(double) * a.size()) == 0;
}

testing::AssertionResult sameTables(const FeatureTable& fast, const FeatureTable& literal) {
  if (fast.featureCount() != literal.featureCount()) {
    return testing::AssertionFailure() << "feature counts " << fast.featureCount() << " and " << literal.featureCount();
  }
  for (int f = 0; f < fast.featureCount(); ++f) {
    const birch::ClusteringFeature& a = fast.features[f];
    const birch::ClusteringFeature& b = literal.features[f];
    if (a.count != b.count) {
      return testing::AssertionFailure() << "feature " << f << " holds " << a.count << " rows, literally " << b.count;
    }
    if (!sameBits(a.linearSum, b.linearSum)) return testing::AssertionFailure() << "linear sums of feature " << f;
    if (!sameBits(a.squareSum, b.squareSum)) return testing::AssertionFailure() << "square sums of feature " << f;
  }
  if (fast.subclusterOfRow != literal.subclusterOfRow) return testing::AssertionFailure() << "row labels";
  return testing::AssertionSuccess();
}

// Merges `absorbed` down to `minClusterCount` with both searches, then writes both. Small
// reserves make the kept search replace partners and lower horizons all the time.
testing::AssertionResult sameMerge(FeatureTable& fast, FeatureTable& literal, int sampleCount, int minClusterCount,
                                   int reserveSize = clustering::NearestPartners::DefaultReserveSize) {
  birch::KeptClosestFeatures kept(reserveSize);
  birch::LiteralClosestFeatures scan;
  const MergeOutcome fastOutcome = birch::mergeClosestFeatures(fast, sampleCount, minClusterCount, kept);
  const MergeOutcome literalOutcome = birch::mergeClosestFeatures(literal, sampleCount, minClusterCount, scan);
  if (fastOutcome.liveFeatureCount != literalOutcome.liveFeatureCount ||
      fastOutcome.endedWithoutPair != literalOutcome.endedWithoutPair) {
    return testing::AssertionFailure() << "outcome " << fastOutcome.liveFeatureCount << "/"
                                       << fastOutcome.endedWithoutPair << ", literally "
                                       << literalOutcome.liveFeatureCount << "/" << literalOutcome.endedWithoutPair;
  }
  testing::AssertionResult same = sameTables(fast, literal);
  if (!same) return same;
  const int headings = birch::headingCount(minClusterCount, fastOutcome);
  std::vector<int> fastLabels = fast.subclusterOfRow;
  std::vector<int> literalLabels = literal.subclusterOfRow;
  if (birch::clustersByLowestRow(fastLabels, headings) != birch::clustersByLowestRow(literalLabels, headings)) {
    return testing::AssertionFailure() << "written clusters";
  }
  return testing::AssertionSuccess();
}

// Absorption thresholds worth trying: negative (every row founds a feature), 0, one above every
// distance, NaN, and distances that decide a join (from a row to another row and to the centroid
// of two rows) together with the doubles just below and just above them.
std::vector<double> thresholdsFor(generated::Draws& draws, const std::vector<GeneRow>& rows, int sampleCount,
                                  int trials) {
  constexpr double Huge = std::numeric_limits<double>::infinity();
  std::vector<double> thresholds{-1.0, 0.0, 1e300, std::numeric_limits<double>::quiet_NaN()};
  const int last = static_cast<int>(rows.size()) - 1;
  for (int trial = 0; trial < trials; ++trial) {
    const GeneRow& row = rows[static_cast<std::size_t>(draws.between(0, last))];
    birch::ClusteringFeature one;  // a feature founded by one row has that row as its centroid
    one.count = 1;
    birch::ClusteringFeature two;
    two.count = 2;
    const GeneRow& first = rows[static_cast<std::size_t>(draws.between(0, last))];
    const GeneRow& second = rows[static_cast<std::size_t>(draws.between(0, last))];
    for (int s = 0; s < sampleCount; ++s) {
      one.linearSum[s] = first.values[s];
      two.linearSum[s] = first.values[s] + second.values[s];
    }
    for (const birch::ClusteringFeature* feature : {&one, &two}) {
      const double d = birch::centroidDistance(*feature, row, sampleCount);
      if (std::isnan(d)) continue;
      thresholds.insert(thresholds.end(), {d, std::nextafter(d, -Huge), std::nextafter(d, Huge)});
    }
  }
  return thresholds;
}

// Minimum counts around the ends of the merging and a few between.
std::vector<int> minClusterCountsFor(generated::Draws& draws, int featureCount, int trials) {
  std::vector<int> counts{-1, 0, 1, 2, featureCount - 1, featureCount, featureCount + 3};
  for (int t = 0; t < trials; ++t) counts.push_back(draws.between(1, std::max(1, featureCount)));
  std::sort(counts.begin(), counts.end());
  counts.erase(std::unique(counts.begin(), counts.end()), counts.end());
  return counts;
}

// Every absorption drawn for the matrix, both ways, and every merge of it.
void expectSameClustering(const generated::Matrix& matrix, int trials, int reserveSize) {
  generated::Draws draws(matrix.rows.size() * 7919 + static_cast<std::uint64_t>(matrix.sampleCount));
  const int sampleCount = matrix.sampleCount;
  for (double threshold : thresholdsFor(draws, matrix.rows, sampleCount, trials)) {
    birch::LiteralNearestFeature scan;
    birch::PrunedNearestFeature pruned;
    const FeatureTable absorbed = birch::absorbRows(matrix.rows, sampleCount, threshold, scan);
    ASSERT_TRUE(sameTables(birch::absorbRows(matrix.rows, sampleCount, threshold, pruned), absorbed))
        << matrix.label << ", absorbed under " << threshold;
    for (int minClusterCount : minClusterCountsFor(draws, absorbed.featureCount(), trials)) {
      FeatureTable fast = absorbed;
      FeatureTable literal = absorbed;
      ASSERT_TRUE(sameMerge(fast, literal, sampleCount, minClusterCount, reserveSize))
          << matrix.label << ", absorbed under " << threshold << " into " << absorbed.featureCount()
          << " features, merged down to " << minClusterCount << ", reserve " << reserveSize;
    }
  }
}

std::vector<GeneRow> rowsOf(const std::vector<std::vector<double>>& values) {
  std::vector<GeneRow> rows(values.size());
  for (std::size_t r = 0; r < values.size(); ++r) std::copy(values[r].begin(), values[r].end(), rows[r].values.begin());
  return rows;
}

}  // namespace

TEST(BirchFastSearches, AbsorbAndMergeAsTheLiteralSearchesOnGeneratedTables) {
  const int reserveSizes[] = {0, 1, 2, clustering::NearestPartners::DefaultReserveSize};
  for (std::uint64_t seed = 1; seed <= 400; ++seed) {
    expectSameClustering(generated::drawCase(seed, 1, 24, 40), 2, reserveSizes[seed % 4]);
    if (HasFatalFailure()) return;
  }
  for (std::uint64_t seed = 2001; seed <= 2006; ++seed) {
    expectSameClustering(generated::drawCase(seed, 40, 120, 40), 1, reserveSizes[seed % 4]);
    if (HasFatalFailure()) return;
  }
}

TEST(BirchFastSearches, PlantedTables) {
  struct Planted {
    const char* what;
    generated::Matrix matrix;
    double threshold;
    std::vector<int> minClusterCounts;
  };
  // Feature 0 keeps feature 2, 5 away. Features 1 and 3 lie closest and merge into a centroid
  // (0, 5), also 5 away from feature 0: now (0, 1) is the first of the closest pairs.
  const generated::Matrix mergedAsNear{"merged as near", 2, rowsOf({{0, 0}, {-1, 5}, {5, 0}, {1, 5}})};
  const std::vector<Planted> planted = {
      {"a merged centroid as near as the kept partner wins by its lower index", mergedAsNear, -1.0, {2}},
      {"120 genes each founding its feature, merged down to one, compacting the kept table",
       generated::generateMatrix(3000, generated::Shape::Eighths, 120, 40), -1.0, {1, 60}},
      {"no features", generated::generateMatrix(5000, generated::Shape::Decimals, 0, 3), -1.0, {-1, 0, 1, 2}},
      {"a single feature", generated::generateMatrix(5000, generated::Shape::Decimals, 1, 3), -1.0, {-1, 0, 1, 2}},
  };
  for (const Planted& p : planted) {
    birch::LiteralNearestFeature scan;
    const FeatureTable absorbed = birch::absorbRows(p.matrix.rows, p.matrix.sampleCount, p.threshold, scan);
    for (int minClusterCount : p.minClusterCounts) {
      FeatureTable fast = absorbed;
      FeatureTable literal = absorbed;
      EXPECT_TRUE(sameMerge(fast, literal, p.matrix.sampleCount, minClusterCount)) << p.what;
    }
  }
  birch::LiteralNearestFeature scan;
  FeatureTable fast = birch::absorbRows(mergedAsNear.rows, 2, -1.0, scan);
  birch::KeptClosestFeatures kept;
  birch::mergeClosestFeatures(fast, 2, 2, kept);
  EXPECT_EQ(fast.subclusterOfRow, (std::vector<int>{0, 0, 2, 0}));
}

TEST(BirchFastSearches, MergingAgainATableWithMergedAwayFeatures) {
  // The live count starts at the number founded, merged away or not, so the second merge may
  // run out of pairs; both ways must agree on that too.
  for (std::uint64_t seed = 4001; seed <= 4040; ++seed) {
    generated::Draws draws(seed);
    const int sampleCount = draws.between(1, 4);
    const generated::Matrix matrix =
        generated::generateMatrix(draws, generated::Shape::SmallIntegers, draws.between(2, 30), sampleCount);
    birch::LiteralNearestFeature scan;
    FeatureTable fast = birch::absorbRows(matrix.rows, sampleCount, draws.between(0, 1) - 0.5, scan);
    FeatureTable literal = fast;
    const int first = draws.between(1, fast.featureCount());
    ASSERT_TRUE(sameMerge(fast, literal, sampleCount, first, 1)) << matrix.label;
    ASSERT_TRUE(sameMerge(fast, literal, sampleCount, draws.between(-1, first), 1)) << matrix.label;
  }
}
