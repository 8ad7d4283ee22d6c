// The cells and their grouping done fast, to the same bits as the literal steps.
//
// Cells: each row finds the cell of its index vector in a hash table, so the rows are not
// compared pairwise; a row joins its cell in ascending row order, so each mean is summed in the
// order the literal step sums it.
//
// Grouping: the clusters are the connected parts of the graph of close cells, found by joining
// the parts of every close pair; a part is named by its lowest cell, so the numbering by lowest
// cell follows at once, and pairs already in one part are not measured. Most pairs lie far
// apart, which a sieve shows first: the squares of a few samples (those where the means spread
// most), summed in sample order, never exceed the whole sum of the distance, since its terms are
// never negative and rounding keeps the order of sums. A pair whose sieve sum lies above
// squaredBound(threshold) is therefore not close. The sieve sums are measured four cells at a
// time against all later cells; a pair that passes is summed in full as the literal step sums
// it. A cell whose mean is not all finite is summed in full against every other cell: its sums
// may still turn into no number, which links.
//
// Memory: a few entries per cell and the sieve's samples of every cell, linear in geneCount.
#pragma once

#include "sting/sting.h"

namespace sting {

class FastCellSteps final : public CellSteps {
 public:
  std::vector<GridCell> buildGridCells(std::vector<GeneRow>& rows, int sampleCount) const override;
  int groupCells(std::vector<GridCell>& cells, int sampleCount, double distanceThreshold) const override;
};

}  // namespace sting
