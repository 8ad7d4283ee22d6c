// Grid-cell clustering on small in-memory tables: column ranges, interval stepping to the last
// bit, cells with their means, and the joining of cells into clusters, the last two by the
// literal and the fast steps alike.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sting/fast_cells.h"
#include "sting/literal_cells.h"
#include "sting/sting.h"

using namespace sting;

namespace {

// One row per entry of `columns[0]`, value s of row i taken from columns[s][i].
std::vector<GeneRow> table(const std::vector<std::vector<double>>& columns) {
  std::vector<GeneRow> rows(columns.empty() ? 0 : columns[0].size());
  for (std::size_t s = 0; s < columns.size(); ++s) {
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i].values[s] = columns[s][i];
  }
  return rows;
}

// The interval index of every row in a one-sample table of `column`.
std::vector<int> indicesOf(const std::vector<double>& column) {
  std::vector<GeneRow> rows = table({column});
  assignIntervals(rows, 1, findColumnRanges(rows, 1));
  std::vector<int> indices;
  for (const GeneRow& row : rows) indices.push_back(row.cellIndex[0]);
  return indices;
}

GridCell cellWithMean(std::vector<double> mean) {
  GridCell cell;
  cell.mean = std::move(mean);
  return cell;
}

std::vector<int> labels(const std::vector<GridCell>& cells) {
  std::vector<int> result;
  for (const GridCell& cell : cells) result.push_back(cell.clusterLabel);
  return result;
}

// The cells of `rows` by both steps, which must agree; `rows` end as the steps leave them.
std::vector<GridCell> cellsOf(std::vector<GeneRow>& rows, int sampleCount) {
  std::vector<GeneRow> copy = rows;
  const std::vector<GridCell> literal = LiteralCellSteps{}.buildGridCells(copy, sampleCount);
  const std::vector<GridCell> fast = FastCellSteps{}.buildGridCells(rows, sampleCount);
  EXPECT_EQ(fast.size(), literal.size());
  for (std::size_t c = 0; c < fast.size() && c < literal.size(); ++c) {
    EXPECT_EQ(fast[c].members, literal[c].members) << "cell " << c;
    EXPECT_EQ(fast[c].mean, literal[c].mean) << "cell " << c;
  }
  return fast;
}

// The labels of `cells` grouped by both steps, which must agree, each finding `expectedClusters`.
std::vector<int> labelsAfterGrouping(const std::vector<GridCell>& cells, int sampleCount, double threshold,
                                     int expectedClusters) {
  std::vector<GridCell> literal = cells;
  EXPECT_EQ(LiteralCellSteps{}.groupCells(literal, sampleCount, threshold), expectedClusters) << "literal";
  std::vector<GridCell> fast = cells;
  EXPECT_EQ(FastCellSteps{}.groupCells(fast, sampleCount, threshold), expectedClusters) << "fast";
  EXPECT_EQ(labels(fast), labels(literal));
  return labels(literal);
}

}  // namespace

TEST(ColumnRanges, StartAtInfiniteDistanceAndZero) {
  const std::vector<GeneRow> rows = table({{-4, -1, -2}, {1000001, 1000004, 1000002}, {0.5, 3, 2}});
  const ColumnRanges ranges = findColumnRanges(rows, 3);
  // Negative values only: the maximum stays 0.0. Values above 999999.0: the minimum stays there.
  EXPECT_EQ(ranges.columnMin, (std::vector<double>{-4, 999999.0, 0.5}));
  EXPECT_EQ(ranges.columnMax, (std::vector<double>{0.0, 1000004, 3}));
  const ColumnRanges none = findColumnRanges({}, 2);
  EXPECT_EQ(none.columnMin, (std::vector<double>{999999.0, 999999.0}));
  EXPECT_EQ(none.columnMax, (std::vector<double>{0.0, 0.0}));
}

TEST(StepIntervals, BoundsAdvanceByRepeatedAddition) {
  // The fourth addition lands just below 0.9, so a fifth interval is stepped.
  EXPECT_EQ(stepIntervals(0.1, 0.9),
            (std::vector<double>{0.1, 0.30000000000000004, 0.5, 0.7, 0.8999999999999999, 1.0999999999999999}));
  EXPECT_EQ(stepIntervals(0.0, 1.0), (std::vector<double>{0.0, 0.25, 0.5, 0.75, 1.0}));
  EXPECT_EQ(stepIntervals(999999.0, 1000004.0),
            (std::vector<double>{999999.0, 1000000.25, 1000001.5, 1000002.75, 1000004.0}));
  EXPECT_EQ(stepIntervals(7.0, 7.0), (std::vector<double>{7.0}));
}

