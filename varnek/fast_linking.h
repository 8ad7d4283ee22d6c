// The nearest other row of every row, each pair of rows measured once for both of its rows and
// four rows' distances measured side by side.
//
// A pair's distance is the same bits in either order, so the pair (i, j), i < j, is measured
// once, while row i is the query, and offered to both rows. Every row meets its candidates in
// ascending row order (the rows below it while they are queries, then the rows above it while
// it is the query), so the strict test keeps the lowest row among equal distances, as the
// literal search does. A squared sum is only rooted when its root can be at most the row's best
// distance (squaredBound), so the test is made on roots, never on squared sums.
#pragma once

#include "varnek/varnek.h"

namespace varnek {

class FastLinking final : public NeighbourLinking {
 public:
  std::vector<NeighbourLink> link(const std::vector<GeneRow>& rows, int sampleCount) const override;
};

}  // namespace varnek
