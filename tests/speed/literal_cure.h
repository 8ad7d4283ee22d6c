// cure's merge loop as first written: every step scans every pair of live clusters afresh.
// Slow (cubic in the genes) but plainly right; the engine's merge loop must match it bit for
// bit, and the literal build of cure (bench/) runs it in the engine's place.
#pragma once

#include "cure/cure.h"

namespace literal {

void mergeClusters(const std::vector<cure::GeneRow>& rows, int sampleCount, double alpha, double distanceThreshold,
                   cure::ClusterTables& tables);

}  // namespace literal
