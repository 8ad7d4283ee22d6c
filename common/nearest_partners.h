// The closest pair of live points, kept from one merge step to the next: the search that cure's
// representative points and birch's centroids both go through.
//
// The pair it yields is the one a full scan finds: first points i in ascending order, for each
// the points j above i in ascending order, a pair taken only when its distance is strictly
// below the best so far, which starts at InfiniteDistance. So among equal distances the lowest
// i wins, then the lowest j; a NaN distance, or one of InfiniteDistance or more, never counts.
// A merge keeps the lower point of the pair, at a new position, and retires the higher one.
//
// Each live point keeps, among the live points above it (its candidates):
// - its partner: the one a full scan of that point finds, with its distance (an exact entry);
//   or only a lower bound on every candidate's distance (a bound entry);
// - a reserve of a few further candidates with their distances, each valid while
//   neither it nor the point has moved or retired since it was measured;
// - a horizon: every candidate that is neither the partner nor validly reserved lies at least
//   that far away.
// When a merge takes a point's partner away, the nearest valid reserved candidate below the
// horizon becomes the partner; only when there is none does the entry become a bound at the
// horizon, searched afresh once it is the smallest kept value left. So a merge that moves a point
// many others were nearest to costs no search of them all. The smallest exact entry, lowest
// point among equals, is the full scan's pair, since no bound lies below it.
//
// Distances are summed in sample order with packed_vectors, the very doubles of
// euclideanDistance, and compared as roots; a sum is cut short only by a bound from
// squaredBound, so each decision is the exact one. Memory is linear in the number of points.
#pragma once

#include <optional>
#include <vector>

#include "common/packed_vectors.h"

namespace clustering {

struct PointPair {
  int first;        // the lower point
  int second;       // the higher point
  double distance;  // between them
};

class NearestPartners {
 public:
  // Reserved candidates per point, unless told otherwise.
  static constexpr int DefaultReserveSize = 8;

  // Point i holds the first `sampleCount` values of `positions[i]`; only points with `live[i]`
  // take part. Each point reserves up to `reserveSize` candidates.
  NearestPartners(const std::vector<const double*>& positions, const std::vector<bool>& live, int sampleCount,
                  int reserveSize = DefaultReserveSize);

  // The pair the full scan would find, or none when no pair lies nearer than InfiniteDistance.
  std::optional<PointPair> closestPair();

  // `retired` (above `kept`) no longer takes part, and `kept` now lies at `position`.
  void merged(int kept, int retired, const double* position);

 private:
  static constexpr int NoPartner = -1;

  struct Candidate {
    int point = NoPartner;
    int measuredAt = 0;  // the merge after which its distance was measured
    double distance = 0.0;
  };

  struct Entry {
    int partner = NoPartner;  // NoPartner when exact: no candidate nearer than InfiniteDistance
    bool exact = true;        // false: `distance` is only a lower bound, and equals the horizon
    int reserved = 0;         // reserve entries in use
    double distance = 0.0;    // of the partner (InfiniteDistance without one), or the bound
    double horizon = 0.0;     // at least `distance`
    double squaredHorizon = 0.0;  // squaredBound(horizon)
  };

  // Searches the point's partner afresh among all its candidates. It keeps either the partner
  // alone (the horizon at its distance), or with a full reserve and the first candidate left
  // out, whose distance is the horizon.
  void search(int point, bool withReserve);
  // The point's partner left or moved away: the nearest valid reserved candidate, or `offered`
  // (just measured) when nearer, becomes the partner if it lies below the horizon.
  void replacePartner(int point, const Candidate& offered);
  void reserve(int point, const Candidate& candidate);
  bool valid(const Candidate& candidate) const;
  void setDistance(int point, double distance);
  void setHorizon(Entry& entry, double horizon);
  Candidate* reserveOf(int point) { return reserve_.data() + static_cast<std::size_t>(point) * reserveSize_; }
  void compact();
  // The entry that comes first by kept distance, then by point: a tournament tree over points.
  int smallestEntry() const { return tree_[1]; }
  // The node takes the first of its two children's entries.
  void playOff(int node);
  void updateTree(int point);
  bool before(int a, int b) const;

  int sampleCount_;
  int reserveSize_;
  int mergeCount_ = 0;
  std::vector<char> live_;
  std::vector<int> movedAt_;  // per point: the merge after which it last moved
  std::vector<Entry> entries_;
  std::vector<Candidate> reserve_;  // reserveSize_ per point
  std::vector<Candidate> nearest_;  // a search's nearest candidates
  // The points live since the last compaction, in ascending order, packed.
  PackedVectors table_;
  std::vector<int> pointAt_;  // per slot of the table
  std::vector<int> slotOf_;   // per point
  int tableSize_ = 0;
  int retiredInTable_ = 0;
  std::vector<double> query_;  // the point searched for, unpacked
  int leaves_ = 1;
  std::vector<int> tree_;        // tree_[1] is the winner; leaves from tree_[leaves_]
  std::vector<double> treeKey_;  // per point: its kept distance, or +infinity when not live
};

}  // namespace clustering
