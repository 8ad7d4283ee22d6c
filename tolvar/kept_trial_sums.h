// Every candidate's trial costs in whole units (fixed_point_cost.h), kept from sweep to sweep.
//
// Trial (F, s) puts candidate F into slot s. A counted position q (a non-medoid other than F)
// then adds the smaller of its distance to F and of D_s(q), the nearest medoid outside slot s:
// q's nearest medoid unless s is the slot of it, then q's second nearest (both capped at the
// current cost, as every term starts there). In units, with n and m the units of q's capped
// nearest and second nearest distances and e = min(units of the distance to F, m):
//   s not q's slot:  n + min(0, e - n)
//   s q's slot:      m + (e - m)
// So a candidate's trials are a part that is the same for every candidate (kept by the caller)
// plus two sums of the candidate: `shared`, over every q, of min(0, e - n), and per slot, over
// the q of that slot, of (e - m) - min(0, e - n). Both are 0 for a q that lies no nearer to F
// than its capped second nearest distance. After a swap only the positions whose units or slot
// changed (or that joined or left the counted ones) change their share: they are measured against
// every candidate and their old share replaced, exactly, as the sums are whole numbers.
//
// Invariant: for each candidate row, the sums equal those counted anew from `terms()`.
#pragma once

#include <cstdint>
#include <vector>

#include "tolvar/fixed_point_cost.h"
#include "tolvar/subset_rows.h"
#include "tolvar/tolvar.h"

namespace tolvar {

// How one subset position is counted in the sums.
struct CountedTerm {
  std::int64_t nearest = 0;  // units of the capped distance to the nearest medoid
  std::int64_t second = 0;   // units of the capped distance to the second nearest (the cap when none)
  double reach = -1.0;       // squared distances above this leave the term unchanged; -1 when not counted
  int slot = -1;             // slot of the nearest medoid
  bool counted = false;      // a non-medoid: it adds to the trial costs
};

class KeptTrialSums {
 public:
  // Forgets every sum and counts anew the rows of the counted candidates from `first` up to
  // `last` - 1 from `terms` (one per subset position).
  void countAnew(const SubsetRows& subset, const FixedPointCost& cost, const std::vector<CountedTerm>& terms,
                 int first, int last, int clusterCount);
  // Brings rows counted over the whole subset to `terms`: positions whose share changed are
  // measured against the candidates kept, new candidates are counted anew. The cost must be the
  // one the rows were counted with.
  void recount(const SubsetRows& subset, const FixedPointCost& cost, const std::vector<CountedTerm>& terms);

  int first() const { return first_; }
  std::int64_t shared(int candidate) const { return shared_[static_cast<std::size_t>(candidate - first_)]; }
  std::int64_t perSlot(int candidate, int slot) const {
    return perSlot_[static_cast<std::size_t>(candidate - first_) * clusterCount_ + static_cast<std::size_t>(slot)];
  }

 private:
  // Zeroes and counts the rows of `candidates` from terms_.
  void countRows(const SubsetRows& subset, const FixedPointCost& cost, const std::vector<int>& candidates);

  int first_ = 0;
  std::size_t clusterCount_ = 0;
  std::vector<CountedTerm> terms_;    // per subset position, as the sums count it
  std::vector<std::int64_t> shared_;  // per candidate row
  std::vector<std::int64_t> perSlot_;  // per candidate row and slot
  std::vector<double> squared_;        // scratch: squared distances of up to four queries
  std::vector<double> reach_;          // scratch: the terms' reaches side by side
  std::vector<std::uint32_t> reachedAt_;  // scratch: positions within reach
};

}  // namespace tolvar
