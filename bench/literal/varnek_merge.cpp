// varnek's merging for the literal build: the pass-by-pass method that recomputes every
// cross-slot distance in every pass, under the engine's own name, so that varnek_literal is
// varnek's main, linking and chaining with only the merging changed.
#include "literal_varnek.h"

namespace varnek {

void mergeClusters(const std::vector<GeneRow>& rows, int sampleCount, std::vector<ClusterSlot>& slots,
                   double mergeThreshold, const PassObserver& observer) {
  literal::mergeClusters(rows, sampleCount, slots, mergeThreshold, observer);
}

}  // namespace varnek