TEST(AssignIntervals, AValueTakesTheLastIntervalThatHoldsIt) {
  // 0.3 lies below the stepped bound 0.30000000000000004; 0.9 lies only in the fifth interval.
  EXPECT_EQ(indicesOf({0.1, 0.3, 0.5, 0.7, 0.8, 0.9}), (std::vector<int>{0, 0, 2, 3, 3, 4}));
  // Inner boundaries take the upper interval, the maximum the last one.
  EXPECT_EQ(indicesOf({0.0, 0.2, 0.25, 0.3, 0.5, 0.75, 1.0}), (std::vector<int>{0, 0, 1, 1, 2, 3, 3}));
  // Negative values only: the range runs up to 0.0.
  EXPECT_EQ(indicesOf({-4, -3.5, -3, -2, -1, -0.5}), (std::vector<int>{0, 0, 1, 2, 3, 3}));
  // Above 999999.0: the first interval starts at 999999.0, not at the smallest value.
  EXPECT_EQ(indicesOf({1000000, 1000000.5, 1000001, 1000004}), (std::vector<int>{0, 1, 1, 3}));
  EXPECT_EQ(indicesOf({5, 5, 5}), (std::vector<int>{0, 0, 0}));
}

TEST(AssignIntervals, EveryRowGetsAnIndexPerSample) {
  std::vector<GeneRow> rows = table({{0.0, 4.0, 0.5, 1.2, 0.4}, {10.0, 0.0, 9.0, 10.0, 2.0}});
  assignIntervals(rows, 2, findColumnRanges(rows, 2));
  const std::vector<std::array<int, 2>> expected{{0, 3}, {3, 0}, {0, 3}, {1, 3}, {0, 0}};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].cellIndex[0], expected[i][0]) << "row " << i;
    EXPECT_EQ(rows[i].cellIndex[1], expected[i][1]) << "row " << i;
    EXPECT_EQ(rows[i].cellIndex[2], 0) << "beyond sampleCount";
  }
}

TEST(AssignIntervals, SteppingEndsWhenTheWidthNoLongerMovesTheBound) {
  // Adjacent doubles: a quarter of a unit in the last place leaves 1.0 where it is.
  const double above = std::nextafter(1.0, 2.0);
  EXPECT_EQ(stepIntervals(1.0, above), (std::vector<double>{1.0, 1.0}));
  EXPECT_EQ(indicesOf({1.0, above, 1.0}), (std::vector<int>{0, 1, 0}));

  // Across a power of two the bound moves once, then sticks below the maximum.
  const double below = std::nextafter(2.0, 0.0);
  const double aboveTwo = std::nextafter(2.0, 3.0);
  EXPECT_EQ(stepIntervals(below, aboveTwo), (std::vector<double>{below, 2.0, 2.0}));
  EXPECT_EQ(indicesOf({below, 2.0, aboveTwo}), (std::vector<int>{0, 1, 2}));

  // A range so small that its quarter rounds to zero.
  const double tiny = std::numeric_limits<double>::denorm_min();
  EXPECT_EQ(indicesOf({0.0, tiny}), (std::vector<int>{0, 1}));

  // A range too wide for a double: one interval holds everything.
  EXPECT_EQ(indicesOf({-1e308, 1e308, 0.0}), (std::vector<int>{0, 0, 0}));
}

TEST(BuildGridCells, RowsWithEqualIndexVectorsShareACell) {
  std::vector<GeneRow> rows = table({{0.0, 4.0, 0.5, 1.2, 0.4}, {10.0, 0.0, 9.0, 10.0, 2.0}});
  assignIntervals(rows, 2, findColumnRanges(rows, 2));
  const std::vector<GridCell> cells = cellsOf(rows, 2);
  ASSERT_EQ(cells.size(), 4u);
  EXPECT_EQ(cells[0].members, (std::vector<int>{0, 2}));
  EXPECT_EQ(cells[0].mean, (std::vector<double>{0.25, 9.5}));
  EXPECT_EQ(cells[1].members, (std::vector<int>{1}));
  EXPECT_EQ(cells[1].mean, (std::vector<double>{4.0, 0.0}));  // one row: its own values
  EXPECT_EQ(cells[2].members, (std::vector<int>{3}));
  EXPECT_EQ(cells[3].members, (std::vector<int>{4}));
  for (const GridCell& cell : cells) EXPECT_EQ(cell.clusterLabel, -1);
  for (const GeneRow& row : rows) EXPECT_EQ(row.cellState, Placed);
}

