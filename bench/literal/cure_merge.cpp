// cure's merge loop for the literal build: the scan of every pair of live clusters at every
// step, under the engine's own name, so that cure_literal is cure's main and steps with only
// the loop changed.
#include "literal_cure.h"

namespace cure {

void mergeClusters(const std::vector<GeneRow>& rows, int sampleCount, double alpha, double distanceThreshold,
                   ClusterTables& tables) {
  literal::mergeClusters(rows, sampleCount, alpha, distanceThreshold, tables);
}

}  // namespace cure
