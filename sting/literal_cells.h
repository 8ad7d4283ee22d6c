// The cells and their grouping done as plainly as they are defined, for the literal program and
// as the oracle that the fast steps are held against: every unplaced row is compared with every
// later unplaced row, and a cluster grows by a stack of cells, each scanning every unlabelled
// cell after the cluster's seed and measuring each distance afresh. Nothing is kept.
#pragma once

#include "sting/sting.h"

namespace sting {

class LiteralCellSteps final : public CellSteps {
 public:
  std::vector<GridCell> buildGridCells(std::vector<GeneRow>& rows, int sampleCount) const override;
  int groupCells(std::vector<GridCell>& cells, int sampleCount, double distanceThreshold) const override;
};

}  // namespace sting
