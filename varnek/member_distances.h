// Distances measured from members' values, for the slots whose tables the fast merging does
// not keep.
//
// Genes lie packed by position. A member's squared sums to every position are fetched four
// members at a time (each sum in sample order, so the same bits as euclideanDistance). From
// them come the member's distance to every slot (the root of the smallest squared sum over the
// slot's members, since the root is monotone) and a slot's distance row (per position the
// smallest over the slot's members). A nearest distance is InfiniteDistance unless a distance
// is strictly smaller, and a sum that is not a number is never the smallest.
#pragma once

#include <cstddef>
#include <limits>
#include <vector>

#include "common/gene_row.h"
#include "common/packed_vectors.h"

namespace varnek {

class MemberDistances {
 public:
  static constexpr int QueriesAtOnce = 4;

  // Row `geneAt[p]` at position p.
  MemberDistances(const std::vector<clustering::GeneRow>& rows, int sampleCount, std::vector<int> geneAt);

  std::size_t geneCount() const { return geneAt_.size(); }
  int sampleCount() const { return packed_.sampleCount(); }
  const double* values(int position) const;

  // Squared sums from the genes at `positions` (up to QueriesAtOnce) to the genes at positions
  // `first` to geneCount() - 1: row q of `out` (`stride` apart) for positions[q].
  void measure(const int* positions, int count, int first, double* out, std::size_t stride) const;

  // nearest[p] becomes the smaller of itself and values[p] (squared sums or distances alike).
  static void takeNearer(const double* values, std::size_t count, double* nearest);
  static constexpr double Unmeasured = std::numeric_limits<double>::infinity();
  // Squared minima to nearest distances, in place.
  static void rootNearest(double* nearest, std::size_t count);

 private:
  const std::vector<clustering::GeneRow>& rows_;
  std::vector<int> geneAt_;
  clustering::PackedVectors packed_;
};

}  // namespace varnek
