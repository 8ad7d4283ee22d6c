// The fast cell steps against the literal ones, through the clustering that is given them, on
// generated matrices of every shape and thresholds at the distances that decide a link, the
// doubles next to them and the extremes, with every instruction set the processor has. The family
// is checked to plant what the fast steps must get right: constant columns, fifth intervals,
// means that overflowed and distances that are no number.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "bench/matrix_generator.h"
#include "common/packed_vectors.h"
#include "sting/fast_cells.h"
#include "sting/literal_cells.h"
#include "support/each_vector_level.h"

namespace {

using namespace sting;

constexpr double Infinity = std::numeric_limits<double>::infinity();

std::uint64_t bits(double value) {
  std::uint64_t out;
  std::memcpy(&out, &value, sizeof out);
  return out;
}

std::vector<GeneRow> rowsOf(const generated::Matrix& matrix) {
  std::vector<GeneRow> rows(matrix.rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i].values = matrix.rows[i].values;
  return rows;
}

GridClustering clusteredBy(const CellSteps& steps, const generated::Matrix& matrix, double threshold) {
  std::vector<GeneRow> rows = rowsOf(matrix);
  GridClustering clustering = clusterGenes(rows, matrix.sampleCount, threshold, steps);
  for (const GeneRow& row : rows) EXPECT_EQ(row.cellState, Placed);
  return clustering;
}

void expectSame(const GridClustering& fast, const GridClustering& literal, const std::string& label) {
  ASSERT_EQ(fast.clusterCount, literal.clusterCount) << label;
  ASSERT_EQ(fast.cells.size(), literal.cells.size()) << label;
  for (std::size_t c = 0; c < fast.cells.size(); ++c) {
    ASSERT_EQ(fast.cells[c].members, literal.cells[c].members) << label << " cell " << c;
    ASSERT_EQ(fast.cells[c].clusterLabel, literal.cells[c].clusterLabel) << label << " cell " << c;
    ASSERT_EQ(fast.cells[c].mean.size(), literal.cells[c].mean.size()) << label << " cell " << c;
    for (std::size_t s = 0; s < fast.cells[c].mean.size(); ++s) {
      ASSERT_EQ(bits(fast.cells[c].mean[s]), bits(literal.cells[c].mean[s])) << label << " cell " << c << " sample " << s;
    }
  }
}

// What the family planted, counted over all cases.
struct Planted {
  int constantColumns = 0;
  int fifthIntervals = 0;
  int overflowedMeans = 0;
  int linksByNoNumber = 0;
};

// The thresholds at which a link appears: each cell's distance to its nearest other cell, for a
// few cells, with the doubles on either side; and thresholds that link nothing or everything.
std::vector<double> decidingThresholds(const std::vector<GridCell>& cells, int sampleCount, Planted& planted) {
  std::vector<double> thresholds{-1.0, 0.0, std::numeric_limits<double>::max(), Infinity,
                                 std::numeric_limits<double>::quiet_NaN()};
  const std::size_t step = std::max<std::size_t>(1, cells.size() / 6);
  for (std::size_t a = 0; a < cells.size(); ++a) {
    double nearest = Infinity;
    for (std::size_t b = 0; b < cells.size(); ++b) {
      if (b == a) continue;
      const double distance = clustering::euclideanDistance(cells[a].mean.data(), cells[b].mean.data(), sampleCount);
      if (std::isnan(distance)) planted.linksByNoNumber += b > a;
      if (distance < nearest) nearest = distance;
    }
    if (a % step != 0 || !std::isfinite(nearest)) continue;
    thresholds.insert(thresholds.end(), {nearest, std::nextafter(nearest, -Infinity), std::nextafter(nearest, Infinity)});
  }
  return thresholds;
}

void countPlanted(const generated::Matrix& matrix, const GridClustering& literal, Planted& planted) {
  std::vector<GeneRow> rows = rowsOf(matrix);
  const ColumnRanges ranges = findColumnRanges(rows, matrix.sampleCount);
  assignIntervals(rows, matrix.sampleCount, ranges);
  for (int s = 0; s < matrix.sampleCount && !rows.empty(); ++s) {
    const auto column = static_cast<std::size_t>(s);
    planted.constantColumns += ranges.columnMin[column] == ranges.columnMax[column];
    planted.fifthIntervals += std::any_of(rows.begin(), rows.end(), [column](const GeneRow& row) {
      return row.cellIndex[column] == IntervalsPerSample;
    });
  }
  for (const GridCell& cell : literal.cells) {
    planted.overflowedMeans += !clustering::allFinite(cell.mean.data(), matrix.sampleCount);
  }
}

class FastAgainstLiteral : public testsupport::EachVectorLevel {
 protected:
  // Cases `firstSeed` on of the generator's family, each at its deciding thresholds.
  Planted checkCases(std::uint64_t firstSeed, int caseCount, int minGenes, int maxGenes, int maxSamples) {
    Planted planted;
    for (std::uint64_t seed = firstSeed; seed < firstSeed + static_cast<std::uint64_t>(caseCount); ++seed) {
      const generated::Matrix matrix = generated::drawCase(seed, minGenes, maxGenes, maxSamples);
      const GridClustering apart = clusteredBy(LiteralCellSteps{}, matrix, -1.0);
      countPlanted(matrix, apart, planted);
      for (double threshold : decidingThresholds(apart.cells, matrix.sampleCount, planted)) {
        expectSame(clusteredBy(FastCellSteps{}, matrix, threshold), clusteredBy(LiteralCellSteps{}, matrix, threshold),
                   matrix.label + ", threshold " + std::to_string(threshold));
        if (HasFatalFailure()) return planted;
      }
    }
    return planted;
  }
};

TEST_P(FastAgainstLiteral, FastGivesTheLiteralCellsAndClusters) {
  const Planted small = checkCases(1, 300, 1, 70, 30);
  EXPECT_GT(small.constantColumns, 0);
  EXPECT_GT(small.fifthIntervals, 0);
  EXPECT_GT(small.overflowedMeans, 0);
  EXPECT_GT(small.linksByNoNumber, 0);
  // Enough genes for long chains, cells of many rows and sweeps over several blocks.
  checkCases(5001, 12, 200, 500, 40);
}

EACH_VECTOR_LEVEL(FastAgainstLiteral);

}  // namespace
