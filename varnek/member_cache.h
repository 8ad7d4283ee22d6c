// Members measured against every gene, kept for a while: a fetch of the packed genes costs
// about the same for one member as for four, and the slots merged next are mostly ones that
// were already likely (the best partners of the rows on top), so the lanes a fetch has to spare
// measure members that are hoped to be needed soon.
//
// A kept member has its squared sums to every gene, which never change; once used, also its
// distance to every gene and to every live slot (to the slot's nearest member). A merge changes
// the latter only for the merged slot (the nearer of the two: a minimum is the same in any
// order) and for the slot that moved into the place of the absorbed one, so the kept members
// stay exact at the cost of two entries each. Members fetched on hope and never used cost no
// more than their sums. The members kept longest unused make room first; a fetch never evicts
// what it measures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "varnek/member_distances.h"

namespace varnek {

class MemberCache {
 public:
  // Room for `capacity` members (at least MemberDistances::QueriesAtOnce) among `slotCount` slots.
  MemberCache(const MemberDistances& genes, std::size_t capacity, std::size_t slotCount);

  bool holds(int position) const { return entryOf_[static_cast<std::size_t>(position)] >= 0; }

  // Measures the first of `needed` not held (as many as one fetch takes), and with the lanes
  // left over those of `hoped` not held.
  void fetch(const int* needed, std::size_t neededCount, const std::vector<int>& hoped);

  // Marks a held member used, working out its distances with `slotAt` on first use; then its
  // distance to every position and to every live slot.
  void use(int position, const std::vector<int>& slotAt, int liveSlots);
  const double* distances(int position) const;
  const double* toSlots(int position) const;

  // Slot a has absorbed slot b, and slot `last` has moved into b's place (unless it was b).
  void merged(int a, int b, int last);

 private:
  int entryFor(int position);

  const MemberDistances& genes_;
  const std::size_t geneCount_;
  const std::size_t slotCount_;
  std::vector<int> entryOf_;     // by position, -1 when not held
  std::vector<int> positionOf_;  // by entry, -1 when free
  std::vector<std::uint64_t> lastUse_;
  std::vector<char> worked_;  // by entry: distances worked out
  std::uint64_t clock_ = 0;
  std::vector<double> distances_;  // entry e's row at e * geneCount_: squared sums until worked out
  std::vector<double> toSlots_;    // entry e's row at e * slotCount_
  std::vector<double> squared_;
};

}  // namespace varnek
