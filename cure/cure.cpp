#include "cure.h"

#include <algorithm>

namespace cure {

using clustering::euclideanDistance;
using clustering::InfiniteDistance;

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

namespace {

double pointDistance(const ClusterTables& tables, int first, int second, int sampleCount) {
  return euclideanDistance(tables.representatives[first].point.data(), tables.representatives[second].point.data(),
                           sampleCount);
}

}  // namespace

std::optional<ClosestPair> findClosestPair(const ClusterTables& tables, int sampleCount) {
  const int geneCount = static_cast<int>(tables.clusterHead.size());
  std::optional<ClosestPair> closest;
  double minDistance = InfiniteDistance;
  for (int i = 0; i < geneCount; ++i) {
    if (tables.representatives[i].repCount == 0) continue;
    for (int j = i + 1; j < geneCount; ++j) {
      if (tables.clusterHead[j] == tables.clusterHead[i] || tables.representatives[j].repCount == 0) continue;
      const double d = pointDistance(tables, i, j, sampleCount);
      if (d < minDistance) {
        minDistance = d;
        closest = ClosestPair{i, j, d};
      }
    }
  }
  return closest;
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

namespace {

// For every live head its nearest higher live head, as the closest-pair scan would meet it:
// the smallest distance below InfiniteDistance, the lowest head among equals. A merge changes
// only the surviving head's point and retires the other, so only the entries that involve
// either need more than one new distance.
class NearestHigherHeads {
 public:
  NearestHigherHeads(const ClusterTables& tables, int sampleCount)
      : tables_(tables), sampleCount_(sampleCount), nearest_(tables.clusterHead.size()) {
    for (int i = 0; i < static_cast<int>(tables.clusterHead.size()); ++i) {
      if (tables.representatives[i].repCount == 1) liveHeads_.push_back(i);
    }
    for (std::size_t k = 0; k < liveHeads_.size(); ++k) recompute(k);
  }

  // The first head in ascending order with the smallest distance, as the full scan finds it.
  std::optional<ClosestPair> closestPair() const {
    std::optional<ClosestPair> closest;
    double minDistance = InfiniteDistance;
    for (int i : liveHeads_) {
      if (nearest_[i].distance < minDistance) {
        minDistance = nearest_[i].distance;
        closest = ClosestPair{i, nearest_[i].head, minDistance};
      }
    }
    return closest;
  }

  // `kept` has a new point, `retired` is no longer live.
  void afterMerge(int kept, int retired) {
    liveHeads_.erase(std::find(liveHeads_.begin(), liveHeads_.end(), retired));
    for (std::size_t k = 0; k < liveHeads_.size(); ++k) {
      const int i = liveHeads_[k];
      if (i > retired) break;  // their candidates did not change
      Nearest& entry = nearest_[i];
      if (i == kept || entry.head == kept || entry.head == retired) {
        recompute(k);
      } else if (i < kept) {
        // The entry is still the first minimum among the unchanged heads; only kept may beat it.
        const double d = pointDistance(tables_, i, kept, sampleCount_);
        if (d < entry.distance || (d == entry.distance && entry.head > kept)) entry = Nearest{kept, d};
      }
    }
  }

 private:
  struct Nearest {
    int head = -1;  // -1: no higher head closer than InfiniteDistance
    double distance = InfiniteDistance;
  };

  void recompute(std::size_t k) {
    const int i = liveHeads_[k];
    Nearest best;
    for (std::size_t m = k + 1; m < liveHeads_.size(); ++m) {
      const int j = liveHeads_[m];
      const double d = pointDistance(tables_, i, j, sampleCount_);
      if (d < best.distance) best = Nearest{j, d};
    }
    nearest_[i] = best;
  }

  const ClusterTables& tables_;
  int sampleCount_;
  std::vector<int> liveHeads_;  // ascending
  std::vector<Nearest> nearest_;  // per row; read only for live heads
};

}  // namespace

void mergeClusters(const std::vector<GeneRow>& rows, int sampleCount, double alpha, double distanceThreshold,
                   ClusterTables& tables) {
  if (tables.liveClusterCount <= 2) return;
  NearestHigherHeads nearest(tables, sampleCount);
  while (tables.liveClusterCount > 2) {
    const std::optional<ClosestPair> pair = nearest.closestPair();
    if (!mergesAt(pair, distanceThreshold)) return;
    const Point clusterMean = mergeClosestPair(rows, sampleCount, *pair, tables);
    updateRepresentative(rows, sampleCount, pair->first, clusterMean, alpha, tables);
    nearest.afterMerge(pair->first, pair->second);
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
