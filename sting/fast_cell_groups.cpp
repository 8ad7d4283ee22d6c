// Cell grouping by joining the parts of close pairs, with a sieve of a few samples that sets most
// far pairs apart before they are measured in full (see fast_cells.h for why it is exact).
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/packed_vectors.h"
#include "sting/fast_cells.h"

namespace sting {

namespace {

using clustering::PackedVectors;

// Enough samples to set most far pairs apart, few enough that the sieve stays a small part of
// measuring every pair in full.
constexpr int SieveSamples = 12;
// Cells whose sieve sums one sweep over the later cells measures, each later cell fetched once.
constexpr int CellsPerSweep = 4;
// Sieve sums looked at together for one that passes.
constexpr int SumsPerLook = 8;

// The parts of the graph of close cells found so far; each part is named by its lowest cell.
class CellParts {
 public:
  explicit CellParts(int cellCount) : parent_(static_cast<std::size_t>(cellCount)), partCount_(cellCount) {
    std::iota(parent_.begin(), parent_.end(), 0);
  }

  int lowestCell(int cell) {
    while (parent_[static_cast<std::size_t>(cell)] != cell) {
      int& parent = parent_[static_cast<std::size_t>(cell)];
      parent = parent_[static_cast<std::size_t>(parent)];  // halves the path for later searches
      cell = parent;
    }
    return cell;
  }

  void join(int a, int b) {
    a = lowestCell(a);
    b = lowestCell(b);
    if (a == b) return;
    parent_[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
    --partCount_;
  }

  int partCount() const { return partCount_; }

 private:
  std::vector<int> parent_;
  int partCount_;
};

// The samples in which the finite means spread most, in ascending sample order, since the sieve
// sum must add its squares in the order of the whole sum to stay below it.
std::vector<int> sieveSamples(const std::vector<GridCell>& cells, int sampleCount, const std::vector<char>& finite) {
  std::vector<double> spread(static_cast<std::size_t>(sampleCount), 0.0);
  for (std::size_t s = 0; s < spread.size(); ++s) {
    double sum = 0.0;
    double count = 0.0;
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (!finite[c]) continue;
      sum += cells[c].mean[s];
      count += 1.0;
    }
    if (count == 0.0) continue;
    const double centre = sum / count;
    double squares = 0.0;
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (finite[c]) squares += (cells[c].mean[s] - centre) * (cells[c].mean[s] - centre);
    }
    // Only the choice of samples rests on this, never a result: an overflow to no number just
    // makes the sample a poor choice.
    spread[s] = std::isnan(squares) ? 0.0 : squares;
  }
  std::vector<int> samples(spread.size());
  std::iota(samples.begin(), samples.end(), 0);
  const auto chosen = samples.begin() + std::min<std::ptrdiff_t>(SieveSamples, sampleCount);
  std::partial_sort(samples.begin(), chosen, samples.end(), [&spread](int a, int b) {
    return spread[static_cast<std::size_t>(a)] > spread[static_cast<std::size_t>(b)] ||
           (spread[static_cast<std::size_t>(a)] == spread[static_cast<std::size_t>(b)] && a < b);
  });
  samples.erase(chosen, samples.end());
  std::sort(samples.begin(), samples.end());
  return samples;
}

// Whether one of SumsPerLook sums is at most `bound`, in one test of all rather than a branch each.
bool anyAtMost(const double* sums, double bound) {
#if defined(__SSE2__)
  const __m128d limit = _mm_set1_pd(bound);
  __m128d passed = _mm_setzero_pd();
  for (int k = 0; k < SumsPerLook; k += 2) passed = _mm_or_pd(passed, _mm_cmple_pd(_mm_loadu_pd(sums + k), limit));
  return _mm_movemask_pd(passed) != 0;
#else
  bool passed = false;
  for (int k = 0; k < SumsPerLook; ++k) passed = passed || sums[k] <= bound;
  return passed;
#endif
}

// Whether two cells link, their distance summed as the literal step sums it. With `mayStop`
// (both means finite) the sum is left once above `bound`: it can only grow.
bool linked(const double* a, const double* b, int sampleCount, bool mayStop, double bound, double distanceThreshold) {
  double sum = 0.0;
  for (int s = 0; s < sampleCount; ++s) {
    const double difference = a[s] - b[s];
    sum = sum + difference * difference;
    if (mayStop && sum > bound) return false;
  }
  return !(std::sqrt(sum) > distanceThreshold);
}

}  // namespace

