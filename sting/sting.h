// Grid-cell clustering: the value range of every sample (column) is cut into
// `IntervalsPerSample` equal-width intervals, genes whose values fall into the same interval in
// every sample share one grid cell, and cells whose mean vectors lie within the distance
// threshold of each other are joined, transitively, into clusters.
//
// Invariants: every row ends in exactly one cell; cells are ordered by their lowest row and
// hold their members ascending; clusters are numbered from 0 in the order of their lowest cell.
// Interval bounds advance by repeated addition and every sum runs in row and sample order, so
// the cells and clusters are the same to the last bit on every host. The cells and their
// grouping are steps the clustering is given: the literal method (literal_cells.h) and the fast
// one (fast_cells.h) give the same bits.
#pragma once

#include <array>
#include <vector>

#include "common/gene_row.h"

namespace sting {

using clustering::MaxSamples;

inline constexpr int IntervalsPerSample = 4;

// A row's `cellState`: not yet in a grid cell (as loaded), or placed.
inline constexpr int NotPlaced = -2;
inline constexpr int Placed = -1;

struct GeneRow : clustering::GeneRow {
  std::array<int, MaxSamples> cellIndex{};  // per sample, the interval that holds the value
  int cellState = NotPlaced;
};

// The smallest and largest value of each sample's column. The minimum starts at
// InfiniteDistance and the maximum at 0.0, so a column of negative values only keeps 0.0 as its
// maximum and a column above 999999.0 keeps 999999.0 as its minimum.
struct ColumnRanges {
  std::vector<double> columnMin;
  std::vector<double> columnMax;
};

// Scans the rows in load order, each value updating its column's maximum, then its minimum
// (both strictly).
ColumnRanges findColumnRanges(const std::vector<GeneRow>& rows, int sampleCount);

// The lower bounds stepped over one column, from `columnMin` by repeated addition of
// (max - min) / IntervalsPerSample while the bound is below `columnMax`. Interval d runs from
// bound d to bound d + 1, both ends inclusive, so the last entry is the upper end of the last
// interval. The stepping ends early when adding the width leaves the bound unchanged (a range
// of a few units in the last place); the last interval then ends below the maximum.
std::vector<double> stepIntervals(double columnMin, double columnMax);

// The index of the LAST stepped interval that holds `value`; a value that none holds (the top of
// a column whose stepping ended early, or any value of a constant column) takes the next index.
int intervalIndex(const std::vector<double>& bounds, double value);

// Sets every row's `cellIndex` for samples 0 to sampleCount - 1.
void assignIntervals(std::vector<GeneRow>& rows, int sampleCount, const ColumnRanges& ranges);

struct GridCell {
  std::vector<int> members;  // row indices, ascending; grows as rows join
  int clusterLabel = -1;     // -1 while the cell is in no cluster
  std::vector<double> mean;  // per sample, the mean of the member rows' values
};

// True when the two rows' intervals agree in samples 0 to sampleCount - 1.
bool sameCellIndices(const GeneRow& a, const GeneRow& b, int sampleCount);

// The two steps of the clustering that a method may do its own way; every method gives the
// same cells, means and labels to the last bit.
class CellSteps {
 public:
  virtual ~CellSteps() = default;

  // Gathers rows with equal index vectors into cells, made in the order of their lowest row, each
  // holding its members ascending; the mean sums the members' values in ascending row order, then
  // divides by the member count. Rows not NotPlaced join no cell; every row ends Placed.
  virtual std::vector<GridCell> buildGridCells(std::vector<GeneRow>& rows, int sampleCount) const = 0;

  // Labels every cell with its cluster and returns the number of clusters: the connected parts of
  // the graph that links two cells unless the distance between their means is greater than
  // `distanceThreshold` (an equal distance links, so does one that is no number; a negative
  // threshold links only such), numbered from 0 in the order of their lowest cell. The cells come
  // unlabelled, as buildGridCells makes them.
  virtual int groupCells(std::vector<GridCell>& cells, int sampleCount, double distanceThreshold) const = 0;
};

struct GridClustering {
  std::vector<GridCell> cells;
  int clusterCount = 0;
};

// The whole clustering of loaded rows: column ranges, intervals, then the two steps.
GridClustering clusterGenes(std::vector<GeneRow>& rows, int sampleCount, double distanceThreshold,
                            const CellSteps& steps);

// The rows of each cluster in writing order: its cells ascending, each cell's members ascending.
std::vector<std::vector<int>> clusterMembers(const std::vector<GridCell>& cells, int clusterCount);

}  // namespace sting
