#include "sting.h"

namespace sting {

using clustering::euclideanDistance;
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
  for (int s = 0; s < sampleCount; ++s) {
    const auto column = static_cast<std::size_t>(s);
    // The stepping depends on the column alone, so it is done once for all its rows.
    const std::vector<double> bounds = stepIntervals(ranges.columnMin[column], ranges.columnMax[column]);
    for (GeneRow& row : rows) row.cellIndex[column] = intervalIndex(bounds, row.values[column]);
  }
}

namespace {

bool sameCell(const GeneRow& a, const GeneRow& b, int sampleCount) {
  for (std::size_t s = 0; s < static_cast<std::size_t>(sampleCount); ++s) {
    if (a.cellIndex[s] != b.cellIndex[s]) return false;
  }
  return true;
}

}  // namespace

std::vector<GridCell> buildGridCells(std::vector<GeneRow>& rows, int sampleCount) {
  std::vector<GridCell> cells;
  const int geneCount = static_cast<int>(rows.size());
  const auto samples = static_cast<std::size_t>(sampleCount);
  for (int i = 0; i < geneCount; ++i) {
    GeneRow& seed = rows[static_cast<std::size_t>(i)];
    if (seed.cellState != NotPlaced) continue;
    seed.cellState = Placed;
    GridCell cell;
    cell.members.push_back(i);
    cell.mean.assign(seed.values.begin(), seed.values.begin() + static_cast<std::ptrdiff_t>(samples));
    for (int k = i + 1; k < geneCount; ++k) {
      GeneRow& candidate = rows[static_cast<std::size_t>(k)];
      if (candidate.cellState != NotPlaced || !sameCell(seed, candidate, sampleCount)) continue;
      cell.members.push_back(k);
      candidate.cellState = Placed;
      for (std::size_t s = 0; s < samples; ++s) cell.mean[s] = cell.mean[s] + candidate.values[s];
    }
    const double memberCount = static_cast<double>(cell.members.size());
    for (std::size_t s = 0; s < samples; ++s) cell.mean[s] = cell.mean[s] / memberCount;
    cells.push_back(std::move(cell));
  }
  return cells;
}

int groupCells(std::vector<GridCell>& cells, int sampleCount, double distanceThreshold) {
  const int cellCount = static_cast<int>(cells.size());
  int clusterNumber = -1;
  std::vector<int> cellStack;
  for (int b = 0; b < cellCount; ++b) {
    if (cells[static_cast<std::size_t>(b)].clusterLabel >= 0) continue;
    ++clusterNumber;
    cells[static_cast<std::size_t>(b)].clusterLabel = clusterNumber;
    cellStack.clear();
    int current = b;
    for (;;) {
      const double* currentMean = cells[static_cast<std::size_t>(current)].mean.data();
      // Every unlabelled cell after the seed, not only after the current cell: a chain may turn
      // back to a cell between the two.
      for (int p = b + 1; p < cellCount; ++p) {
        GridCell& other = cells[static_cast<std::size_t>(p)];
        if (other.clusterLabel >= 0) continue;
        const double distance = euclideanDistance(currentMean, other.mean.data(), sampleCount);
        if (distance > distanceThreshold) continue;
        // Labelled when pushed, so no cell is pushed twice.
        other.clusterLabel = clusterNumber;
        cellStack.push_back(p);
      }
      if (cellStack.empty()) break;
      current = cellStack.back();
      cellStack.pop_back();
    }
  }
  return clusterNumber + 1;
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
