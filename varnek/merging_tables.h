// The fast merging's tables and what each of them holds; fast_merging.h says why they stay
// exact. merging_tables.cpp builds them and takes in each merge; merging_rows.cpp settles the
// rows and finds each pass's best pair.
//
// Positions: the genes lie slot by slot as the chains came (so every slot is one stretch at the
// start); merges move no gene, so later a slot's members are several stretches. Rows: row c
// holds the pairs (c, e > c). A settled row's best is exact; an unsettled row's is a bound.
#pragma once

#include <array>
#include <cstddef>
#include <limits>
#include <memory>
#include <vector>

#include "varnek/fast_merging.h"
#include "varnek/member_cache.h"
#include "varnek/member_distances.h"

namespace varnek::merging {

using clustering::InfiniteDistance;

constexpr double NoCandidate = std::numeric_limits<double>::infinity();
constexpr double Unmeasured = MemberDistances::Unmeasured;
constexpr int QueriesAtOnce = MemberDistances::QueriesAtOnce;
// A first half missing more distances than this is completed from the partner's measured
// members: a candidate partner is likely to be absorbed next, and then it is measured anyway.
constexpr std::size_t DirectDistances = 32;

// A pair's score as a candidate: only scores below InfiniteDistance can be a pass's best.
inline double candidateKey(double score) { return score < InfiniteDistance ? score : NoCandidate; }

// The smallest key of a row met first, and the smallest of the others.
struct BestTwo {
  double best = NoCandidate;
  double second = NoCandidate;
  int partner = -1;
  void offer(double key, int e) {
    if (key < best) {
      second = best;
      best = key;
      partner = e;
    } else if (key < second) {
      second = key;
    }
  }
};

// The tables of one slot (see fast_merging.h), or the same for a slot measured afresh.
struct SlotTables {
  std::vector<double> distance;   // by position: the gene's distance to the slot's nearest member
  std::vector<double> towards;    // by slot t: the sum over this slot's members of their distance to t
  std::vector<double> firstHalf;  // by slot e after this one: the pair's first half, folded ...
  std::vector<int> covered;       // ... over this many of the slot's first members
};

inline SlotTables makeTables(std::size_t geneCount, std::size_t capacity) {
  return SlotTables{std::vector<double>(geneCount), std::vector<double>(capacity), std::vector<double>(capacity),
                    std::vector<int>(capacity)};
}

}  // namespace varnek::merging

namespace varnek {

struct FastMerging::Tables {
  using SlotTables = merging::SlotTables;

  Tables(const std::vector<GeneRow>& rows, int sampleCount, const std::vector<ClusterSlot>& slots, Keeping keeping);

  std::optional<MergePass> bestPair(const std::vector<ClusterSlot>& slots);
  void merged(int a, int b, const std::vector<ClusterSlot>& slots);

 private:
  void measureAll(const std::vector<ClusterSlot>& slots);
  void settleMeasured(int c, std::size_t first, const std::vector<ClusterSlot>& slots);
  void workOutQuickBounds(int c, const std::vector<ClusterSlot>& slots);
  template <typename Take>
  void forEachMember(const std::vector<int>& queue, Take take);
  void measureSlot(int s, double* fold, double* distance);
  const std::vector<int>& hopedMembers();
  void noteLikely(int c, const std::vector<double>& keys);
  void completeFirstHalf(int c, int e, double& half, int& covered);
  void settle(int c, const std::vector<ClusterSlot>& slots);
  void settleRow(int c, double* firstHalf, int* covered, const double* distance, const double* towards,
                 const std::vector<ClusterSlot>& slots);
  double pairKey(int c, int e, double connectionSum, const std::vector<ClusterSlot>& slots) const;
  double boundKey(int c, int e, double termSum, const std::vector<ClusterSlot>& slots) const;
  void offerChangedPair(int c, int a, int b, double bound);
  SlotTables* keepFor(int a, int b, std::size_t members);
  void moveLastInto(int b, int last, bool keptMerged);
  std::size_t members(int s) const { return positions_[static_cast<std::size_t>(s)].size(); }
  void noteSlot(int s, const ClusterSlot& slot) {
    slotCount_[static_cast<std::size_t>(s)] = slot.count();
    slotWeight_[static_cast<std::size_t>(s)] = slot.weight;
  }
  bool measured(int s) const { return !keptOf(s) || members(s) <= keeping_.measuredKeptMembers; }
  SlotTables* keptOf(int s) const { return kept_[static_cast<std::size_t>(s)].get(); }

  const std::size_t geneCount_;
  const std::size_t capacity_;
  const std::size_t keptSize_;
  const Keeping keeping_;
  int live_;
  MemberDistances genes_;
  MemberCache cache_;
  std::vector<int> slotAt_;                  // by position: the live slot holding the gene
  std::vector<std::vector<int>> positions_;  // by slot: its members' positions in member order
  std::vector<std::unique_ptr<SlotTables>> kept_;
  std::size_t keptCount_ = 0;

  std::vector<double> rowBest_;                // per row: the settled best, or a bound of every pair of the row
  std::vector<double> rowSecond_;              // per settled row: a bound of every pair of the row but the best
  std::vector<int> rowPartner_;                // per settled row: the partner of its best, -1 for none
  std::vector<std::array<int, 4>> rowLikely_;  // per row, when last settled: its best partners
  std::vector<double> slotCount_;              // by slot, as the slots say, for working out bounds side by side
  std::vector<double> slotWeight_;
  std::vector<char> rowSettled_;

  // Scratch.
  std::vector<double> squared_;                 // QueriesAtOnce rows of squared sums by position
  std::vector<double> slotMinimum_;             // by slot
  SlotTables merging_;                          // the merged slot's tables while a merge is taken in
  SlotTables measured_;                         // a slot measured afresh
  std::vector<double> otherSum_;                // by slot
  std::vector<double> otherDistance_;           // by position
  std::vector<int> queue_;                      // positions to measure
  std::vector<int> hoped_;                      // positions hoped to be measured soon
  std::vector<std::pair<int, double>> frozen_;  // first halves that a merge must not continue
  // By partner, while a row is settled: its key, how far it has been worked out, its sum.
  enum class Scored : char { Exactly, Later, FirstHalfMissing };
  std::vector<double> keys_;
  std::vector<Scored> exact_;
  std::vector<double> sums_;
  std::vector<double> quick_;
};

}  // namespace varnek
