// The chain merging as first written: every pass recomputes every cross-slot distance. Slow
// (cubic in the genes) but plainly right; the engine's merging must match it bit for bit.
#pragma once

#include "varnek/varnek.h"

namespace literal {

std::vector<varnek::NeighbourLink> linkNearestNeighbours(const std::vector<varnek::GeneRow>& rows, int sampleCount);
void mergeClusters(const std::vector<varnek::GeneRow>& rows, int sampleCount, std::vector<varnek::ClusterSlot>& slots,
                   double mergeThreshold, const varnek::PassObserver& observer);

}  // namespace literal
