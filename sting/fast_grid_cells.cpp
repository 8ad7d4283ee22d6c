// Cells by hashing the rows' index vectors. The table maps a slot to the cell that holds an index
// vector; a hit is confirmed against the cell's first row, so colliding hashes only cost probes.
#include <cstdint>

#include "sting/fast_cells.h"

namespace sting {

namespace {

std::uint64_t hashIndices(const GeneRow& row, int sampleCount) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a, then a final mix for the low bits
  for (std::size_t s = 0; s < static_cast<std::size_t>(sampleCount); ++s) {
    hash = (hash ^ static_cast<std::uint32_t>(row.cellIndex[s])) * 0x100000001b3ULL;
  }
  hash ^= hash >> 33;
  hash *= 0xff51afd7ed558ccdULL;
  return hash ^ (hash >> 33);
}

}  // namespace

std::vector<GridCell> FastCellSteps::buildGridCells(std::vector<GeneRow>& rows, int sampleCount) const {
  const auto samples = static_cast<std::size_t>(sampleCount);
  // At most half the slots in use, so probe runs stay short.
  std::size_t slotCount = 2;
  while (slotCount < 2 * rows.size()) slotCount *= 2;
  const std::size_t mask = slotCount - 1;
  std::vector<int> cellOfSlot(slotCount, -1);

  std::vector<GridCell> cells;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    GeneRow& row = rows[i];
    if (row.cellState != NotPlaced) continue;
    row.cellState = Placed;
    std::size_t slot = hashIndices(row, sampleCount) & mask;
    while (cellOfSlot[slot] >= 0) {
      const GridCell& held = cells[static_cast<std::size_t>(cellOfSlot[slot])];
      if (sameCellIndices(rows[static_cast<std::size_t>(held.members.front())], row, sampleCount)) break;
      slot = (slot + 1) & mask;
    }
    if (cellOfSlot[slot] < 0) {
      cellOfSlot[slot] = static_cast<int>(cells.size());
      GridCell& cell = cells.emplace_back();
      cell.members.push_back(static_cast<int>(i));
      cell.mean.assign(row.values.begin(), row.values.begin() + static_cast<std::ptrdiff_t>(samples));
      continue;
    }
    GridCell& cell = cells[static_cast<std::size_t>(cellOfSlot[slot])];
    cell.members.push_back(static_cast<int>(i));
    for (std::size_t s = 0; s < samples; ++s) cell.mean[s] = cell.mean[s] + row.values[s];
  }
  for (GridCell& cell : cells) {
    const double memberCount = static_cast<double>(cell.members.size());
    for (std::size_t s = 0; s < samples; ++s) cell.mean[s] = cell.mean[s] / memberCount;
  }
  return cells;
}

}  // namespace sting
