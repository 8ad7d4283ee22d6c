// Representative-point clustering: every gene starts as a cluster of its own, represented by its
// own values. Each step merges the two clusters whose representative points lie closest, while
// that distance is at most the threshold and more than two clusters are left. The merged cluster
// is then represented by (mean of its members - its farthest member) x alpha.
//
// Between steps: the live clusters are exactly the rows whose repCount is 1; each is its own
// head, the lowest row of its cluster; every row's clusterHead names a live head not above it;
// liveClusterCount counts the live heads. Every search compares strictly, so of equal candidates
// the first one met wins; sums run in sample order and over rows in ascending order, so the
// clusters are the same to the last bit on every host. Values whose squares overflow follow IEEE
// arithmetic: an infinite or NaN distance is never below the best so far, so such clusters are
// simply not merged, and the loop still ends after at most geneCount - 2 merges.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "common/gene_row.h"
#include "common/nearest_partners.h"

namespace cure {

using clustering::GeneRow;
using Point = std::array<double, clustering::MaxSamples>;

// A cluster's representative. Every cluster has exactly one representative point, whatever
// number of representatives the user types, so the record holds that one point: room for
// MaxRepresentatives (10) points would cost 8000 bytes per gene that are never read.
struct ClusterRepresentatives {
  int repCount = 0;  // 1 for the head of a live cluster, 0 once absorbed
  Point point{};     // the first sampleCount values are the representative point
};

struct ClusterTables {
  std::vector<int> clusterHead;                         // per row: the head of its cluster
  std::vector<ClusterRepresentatives> representatives;  // per row; only a head's is live
  int liveClusterCount = 0;
};

// Every row a cluster of its own, represented by its own values.
ClusterTables startClusters(const std::vector<GeneRow>& rows);

struct ClosestPair {
  int first;           // head, first < second
  int second;          // head
  double minDistance;  // between their representative points
};

// The closest pair of live clusters, scanning first heads in ascending order and for each the
// higher heads in ascending order; of equal distances the pair met first stays. No pair when
// none lies closer than InfiniteDistance. The literal search of every merge step.
std::optional<ClosestPair> findClosestPair(const ClusterTables& tables, int sampleCount);

// The stop test: a pair merges when it exists and its distance is at most the threshold.
bool mergesAt(const std::optional<ClosestPair>& pair, double distanceThreshold);

// Relabels the rows of the second cluster to the first head, retires the second head's record
// and hands back the per-sample mean of all member rows' own values, summed in row order.
Point mergeClosestPair(const std::vector<GeneRow>& rows, int sampleCount, const ClosestPair& pair,
                       ClusterTables& tables);

// Sets head's point to (clusterMean - farthest member) x alpha and hands back the farthest
// member: the largest squared distance to the mean, the lowest row among equals, the head itself
// when every member lies on the mean.
int updateRepresentative(const std::vector<GeneRow>& rows, int sampleCount, int head, const Point& clusterMean,
                         double alpha, ClusterTables& tables);

// How the merge loop finds each step's closest pair: the pair findClosestPair would find on the
// tables as they stand. The loop calls start once, then closestPair before each merge and merged
// after it, once the surviving head's point is set anew.
class ClosestPairSearch {
 public:
  virtual ~ClosestPairSearch() = default;
  virtual void start(const ClusterTables& tables, int sampleCount) = 0;
  virtual std::optional<ClosestPair> closestPair(const ClusterTables& tables) = 0;
  virtual void merged(const ClusterTables& tables, int kept, int retired) = 0;
};

// findClosestPair at every step: every pair of live clusters measured afresh.
class LiteralClosestPairs final : public ClosestPairSearch {
 public:
  void start(const ClusterTables& tables, int sampleCount) override;
  std::optional<ClosestPair> closestPair(const ClusterTables& tables) override;
  void merged(const ClusterTables& tables, int kept, int retired) override;

 private:
  int sampleCount_ = 0;
};

// Each live head keeps its nearest higher head between steps (clustering::NearestPartners),
// and reserves `reserveSize` more.
class KeptClosestPairs final : public ClosestPairSearch {
 public:
  explicit KeptClosestPairs(int reserveSize = clustering::NearestPartners::DefaultReserveSize)
      : reserveSize_(reserveSize) {}
  void start(const ClusterTables& tables, int sampleCount) override;
  std::optional<ClosestPair> closestPair(const ClusterTables& tables) override;
  void merged(const ClusterTables& tables, int kept, int retired) override;

 private:
  int reserveSize_;
  std::optional<clustering::NearestPartners> partners_;
};

// The merge loop: while more than two clusters are live and the stop test lets the closest pair
// that `search` finds merge, merge it and update its representative.
void mergeClusters(const std::vector<GeneRow>& rows, int sampleCount, double alpha, double distanceThreshold,
                   ClosestPairSearch& search, ClusterTables& tables);

// The clusters in the order of their lowest rows, each with its rows in ascending order.
std::vector<std::vector<int>> clustersByLowestRow(const std::vector<int>& clusterHead);

}  // namespace cure
