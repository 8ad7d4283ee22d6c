// The reassignment with the means measured side by side: the means are laid out sample by
// sample, cluster beside cluster, and one instruction takes a sample of several means at once,
// for a few genes together. Each lane is one gene's sum for one cluster, formed exactly as
// squaredDistance forms it (difference and square in double, the running sum rounded to single
// precision after every addition), so the sums are its very bits at every vector level; the
// nearest mean is then chosen in cluster order, as the literal step chooses it. The widest
// instructions the processor has are used (clustering::currentVectorLevel).
//
// Memory: the means side by side and a few genes' sums, linear in clusterCount.
#pragma once

#include "korrin/korrin.h"

namespace korrin {

class FastReassignStep final : public ReassignStep {
 public:
  void reassignGenes(const std::vector<GeneRow>& rows, int sampleCount, const std::vector<Centroid>& centroids,
                     std::vector<int>& membership) const override;
};

}  // namespace korrin
