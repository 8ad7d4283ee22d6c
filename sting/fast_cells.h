// The cells and their grouping done fast, to the same bits as the literal steps.
//
// Cells: each row finds the cell of its index vector in a hash table, so the rows are not
// compared pairwise; a row joins its cell in ascending row order, so each mean is summed in the
// same order as before.
//
// Grouping: the clusters are the connected parts of the graph of close cells, found by joining
// the two parts of every close pair (a part is named by its lowest cell, so the numbering by
// lowest cell follows at once). Pairs already in one part are not measured. Most pairs are
// far apart; a sieve proves that first: the squares of a few samples, summed in sample order,
// never exceed the whole sum of the distance (its terms are never negative and rounding keeps
// the order of sums), so a pair whose sieve sum lies above squaredBound(threshold) is not
// close. The sieve sums are measured four cells at a time over all later cells. Every pair that
// passes is measured in full, exactly as the literal step does. Cells whose means are not all
// finite pass every sieve: their sums may still turn into no number, which links.
#pragma once

#include "sting.h"

namespace sting {

class FastCellSteps final : public CellSteps {
 public:
  std::vector<GridCell> buildGridCells(std::vector<GeneRow>& rows, int sampleCount) const override;
  int groupCells(std::vector<GridCell>& cells, int sampleCount, double distanceThreshold) const override;
};

}  // namespace sting
