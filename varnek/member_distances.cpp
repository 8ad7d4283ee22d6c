#include "varnek/member_distances.h"

#include <algorithm>

namespace varnek {

using clustering::InfiniteDistance;

MemberDistances::MemberDistances(const std::vector<clustering::GeneRow>& rows, int sampleCount, std::vector<int> geneAt)
    : rows_(rows), geneAt_(std::move(geneAt)), packed_(static_cast<int>(geneAt_.size()), sampleCount) {
  for (std::size_t p = 0; p < geneAt_.size(); ++p) packed_.assign(static_cast<int>(p), values(static_cast<int>(p)));
}

const double* MemberDistances::values(int position) const {
  return rows_[static_cast<std::size_t>(geneAt_[static_cast<std::size_t>(position)])].values.data();
}

void MemberDistances::measure(const int* positions, int count, int first, double* out, std::size_t stride) const {
  const double* queries[QueriesAtOnce];
  for (int q = 0; q < count; ++q) queries[q] = values(positions[q]);
  clustering::squaredDistancesMany(queries, count, packed_, first, static_cast<int>(geneAt_.size()), out, stride);
}

void MemberDistances::takeNearer(const double* values, std::size_t count, double* nearest) {
  for (std::size_t p = 0; p < count; ++p) nearest[p] = values[p] < nearest[p] ? values[p] : nearest[p];
}

void MemberDistances::rootNearest(double* nearest, std::size_t count) {
  clustering::cappedRoots(nearest, count, InfiniteDistance);
}

}  // namespace varnek
