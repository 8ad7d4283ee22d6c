#include "sting/literal_cells.h"

namespace sting {

using clustering::euclideanDistance;

std::vector<GridCell> LiteralCellSteps::buildGridCells(std::vector<GeneRow>& rows, int sampleCount) const {
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
      if (candidate.cellState != NotPlaced || !sameCellIndices(seed, candidate, sampleCount)) continue;
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

int LiteralCellSteps::groupCells(std::vector<GridCell>& cells, int sampleCount, double distanceThreshold) const {
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

}  // namespace sting
