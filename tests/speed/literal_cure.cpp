#include "literal_cure.h"

namespace literal {

void mergeClusters(const std::vector<cure::GeneRow>& rows, int sampleCount, double alpha, double distanceThreshold,
                   cure::ClusterTables& tables) {
  while (tables.liveClusterCount > 2) {
    const std::optional<cure::ClosestPair> pair = cure::findClosestPair(tables, sampleCount);
    if (!cure::mergesAt(pair, distanceThreshold)) return;
    const cure::Point clusterMean = cure::mergeClosestPair(rows, sampleCount, *pair, tables);
    cure::updateRepresentative(rows, sampleCount, pair->first, clusterMean, alpha, tables);
  }
}

}  // namespace literal
