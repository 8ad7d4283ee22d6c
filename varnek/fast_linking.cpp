#include "varnek/fast_linking.h"

#include <cmath>

#include "common/packed_vectors.h"

namespace varnek {

using clustering::InfiniteDistance;
using clustering::PackedVectors;

namespace {

constexpr int QueriesAtOnce = 4;

struct Nearest {
  std::vector<NeighbourLink>& links;
  std::vector<double> bound;  // per row: squaredBound of its best distance

  // Offers row `other` at squared distance `squared` to `row`; the caller has seen that its root
  // is at most the row's best distance.
  void offer(std::size_t row, int other, double squared) {
    const double distance = std::sqrt(squared);
    NeighbourLink& link = links[row];
    if (distance < link.distance) {
      link.distance = distance;
      link.nearest = other;
      bound[row] = clustering::squaredBound(distance);
    }
  }
};

}  // namespace

std::vector<NeighbourLink> FastLinking::link(const std::vector<GeneRow>& rows, int sampleCount) const {
  const int geneCount = static_cast<int>(rows.size());
  std::vector<NeighbourLink> links(rows.size());
  for (int i = 0; i < geneCount; ++i) links[static_cast<std::size_t>(i)] = NeighbourLink{i, 1, InfiniteDistance};
  Nearest nearest{links, std::vector<double>(rows.size(), clustering::squaredBound(InfiniteDistance))};

  const PackedVectors packed = PackedVectors::ofRows(rows, sampleCount);
  const std::size_t stride = rows.size();
  std::vector<double> squared(QueriesAtOnce * stride);
  for (int first = 0; first < geneCount; first += QueriesAtOnce) {
    const int queryCount = geneCount - first < QueriesAtOnce ? geneCount - first : QueriesAtOnce;
    const double* queries[QueriesAtOnce];
    for (int q = 0; q < queryCount; ++q) queries[q] = rows[static_cast<std::size_t>(first + q)].values.data();
    // Every query from the block's first row on, so that the rows above each query are measured.
    clustering::squaredDistancesMany(queries, queryCount, packed, first, geneCount, squared.data(), stride);
    for (int q = 0; q < queryCount; ++q) {
      const auto i = static_cast<std::size_t>(first + q);
      const double* sums = squared.data() + static_cast<std::size_t>(q) * stride;
      for (std::size_t j = i + 1; j < rows.size(); ++j) {
        const double sum = sums[j - static_cast<std::size_t>(first)];
        if (sum <= nearest.bound[i]) nearest.offer(i, static_cast<int>(j), sum);
        if (sum <= nearest.bound[j]) nearest.offer(j, static_cast<int>(i), sum);
      }
    }
  }
  return links;
}

}  // namespace varnek
