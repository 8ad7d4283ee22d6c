#include "tolvar/fast_sweep.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tolvar {

using clustering::PackedVectors;
using clustering::squaredBound;

namespace {

constexpr int QueriesAtOnce = SubsetRows::QueriesAtOnce;
constexpr int PositionBlock = 256;  // positions measured against the medoids at a time
constexpr double Unreached = std::numeric_limits<double>::infinity();

}  // namespace

void FastSweep::beginSearch(const std::vector<GeneRow>& rows, int sampleCount, const Restart& restart) {
  rows_ = &rows;
  sampleCount_ = sampleCount;
  const int size = restart.subsetSize;
  packed_ = PackedVectors(size, sampleCount);
  for (int q = 0; q < size; ++q) packed_.assign(q, rows[static_cast<std::size_t>(q)].values.data());
  subset_ = SubsetRows{rows_, &packed_, size};
  sumsKept_ = false;
  const std::size_t positions = static_cast<std::size_t>(size);
  nearest_.resize(positions);
  second_.resize(positions);
  slot_.resize(positions);
  terms_.resize(positions);
  lowest_.resize(positions);
}

void FastSweep::measureMedoids(const Restart& restart) {
  const int size = restart.subsetSize;
  const int clusterCount = static_cast<int>(restart.medoids.size());
  std::fill(nearest_.begin(), nearest_.end(), Unreached);
  std::fill(second_.begin(), second_.end(), Unreached);
  std::fill(slot_.begin(), slot_.end(), -1);
  squared_.resize(QueriesAtOnce * PositionBlock);
  for (int first = 0; first < size; first += PositionBlock) {
    const int last = std::min(size, first + PositionBlock);
    // Slots in ascending order for every position, so that equal distances keep the first slot.
    for (int group = 0; group < clusterCount; group += QueriesAtOnce) {
      const int count =
          subset_.measure(restart.medoids, static_cast<std::size_t>(group), first, last, squared_.data(), PositionBlock);
      for (int j = 0; j < count; ++j) {
        const double* squared = squared_.data() + j * PositionBlock;
        for (int q = first; q < last; ++q) {
          const double d = std::sqrt(squared[q - first]);
          if (d < nearest_[q]) {
            second_[q] = nearest_[q];
            nearest_[q] = d;
            slot_[q] = group + j;
          } else if (d < second_[q]) {
            second_[q] = d;
          }
        }
      }
    }
  }
}

void FastSweep::countTerms(const Restart& restart, double totalCost) {
  for (std::size_t q = 0; q < terms_.size(); ++q) {
    const double nearest = nearest_[q] < totalCost ? nearest_[q] : totalCost;
    const double second = second_[q] < totalCost ? second_[q] : totalCost;
    CountedTerm& term = terms_[q];
    term.nearest = cost_.units(nearest);
    term.second = cost_.units(second);
    // With no medoid at a finite distance, both terms are the cap and the slot plays no part.
    term.slot = slot_[q] < 0 ? 0 : slot_[q];
    term.counted = restart.nonMedoid[q] != 0;
    term.reach = term.counted ? squaredBound(second) : -1.0;
  }
}

void FastSweep::boundTrials(const Restart& restart, int first, int last, double& lowestHigh) {
  const int clusterCount = static_cast<int>(restart.medoids.size());
  const double costUnits = cost_.inUnits(restart.totalCost);
  int termCount = 0;  // every trial counts the non-medoids but its candidate, and the medoid it replaces
  for (const CountedTerm& term : terms_) termCount += term.counted ? 1 : 0;
  std::vector<std::int64_t> medoidTerm(static_cast<std::size_t>(clusterCount));
  for (int s = 0; s < clusterCount; ++s) {
    const CountedTerm& term = terms_[static_cast<std::size_t>(restart.medoids[s])];
    medoidTerm[s] = term.slot == s ? term.second : term.nearest;
  }
  squared_.resize(QueriesAtOnce * PositionBlock);
  for (int blockFirst = first; blockFirst < last; blockFirst += PositionBlock) {
    const int blockLast = std::min(last, blockFirst + PositionBlock);
    for (int group = 0; group < clusterCount; group += QueriesAtOnce) {
      const int count = subset_.measure(restart.medoids, static_cast<std::size_t>(group), blockFirst, blockLast,
                                        squared_.data(), PositionBlock);
      for (int candidate = blockFirst; candidate < blockLast; ++candidate) {
        const CountedTerm& own = terms_[static_cast<std::size_t>(candidate)];
        if (!own.counted) continue;
        const std::int64_t shared = sums_.shared(candidate);
        double& lowest = lowest_[static_cast<std::size_t>(candidate)];
        for (int j = 0; j < count; ++j) {
          const int s = group + j;
          // The replaced medoid's term: its distance to the candidate or to the other medoids.
          const std::int64_t toCandidate = cost_.units(std::sqrt(squared_[j * PositionBlock + candidate - blockFirst]));
          const std::int64_t replaced = toCandidate < medoidTerm[s] ? toCandidate : medoidTerm[s];
          const std::int64_t candidateTerm = own.slot == s ? own.second : own.nearest;
          const std::int64_t units = slotBase_[s] - candidateTerm + shared + sums_.perSlot(candidate, s) + replaced;
          const CostRange range = FixedPointCost::range(units, termCount);
          if (range.high < lowestHigh) lowestHigh = range.high;
          if (range.low < costUnits && range.low < lowest) lowest = range.low;
        }
      }
    }
  }
}

