// The reassignment as plainly as it is defined, for the literal program and as the oracle that the
// fast step is held against: every gene measured against every mean in turn, one sum at a time.
#pragma once

#include "korrin/korrin.h"

namespace korrin {

class LiteralReassignStep final : public ReassignStep {
 public:
  void reassignGenes(const std::vector<GeneRow>& rows, int sampleCount, const std::vector<Centroid>& centroids,
                     std::vector<int>& membership) const override;
};

}  // namespace korrin
