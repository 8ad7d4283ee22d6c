// The best pair of every merge pass, found without measuring every cross-slot distance anew.
//
// What is kept, and why it stays exact (merging_tables.h lists the tables):
// - A slot's distance row: for every gene outside it, the distance to the slot's nearest member.
//   A minimum is the same in any order, so the merged slot's row is the smaller of the two rows.
//   The connection sum of the pair (c, e), c < e, folds c's members' distances in e's row, then
//   e's members' distances in c's row, so with both rows at hand it is folded in the very order
//   of the literal search.
// - A slot's first halves: the fold over its members of their distances to every later slot,
//   and how many of its members each has taken. A merge appends the absorbed slot's members, so
//   the kept slot's folds continue over them; one that cannot continue yet waits, and is
//   completed only when its pair becomes a candidate. The second half continues the fold from
//   the first half's value, so it is added afresh whenever a pair is scored.
// - A slot's sums towards every other slot: the sum over its members of their distances to that
//   slot, in whatever order merges added them. With the other slot's sum over its own members in
//   this slot's row, it bounds the pair's score from below (merge_bound.h); so does a quick
//   quotient of the connection sum. Most pairs never need more: a pair is scored exactly only
//   when its bound could make it its row's best or second.
// - Per row c (the pairs (c, e > c)): when settled, its best score and partner (the first met
//   among equals) and a bound of its other pairs; when not, a score that none of its pairs falls
//   below. The best pair of a pass is the first row with the smallest such score, once that row
//   is settled: every other row's pairs score at least as much, and rows below it lose ties. A
//   merge unsettles a row only when its pair with the merged slot may now be first in it, or its
//   best partner was merged away or moved; the moved slot's own row is left unsettled, bounded
//   by the rows its pairs come from (they score the same but for the order of their terms).
// These tables take a row of genes and two of slots per kept slot, and are kept for the slots of
// 16 members or more. The other slots are measured from their members' values when needed,
// through a small cache of measured members (member_cache.h) whose spare lanes measure the
// members likely to be needed next.
#pragma once

#include <cstddef>
#include <limits>
#include <memory>
#include <optional>

#include "varnek/varnek.h"

namespace varnek {

class FastMerging final : public MergeStep {
 public:
  struct Keeping {
    std::size_t keptMembers;  // slots of fewer members are measured whenever needed
    std::size_t tableBytes;   // at most this much for the kept tables
    // A kept slot absorbed into another, or settled with first halves to complete, is measured
    // when it has at most this many members (one fetch); a larger one's first halves are
    // completed pair by pair, when a pair's bound makes it a candidate.
    std::size_t measuredKeptMembers;
    std::size_t cachedMembers;  // measured members kept for later (member_cache.h)
  };
  // The engine's: tables for slots of 16 members or more, which take at most 1.5 bytes per gene
  // pair (the literal design's member arrays take four), and 64 measured members.
  static constexpr Keeping EngineKeeping = {16, std::numeric_limits<std::size_t>::max(), 4, 64};

  explicit FastMerging(Keeping keeping = EngineKeeping);
  ~FastMerging() override;

  void start(const std::vector<GeneRow>& rows, int sampleCount, const std::vector<ClusterSlot>& slots) override;
  std::optional<MergePass> bestPair(const std::vector<ClusterSlot>& slots) override;
  void merged(int a, int b, const std::vector<ClusterSlot>& slots) override;

 private:
  struct Tables;
  Keeping keeping_;
  std::unique_ptr<Tables> tables_;
};

}  // namespace varnek
