#include "korrin/literal_reassign.h"

namespace korrin {

void LiteralReassignStep::reassignGenes(const std::vector<GeneRow>& rows, int sampleCount,
                                        const std::vector<Centroid>& centroids, std::vector<int>& membership) const {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    int bestCluster = 0;
    float best = squaredDistance(rows[i].values, centroids[0], sampleCount);
    for (std::size_t c = 1; c < centroids.size(); ++c) {
      const float d = squaredDistance(rows[i].values, centroids[c], sampleCount);
      if (d < best) {
        best = d;
        bestCluster = static_cast<int>(c);
      }
    }
    membership[i] = bestCluster;
  }
}

}  // namespace korrin
