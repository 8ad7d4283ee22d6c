// The merge loop of cure and the steps it takes with either search: the merge of a pair, the
// new representative point and the order in which the clusters are written.
#include "cure/cure.h"

namespace cure {

ClusterTables startClusters(const std::vector<GeneRow>& rows) {
  const int geneCount = static_cast<int>(rows.size());
  ClusterTables tables;
  tables.clusterHead.resize(rows.size());
  tables.representatives.resize(rows.size());
  for (int i = 0; i < geneCount; ++i) {
    tables.clusterHead[i] = i;
    tables.representatives[i].repCount = 1;
    tables.representatives[i].point = rows[i].values;
  }
  tables.liveClusterCount = geneCount;
  return tables;
}

bool mergesAt(const std::optional<ClosestPair>& pair, double distanceThreshold) {
  return pair.has_value() && pair->minDistance <= distanceThreshold;
}

Point mergeClosestPair(const std::vector<GeneRow>& rows, int sampleCount, const ClosestPair& pair,
                       ClusterTables& tables) {
  const int geneCount = static_cast<int>(rows.size());
  Point clusterMean{};
  int memberCount = 0;
  for (int r = 0; r < geneCount; ++r) {
    int& head = tables.clusterHead[r];
    if (head != pair.first && head != pair.second) continue;
    head = pair.first;
    ++memberCount;
    for (int s = 0; s < sampleCount; ++s) clusterMean[s] = clusterMean[s] + rows[r].values[s];
  }
  for (int s = 0; s < sampleCount; ++s) clusterMean[s] = clusterMean[s] / memberCount;
  tables.representatives[pair.second].repCount = 0;
  tables.liveClusterCount -= 1;
  return clusterMean;
}

int updateRepresentative(const std::vector<GeneRow>& rows, int sampleCount, int head, const Point& clusterMean,
                         double alpha, ClusterTables& tables) {
  const int geneCount = static_cast<int>(rows.size());
  int farthestMember = head;
  double farthestSquare = 0.0;
  for (int r = head; r < geneCount; ++r) {  // no member lies below its head
    if (tables.clusterHead[r] != head) continue;
    double square = 0.0;
    for (int s = 0; s < sampleCount; ++s) {
      const double difference = clusterMean[s] - rows[r].values[s];
      square = square + difference * difference;
    }
    if (square > farthestSquare) {
      farthestSquare = square;
      farthestMember = r;
    }
  }
  Point& point = tables.representatives[head].point;
  for (int s = 0; s < sampleCount; ++s) point[s] = (clusterMean[s] - rows[farthestMember].values[s]) * alpha;
  return farthestMember;
}

void mergeClusters(const std::vector<GeneRow>& rows, int sampleCount, double alpha, double distanceThreshold,
                   ClosestPairSearch& search, ClusterTables& tables) {
  if (tables.liveClusterCount <= 2) return;
  search.start(tables, sampleCount);
  while (tables.liveClusterCount > 2) {
    const std::optional<ClosestPair> pair = search.closestPair(tables);
    if (!mergesAt(pair, distanceThreshold)) return;
    const Point clusterMean = mergeClosestPair(rows, sampleCount, *pair, tables);
    updateRepresentative(rows, sampleCount, pair->first, clusterMean, alpha, tables);
    search.merged(tables, pair->first, pair->second);
  }
}

std::vector<std::vector<int>> clustersByLowestRow(const std::vector<int>& clusterHead) {
  std::vector<std::vector<int>> clusters;
  std::vector<int> clusterOfHead(clusterHead.size(), -1);
  for (int r = 0; r < static_cast<int>(clusterHead.size()); ++r) {
    int& cluster = clusterOfHead[clusterHead[r]];
    if (cluster < 0) {
      cluster = static_cast<int>(clusters.size());
      clusters.emplace_back();
    }
    clusters[cluster].push_back(r);
  }
  return clusters;
}

}  // namespace cure