int FastCellSteps::groupCells(std::vector<GridCell>& cells, int sampleCount, double distanceThreshold) const {
  const int cellCount = static_cast<int>(cells.size());
  const double bound = clustering::squaredBound(distanceThreshold);
  std::vector<char> finite(cells.size());
  std::vector<int> nonFiniteCells;
  for (std::size_t c = 0; c < cells.size(); ++c) {
    finite[c] = clustering::allFinite(cells[c].mean.data(), sampleCount);
    if (!finite[c]) nonFiniteCells.push_back(static_cast<int>(c));
  }
  CellParts parts(cellCount);
  const auto measure = [&](int a, int b, bool mayStop) {
    if (parts.lowestCell(a) == parts.lowestCell(b)) return;
    if (linked(cells[static_cast<std::size_t>(a)].mean.data(), cells[static_cast<std::size_t>(b)].mean.data(),
               sampleCount, mayStop, bound, distanceThreshold)) {
      parts.join(a, b);
    }
  };

  // A cell whose mean is not all finite is measured in full against every other cell.
  for (const int a : nonFiniteCells) {
    for (int b = 0; b < cellCount; ++b) {
      if (b != a && (finite[static_cast<std::size_t>(b)] || b > a)) measure(a, b, false);
    }
  }

  const std::vector<int> sieved = sieveSamples(cells, sampleCount, finite);
  const std::size_t width = sieved.size();
  std::vector<double> sieveValues(cells.size() * width);
  PackedVectors sieve(cellCount, static_cast<int>(width));
  for (std::size_t c = 0; c < cells.size(); ++c) {
    double* values = sieveValues.data() + c * width;
    for (std::size_t k = 0; k < width; ++k) values[k] = cells[c].mean[static_cast<std::size_t>(sieved[k])];
    sieve.assign(static_cast<int>(c), values);
  }

  // Pairs of finite cells (the others were measured above): only those that pass the sieve are
  // measured. Their sieve sums are numbers, so passing is being at most the bound; a threshold
  // that is no number links every pair, and every pair passes.
  const double sieveBound = std::isnan(bound) ? std::numeric_limits<double>::infinity() : bound;
  std::vector<double> sieveSums(static_cast<std::size_t>(CellsPerSweep) * cells.size());
  for (int first = 0; first + 1 < cellCount && parts.partCount() > 1; first += CellsPerSweep) {
    const int queryCount = std::min(CellsPerSweep, cellCount - first);
    const double* queries[CellsPerSweep];
    for (int q = 0; q < queryCount; ++q) queries[q] = sieveValues.data() + static_cast<std::size_t>(first + q) * width;
    const int from = first + 1;
    clustering::squaredDistancesMany(queries, queryCount, sieve, from, cellCount, sieveSums.data(), cells.size());
    for (int q = 0; q < queryCount; ++q) {
      const int a = first + q;
      if (!finite[static_cast<std::size_t>(a)]) continue;
      const double* sums = sieveSums.data() + static_cast<std::size_t>(q) * cells.size();
      int b = a + 1;
      // Most sums lie above the bound; a few at once are looked at without a branch.
      for (; b + SumsPerLook <= cellCount; b += SumsPerLook) {
        const double* look = sums + (b - from);
        if (!anyAtMost(look, sieveBound)) continue;
        for (int k = 0; k < SumsPerLook; ++k) {
          if (look[k] <= sieveBound && finite[static_cast<std::size_t>(b + k)]) measure(a, b + k, true);
        }
      }
      for (; b < cellCount; ++b) {
        if (sums[b - from] <= sieveBound && finite[static_cast<std::size_t>(b)]) measure(a, b, true);
      }
    }
  }

  // A part's lowest cell comes first in ascending order and opens the next cluster.
  int clusterCount = 0;
  for (int c = 0; c < cellCount; ++c) {
    const int lowest = parts.lowestCell(c);
    cells[static_cast<std::size_t>(c)].clusterLabel =
        lowest == c ? clusterCount++ : cells[static_cast<std::size_t>(lowest)].clusterLabel;
  }
  return clusterCount;
}

}  // namespace sting
