// Chain-merging clustering: every gene is linked to its nearest other gene, the links are cut
// into chains, and chains are merged pairwise, always the pair with the smallest merge score,
// until the best score of a pass exceeds the threshold or two clusters remain.
//
// Every search compares strictly, so of equal candidates the first one met wins; every sum
// runs in the stated order, so the clusters are the same to the last bit on every host.
#pragma once

#include <functional>
#include <vector>

#include "common/gene_row.h"

namespace varnek {

using clustering::GeneRow;

struct NeighbourLink {
  int nearest = 0;        // row index of the nearest other row
  int state = 1;          // 1 while in no chain, -1 once placed
  double distance = 0.0;  // distance to `nearest`
};

struct ClusterSlot {
  std::vector<int> members;  // row indices, chain order, then merged slots appended
  double weight = 0.0;       // sum of the chain edges inside the cluster
  int count() const { return static_cast<int>(members.size()); }
};

// Nearest other row of every row; ties go to the lowest row. A row with no other row nearer
// than InfiniteDistance links to itself, so it forms a chain of its own.
std::vector<NeighbourLink> linkNearestNeighbours(const std::vector<GeneRow>& rows, int sampleCount);

// Cuts the rows into chains along the links, from the lowest unplaced row each time; marks every
// link placed. The slots come in the order in which their chains start.
std::vector<ClusterSlot> buildChains(std::vector<NeighbourLink>& links);

// The score of merging slots a and b from their connection sum, sizes and weights.
double mergeScore(double connectionSum, int countA, double weightA, int countB, double weightB);

struct MergePass {
  int a;         // slot kept, a < b
  int b;         // slot merged into a
  double score;  // the best score of the pass
};
using PassObserver = std::function<void(const MergePass&)>;

// Merges slots while more than two are live and the best score of a pass is at most
// `mergeThreshold`. Every pass that finds a pair is reported before its merge decision. Slot a
// keeps its index and the last live slot moves into b's place. A pass in which no pair scores
// below InfiniteDistance ends the merging without a report.
void mergeClusters(const std::vector<GeneRow>& rows, int sampleCount, std::vector<ClusterSlot>& slots,
                   double mergeThreshold, const PassObserver& observer);

}  // namespace varnek