TEST(BuildGridCells, MeansSumMembersInRowOrder) {
  // 0.1, 0.2 and 0.3 share the lowest interval of a column reaching 100; the sum runs
  // (0.1 + 0.2) + 0.3, which is not 0.6.
  std::vector<GeneRow> rows = table({{0.1, 100.0, 0.2, 0.3}});
  assignIntervals(rows, 1, findColumnRanges(rows, 1));
  const std::vector<GridCell> cells = cellsOf(rows, 1);
  ASSERT_EQ(cells.size(), 2u);
  EXPECT_EQ(cells[0].members, (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(cells[0].mean[0], 0.6000000000000001 / 3.0);
  EXPECT_NE(cells[0].mean[0], 0.2);
}

TEST(BuildGridCells, WithoutSamplesEveryRowFallsIntoOneCell) {
  std::vector<GeneRow> rows = table({{1, 2, 3}});
  assignIntervals(rows, 0, findColumnRanges(rows, 0));
  const std::vector<GridCell> cells = cellsOf(rows, 0);
  ASSERT_EQ(cells.size(), 1u);
  EXPECT_EQ(cells[0].members, (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(cells[0].mean.empty());
  std::vector<GeneRow> noRows;
  EXPECT_TRUE(cellsOf(noRows, 2).empty());
}

TEST(GroupCells, ADistanceEqualToTheThresholdJoins) {
  const std::vector<GridCell> cells{cellWithMean({0, 0}), cellWithMean({3, 4})};
  EXPECT_EQ(labelsAfterGrouping(cells, 2, 5.0, 1), (std::vector<int>{0, 0}));
  EXPECT_EQ(labelsAfterGrouping(cells, 2, std::nextafter(5.0, 0.0), 2), (std::vector<int>{0, 1}));
}

TEST(GroupCells, ChainsJoinEvenWhereTheirEndsLieFarApart) {
  // A-B and B-C are within 1.5, A-C is not.
  EXPECT_EQ(labelsAfterGrouping({cellWithMean({0}), cellWithMean({1}), cellWithMean({2})}, 1, 1.5, 1),
            (std::vector<int>{0, 0, 0}));
  // A chain that turns back: cell 2 reaches cell 1, which lies after the seed but before cell 2.
  EXPECT_EQ(labelsAfterGrouping({cellWithMean({0}), cellWithMean({4}), cellWithMean({2}), cellWithMean({9})}, 1,
                                2.0, 2),
            (std::vector<int>{0, 0, 0, 1}));
}

TEST(GroupCells, ClustersAreNumberedByTheirLowestCell) {
  EXPECT_EQ(labelsAfterGrouping({cellWithMean({10}), cellWithMean({0}), cellWithMean({10.5}), cellWithMean({0.5})},
                                1, 1.0, 2),
            (std::vector<int>{0, 1, 0, 1}));
}

TEST(GroupCells, ANegativeThresholdLeavesEveryCellAlone) {
  EXPECT_EQ(labelsAfterGrouping({cellWithMean({1}), cellWithMean({1}), cellWithMean({2})}, 1, -1.0, 3),
            (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(labelsAfterGrouping({}, 1, 1.0, 0), std::vector<int>{});
}

TEST(GroupCells, ADistanceThatIsNoNumberJoins) {
  // Means that overflowed to infinity are apart by no number at all, which is not greater.
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(labelsAfterGrouping({cellWithMean({inf}), cellWithMean({inf}), cellWithMean({0})}, 1, 1.0, 2),
            (std::vector<int>{0, 0, 1}));
  // A sum already above the threshold still turns into no number at a later sample.
  std::vector<double> late(14, 0.0);
  late[12] = 5.0;
  late[13] = std::numeric_limits<double>::quiet_NaN();
  const GridCell origin = cellWithMean(std::vector<double>(14, 0.0));
  EXPECT_EQ(labelsAfterGrouping({origin, origin, cellWithMean(late)}, 14, 1.0, 1), (std::vector<int>{0, 0, 0}));
}

TEST(ClusterMembers, CellsInOrderThenMembersAscending) {
  std::vector<GridCell> cells(3);
  cells[0].members = {0, 3};
  cells[0].clusterLabel = 0;
  cells[1].members = {1};
  cells[1].clusterLabel = 1;
  cells[2].members = {2, 4};
  cells[2].clusterLabel = 0;
  EXPECT_EQ(clusterMembers(cells, 2), (std::vector<std::vector<int>>{{0, 3, 2, 4}, {1}}));
}