SwapMove FastSweep::cheapestTrial(const Restart& restart, const std::vector<int>& candidates) {
  const int size = restart.subsetSize;
  const int clusterCount = static_cast<int>(restart.medoids.size());
  const double totalCost = restart.totalCost;
  std::vector<int> medoidSlot(static_cast<std::size_t>(size), -1);
  for (int s = 0; s < clusterCount; ++s) medoidSlot[static_cast<std::size_t>(restart.medoids[s])] = s;
  SwapMove bestMove{-1, -1, totalCost};
  std::vector<double> cost(static_cast<std::size_t>(clusterCount));
  squared_.resize(QueriesAtOnce * static_cast<std::size_t>(size));
  for (std::size_t group = 0; group < candidates.size(); group += QueriesAtOnce) {
    const int count = subset_.measure(candidates, group, 0, size, squared_.data(), static_cast<std::size_t>(size));
    for (int j = 0; j < count; ++j) {
      const int candidate = candidates[group + j];
      const double* squared = squared_.data() + static_cast<std::size_t>(j) * static_cast<std::size_t>(size);
      std::fill(cost.begin(), cost.end(), 0.0);
      // Each term is the smallest of the current cost, the distance to the candidate and the
      // distance to the nearest medoid outside the trial's slot: what comparing the trial's
      // medoids one by one, strictly, from the current cost ends with.
      for (int q = 0; q < size; ++q) {
        if (q == candidate) continue;
        const double toCandidate = std::sqrt(squared[q]);
        double start = totalCost;
        if (toCandidate < start) start = toCandidate;
        const double nearest = nearest_[q] < start ? nearest_[q] : start;
        const double second = second_[q] < start ? second_[q] : start;
        if (restart.nonMedoid[q]) {
          for (int s = 0; s < clusterCount; ++s) cost[s] += s == slot_[q] ? second : nearest;
        } else {  // the medoid counts only in the trial that replaces it
          const int s = medoidSlot[static_cast<std::size_t>(q)];
          cost[s] += s == slot_[q] ? second : nearest;
        }
      }
      for (int s = 0; s < clusterCount; ++s) {
        if (cost[s] < bestMove.cost) bestMove = SwapMove{candidate, s, cost[s]};
      }
    }
  }
  return bestMove;
}

SwapMove FastSweep::bestMove(Restart& restart) {
  const double totalCost = restart.totalCost;
  const int size = restart.subsetSize;
  const int clusterCount = static_cast<int>(restart.medoids.size());
  // No term is negative, so no trial costs less than 0; and from a cost that is not a number
  // every trial's is none.
  if (clusterCount == 0 || !(totalCost > 0.0)) return SwapMove{-1, -1, totalCost};
  measureMedoids(restart);

  std::vector<int> candidates;
  if (!std::isfinite(totalCost)) {  // no units for terms of any size
    sumsKept_ = false;
    for (int q = 0; q < size; ++q) {
      if (restart.nonMedoid[q]) candidates.push_back(q);
    }
    return cheapestTrial(restart, candidates);
  }

  // Units for the largest capped term of this sweep; kept sums stay in their units while that
  // holds, with room for terms to grow.
  double largest = 0.0;
  for (int q = 0; q < size; ++q) largest = std::max(largest, std::min(second_[q], totalCost));
  const bool keep = static_cast<std::size_t>(size) * static_cast<std::size_t>(clusterCount) <= maxKeptTrials_;
  if (!sumsKept_ || !keep || largest > cost_.bound()) {
    cost_ = FixedPointCost(2.0 * largest, size);
    sumsKept_ = false;
  }
  countTerms(restart, totalCost);
  slotBase_.assign(static_cast<std::size_t>(clusterCount), 0);
  std::int64_t nearestBase = 0;
  for (const CountedTerm& term : terms_) {
    if (!term.counted) continue;
    nearestBase += term.nearest;
    slotBase_[static_cast<std::size_t>(term.slot)] += term.second - term.nearest;
  }
  for (std::int64_t& base : slotBase_) base += nearestBase;

  std::fill(lowest_.begin(), lowest_.end(), Unreached);
  double lowestHigh = Unreached;
  if (keep) {
    if (sumsKept_) {
      sums_.recount(subset_, cost_, terms_);
    } else {
      sums_.countAnew(subset_, cost_, terms_, 0, size, clusterCount);
    }
    sumsKept_ = true;
    boundTrials(restart, 0, size, lowestHigh);
  } else {
    const int share = static_cast<int>(std::max<std::size_t>(QueriesAtOnce, maxKeptTrials_ / static_cast<std::size_t>(clusterCount)));
    for (int first = 0; first < size; first += share) {
      const int last = std::min(size, first + share);
      sums_.countAnew(subset_, cost_, terms_, first, last, clusterCount);
      boundTrials(restart, first, last, lowestHigh);
    }
  }
  // A trial whose range starts above the lowest end of any range costs more than that trial.
  for (int q = 0; q < size; ++q) {
    if (lowest_[q] <= lowestHigh) candidates.push_back(q);
  }
  return cheapestTrial(restart, candidates);
}

}  // namespace tolvar
