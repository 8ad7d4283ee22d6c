// birch's fast merge against the literal one, on tables drawn with many ties: after absorbing
// under thresholds at and around the deciding distances, both merge down to minimum counts
// from below one to above the number of features, and must agree on the outcome, every
// feature's count and sums to the bit, the label of every row and the clusters in the order
// they are written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "birch/birch.h"
#include "generated_tables.h"
#include "literal_birch.h"

using birch::FeatureTable;
using birch::MergeOutcome;
using speed_birch::drawBetween;
using speed_birch::Values;

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
  for (std::size_t r = 0; r < fast.subclusterOfRow.size(); ++r) {
    if (fast.subclusterOfRow[r] != literal.subclusterOfRow[r]) {
      return testing::AssertionFailure() << "row " << r << " in feature " << fast.subclusterOfRow[r] << ", literally "
                                         << literal.subclusterOfRow[r];
    }
  }
  return testing::AssertionSuccess();
}

// Merges copies of `absorbed` down to `minClusterCount` both ways, then writes both.
testing::AssertionResult sameMerge(FeatureTable& fast, FeatureTable& literal, int sampleCount, int minClusterCount) {
  const MergeOutcome fastOutcome = birch::mergeClosestFeatures(fast, sampleCount, minClusterCount);
  const MergeOutcome literalOutcome = literal_birch::mergeClosestFeatures(literal, sampleCount, minClusterCount);
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

// Minimum counts around the ends of the merging and a few between.
std::vector<int> minClusterCountsFor(std::mt19937_64& draws, int featureCount, int trials) {
  std::vector<int> counts{-1, 0, 1, 2, featureCount - 1, featureCount, featureCount + 3};
  for (int t = 0; t < trials; ++t) counts.push_back(drawBetween(draws, 1, std::max(1, featureCount)));
  std::sort(counts.begin(), counts.end());
  counts.erase(std::unique(counts.begin(), counts.end()), counts.end());
  return counts;
}

// Draws `tableCount` tables of `values` with gene counts from `fewestGenes` to `mostGenes` and
// compares every merge of every absorption drawn for them.
void expectSameMerges(std::uint64_t seed, Values values, int tableCount, int fewestGenes, int mostGenes,
                      int countTrials) {
  std::mt19937_64 draws(seed);
  for (int table = 0; table < tableCount; ++table) {
    const int geneCount = drawBetween(draws, fewestGenes, mostGenes);
    // Few samples make ties likely; up to 40 as in the users' matrices.
    const int sampleCount = drawBetween(draws, 0, 1) == 0 ? drawBetween(draws, 0, 3) : drawBetween(draws, 4, 40);
    const auto rows = speed_birch::generateRows(draws, geneCount, sampleCount, values);
    for (double threshold : speed_birch::thresholdsFor(draws, rows, sampleCount)) {
      const FeatureTable absorbed = birch::absorbRows(rows, sampleCount, threshold);
      for (int minClusterCount : minClusterCountsFor(draws, absorbed.featureCount(), countTrials)) {
        FeatureTable fast = absorbed;
        FeatureTable literal = absorbed;
        ASSERT_TRUE(sameMerge(fast, literal, sampleCount, minClusterCount))
            << describe(values) << ", table " << table << ": " << geneCount << " genes, " << sampleCount
            << " samples, threshold " << threshold << ", " << absorbed.featureCount() << " features, down to "
            << minClusterCount;
      }
    }
  }
}

class FastMergeAgainstLiteral : public testing::TestWithParam<Values> {};

}  // namespace

TEST_P(FastMergeAgainstLiteral, SmallTables) {
  expectSameMerges(1000 + static_cast<std::uint64_t>(GetParam()), GetParam(), 400, 2, 24, 3);
}

TEST_P(FastMergeAgainstLiteral, TablesOfUpToTwoHundredGenes) {
  expectSameMerges(2000 + static_cast<std::uint64_t>(GetParam()), GetParam(), 3, 40, 200, 1);
}

INSTANTIATE_TEST_SUITE_P(Values, FastMergeAgainstLiteral,
                         testing::Values(Values::SmallIntegers, Values::Signs, Values::RepeatedRows, Values::Eighths,
                                         Values::Decimals, Values::FarApart, Values::Overflowing),
                         [](const testing::TestParamInfo<Values>& info) {
                           std::string name = speed_birch::describe(info.param);
                           name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
                           return name;
                         });

TEST(FastMergeAgainstLiteralOnce, ThreeHundredGenesEachFoundingItsFeatureMergedDownToOne) {
  std::mt19937_64 draws(3000);
  const auto rows = speed_birch::generateRows(draws, 300, 40, Values::Eighths);
  const FeatureTable absorbed = birch::absorbRows(rows, 40, -1.0);
  ASSERT_EQ(absorbed.featureCount(), 300);
  FeatureTable fast = absorbed;
  FeatureTable literal = absorbed;
  EXPECT_TRUE(sameMerge(fast, literal, 40, 1));
}

TEST(FastMergeAgainstLiteralOnce, AMergedCentroidAsNearAsTheKeptPartnerWinsByItsLowerIndex) {
  // Feature 0 keeps feature 2, 5 away. Features 1 and 3 lie closest and merge into a centroid
  // (0, 5), also 5 away from feature 0: now (0, 1) is the first of the closest pairs.
  std::vector<clustering::GeneRow> rows(4);
  const double values[4][2] = {{0.0, 0.0}, {-1.0, 5.0}, {5.0, 0.0}, {1.0, 5.0}};
  for (int r = 0; r < 4; ++r) {
    rows[r].values[0] = values[r][0];
    rows[r].values[1] = values[r][1];
  }
  FeatureTable fast = birch::absorbRows(rows, 2, -1.0);
  FeatureTable literal = fast;
  ASSERT_TRUE(sameMerge(fast, literal, 2, 2));
  EXPECT_EQ(fast.subclusterOfRow, (std::vector<int>{0, 0, 2, 0}));
}

TEST(FastMergeAgainstLiteralOnce, MergingAgainATableWithMergedAwayFeatures) {
  // The live count starts at the number founded, merged away or not, so the second merge may
  // run out of pairs; both ways must agree on that too.
  std::mt19937_64 draws(4000);
  for (int table = 0; table < 40; ++table) {
    const int sampleCount = drawBetween(draws, 1, 4);
    const auto rows = speed_birch::generateRows(draws, drawBetween(draws, 2, 30), sampleCount, Values::SmallIntegers);
    FeatureTable fast = birch::absorbRows(rows, sampleCount, drawBetween(draws, 0, 1) - 0.5);
    FeatureTable literal = fast;
    const int first = drawBetween(draws, 1, fast.featureCount());
    ASSERT_TRUE(sameMerge(fast, literal, sampleCount, first)) << "table " << table;
    ASSERT_TRUE(sameMerge(fast, literal, sampleCount, drawBetween(draws, -1, first))) << "table " << table;
  }
}

TEST(FastMergeAgainstLiteralOnce, NoFeaturesOrASingleOne) {
  for (int geneCount : {0, 1}) {
    std::mt19937_64 draws(5000);
    const auto rows = speed_birch::generateRows(draws, geneCount, 3, Values::Decimals);
    for (int minClusterCount : {-1, 0, 1, 2}) {
      FeatureTable fast = birch::absorbRows(rows, 3, -1.0);
      FeatureTable literal = fast;
      EXPECT_TRUE(sameMerge(fast, literal, 3, minClusterCount)) << geneCount << " genes, down to " << minClusterCount;
    }
  }
}
