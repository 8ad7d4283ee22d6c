// The merge loop without a rescan of every pair at every step: each live head keeps its nearest
// higher head, and a merge recomputes only the entries it can change. It merges the pairs that
// findClosestPair would find, in the same order, so the clusters and points are the same bits.
#include <algorithm>

#include "cure.h"

namespace cure {

using clustering::euclideanDistance;
using clustering::InfiniteDistance;

namespace {

double pointDistance(const ClusterTables& tables, int first, int second, int sampleCount) {
  return euclideanDistance(tables.representatives[first].point.data(), tables.representatives[second].point.data(),
                           sampleCount);
}

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

}  // namespace cure
