#include "sting/sting.h"

namespace sting {

using clustering::InfiniteDistance;

ColumnRanges findColumnRanges(const std::vector<GeneRow>& rows, int sampleCount) {
  ColumnRanges ranges;
  ranges.columnMin.assign(static_cast<std::size_t>(sampleCount), InfiniteDistance);
  ranges.columnMax.assign(static_cast<std::size_t>(sampleCount), 0.0);
  for (const GeneRow& row : rows) {
    for (int s = 0; s < sampleCount; ++s) {
      const double value = row.values[static_cast<std::size_t>(s)];
      if (value > ranges.columnMax[static_cast<std::size_t>(s)]) ranges.columnMax[static_cast<std::size_t>(s)] = value;
      if (value < ranges.columnMin[static_cast<std::size_t>(s)]) ranges.columnMin[static_cast<std::size_t>(s)] = value;
    }
  }
  return ranges;
}

std::vector<double> stepIntervals(double columnMin, double columnMax) {
  const double width = (columnMax - columnMin) / static_cast<double>(IntervalsPerSample);
  std::vector<double> bounds{columnMin};
  double lower = columnMin;
  while (lower < columnMax) {
    // The upper end of this interval is exactly the next lower bound.
    const double next = lower + width;
    bounds.push_back(next);
    // A width below half a unit in the last place of the bound no longer moves it.
    if (next == lower) break;
    lower = next;
  }
  return bounds;
}

int intervalIndex(const std::vector<double>& bounds, double value) {
  const int stepped = static_cast<int>(bounds.size()) - 1;
  int index = stepped;
  for (int d = 0; d < stepped; ++d) {
    if (bounds[static_cast<std::size_t>(d)] <= value && value <= bounds[static_cast<std::size_t>(d) + 1]) index = d;
  }
  return index;
}

void assignIntervals(std::vector<GeneRow>& rows, int sampleCount, const ColumnRanges& ranges) {
  // The stepping depends on the column alone, so it is done once for all its rows; each row is
  // then visited once.
  std::vector<std::vector<double>> bounds;
  for (std::size_t s = 0; s < static_cast<std::size_t>(sampleCount); ++s) {
    bounds.push_back(stepIntervals(ranges.columnMin[s], ranges.columnMax[s]));
  }
  for (GeneRow& row : rows) {
    for (std::size_t s = 0; s < bounds.size(); ++s) row.cellIndex[s] = intervalIndex(bounds[s], row.values[s]);
  }
}

bool sameCellIndices(const GeneRow& a, const GeneRow& b, int sampleCount) {
  for (std::size_t s = 0; s < static_cast<std::size_t>(sampleCount); ++s) {
    if (a.cellIndex[s] != b.cellIndex[s]) return false;
  }
  return true;
}

GridClustering clusterGenes(std::vector<GeneRow>& rows, int sampleCount, double distanceThreshold,
                            const CellSteps& steps) {
  assignIntervals(rows, sampleCount, findColumnRanges(rows, sampleCount));
  GridClustering clustering;
  clustering.cells = steps.buildGridCells(rows, sampleCount);
  clustering.clusterCount = steps.groupCells(clustering.cells, sampleCount, distanceThreshold);
  return clustering;
}

std::vector<std::vector<int>> clusterMembers(const std::vector<GridCell>& cells, int clusterCount) {
  std::vector<std::vector<int>> clusters(static_cast<std::size_t>(clusterCount));
  for (const GridCell& cell : cells) {
    std::vector<int>& rows = clusters[static_cast<std::size_t>(cell.clusterLabel)];
    rows.insert(rows.end(), cell.members.begin(), cell.members.end());
  }
  return clusters;
}

}  // namespace sting
