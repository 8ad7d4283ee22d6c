// Chain-merging clustering: every gene is linked to its nearest other gene, the links are cut
// into chains, and chains are merged pairwise, always the pair with the smallest merge score,
// until the best score of a pass exceeds the threshold or two clusters remain.
//
// Every search compares strictly, so of equal candidates the first one met wins; every sum
// runs in the stated order, so the clusters are the same to the last bit on every host.
//
// The two searches that cost the time, the nearest other row of every row and the best pair of
// every merge pass, are steps the algorithm is given: the literal one (literal_method.h), which
// measures everything afresh as the method reads, and the fast one (fast_linking.h,
// fast_merging.h), which finds the same rows and pairs with less work.
#pragma once

#include <functional>
#include <optional>
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

// Links every row to its nearest other row; ties go to the lowest row. A row with no other row
// nearer than InfiniteDistance links to itself, so it forms a chain of its own.
class NeighbourLinking {
 public:
  virtual ~NeighbourLinking() = default;
  virtual std::vector<NeighbourLink> link(const std::vector<GeneRow>& rows, int sampleCount) const = 0;
};

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

// Finds the best pair of each merge pass over the live slots. It is shown the slots before the
// first pass and told of every merge, after the merge and its compaction.
class MergeStep {
 public:
  virtual ~MergeStep() = default;
  virtual void start(const std::vector<GeneRow>& rows, int sampleCount, const std::vector<ClusterSlot>& slots) = 0;
  // The pair with the smallest score below InfiniteDistance, of equal scores the one met first
  // (lower a, then lower b); nothing when no pair scores below InfiniteDistance.
  virtual std::optional<MergePass> bestPair(const std::vector<ClusterSlot>& slots) = 0;
  // slots[a] has absorbed the members of the former slot b, and the former last slot has moved
  // into b's place (unless it was b).
  virtual void merged(int a, int b, const std::vector<ClusterSlot>& slots) = 0;
};

// Merges slots while more than two are live and the best score of a pass is at most
// `mergeThreshold`. Every pass that finds a pair is reported before its merge decision. Slot a
// keeps its index and the last live slot moves into b's place. A pass in which no pair scores
// below InfiniteDistance ends the merging without a report.
void mergeClusters(const std::vector<GeneRow>& rows, int sampleCount, std::vector<ClusterSlot>& slots,
                   double mergeThreshold, MergeStep& step, const PassObserver& observer);

}  // namespace varnek
