// The rows of a search's subset as the fast sweep measures them: the rows themselves, whose
// values serve as queries, and the same rows packed, positions 0 to size - 1, against which up
// to four queries are measured at once (each sum in sample order, as euclideanDistance sums).
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "common/packed_vectors.h"
#include "tolvar/tolvar.h"

namespace tolvar {

struct SubsetRows {
  static constexpr int QueriesAtOnce = 4;  // as many as squaredDistancesMany measures per fetched block

  const std::vector<GeneRow>* rows = nullptr;
  const clustering::PackedVectors* packed = nullptr;
  int size = 0;

  // The squared distances from the positions queries[from], queries[from + 1], ... (at most
  // QueriesAtOnce) to the positions from `first` up to `last` - 1: query j's to position p at
  // out[j * stride + p - first]. Returns the number of queries measured.
  int measure(const std::vector<int>& queries, std::size_t from, int first, int last, double* out,
              std::size_t stride) const {
    const int count = static_cast<int>(std::min<std::size_t>(QueriesAtOnce, queries.size() - from));
    const double* values[QueriesAtOnce];
    for (int j = 0; j < count; ++j) values[j] = (*rows)[static_cast<std::size_t>(queries[from + j])].values.data();
    clustering::squaredDistancesMany(values, count, *packed, first, last, out, stride);
    return count;
  }
};

}  // namespace tolvar
