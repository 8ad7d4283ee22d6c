#include "tolvar/kept_trial_sums.h"

#include <cmath>

namespace tolvar {

namespace {

constexpr int QueriesAtOnce = SubsetRows::QueriesAtOnce;

// What counted position `term` adds to a candidate whose distance to it is `distanceUnits`:
// false when nothing, else the part for every slot and the part for the term's slot alone.
bool shareOf(const CountedTerm& term, std::int64_t distanceUnits, std::int64_t& everySlot, std::int64_t& ownSlot) {
  const std::int64_t e = distanceUnits < term.second ? distanceUnits : term.second;
  const std::int64_t toSecond = e - term.second;
  if (toSecond == 0) return false;
  const std::int64_t toNearest = e < term.nearest ? e - term.nearest : 0;
  everySlot = toNearest;
  ownSlot = toSecond - toNearest;
  return true;
}

// The positions p below `size` with squared[p] <= reach, ascending, into `at`; returns how many.
// Without branches: most positions lie beyond.
std::size_t gatherReached(const double* squared, std::size_t size, double reach, std::vector<std::uint32_t>& at) {
  at.resize(size);
  std::size_t count = 0;
  for (std::size_t p = 0; p < size; ++p) {
    at[count] = static_cast<std::uint32_t>(p);
    count += squared[p] <= reach ? 1 : 0;
  }
  return count;
}

// The same with a reach per position.
std::size_t gatherReaching(const double* squared, std::size_t size, const double* reach, std::vector<std::uint32_t>& at) {
  at.resize(size);
  std::size_t count = 0;
  for (std::size_t p = 0; p < size; ++p) {
    at[count] = static_cast<std::uint32_t>(p);
    count += squared[p] <= reach[p] ? 1 : 0;
  }
  return count;
}

}  // namespace

void KeptTrialSums::countAnew(const SubsetRows& subset, const FixedPointCost& cost,
                              const std::vector<CountedTerm>& terms, int first, int last, int clusterCount) {
  first_ = first;
  clusterCount_ = static_cast<std::size_t>(clusterCount);
  terms_ = terms;
  shared_.assign(static_cast<std::size_t>(last - first), 0);
  perSlot_.assign(static_cast<std::size_t>(last - first) * clusterCount_, 0);
  std::vector<int> candidates;
  for (int candidate = first; candidate < last; ++candidate) {
    if (terms_[static_cast<std::size_t>(candidate)].counted) candidates.push_back(candidate);
  }
  countRows(subset, cost, candidates);
}

void KeptTrialSums::countRows(const SubsetRows& subset, const FixedPointCost& cost, const std::vector<int>& candidates) {
  const std::size_t size = static_cast<std::size_t>(subset.size);
  squared_.resize(QueriesAtOnce * size);
  reach_.resize(size);
  for (std::size_t q = 0; q < size; ++q) reach_[q] = terms_[q].reach;
  for (std::size_t group = 0; group < candidates.size(); group += QueriesAtOnce) {
    const int count = subset.measure(candidates, group, 0, subset.size, squared_.data(), size);
    for (int j = 0; j < count; ++j) {
      const int candidate = candidates[group + j];
      const std::size_t row = static_cast<std::size_t>(candidate - first_);
      std::int64_t shared = 0;
      std::int64_t* perSlot = perSlot_.data() + row * clusterCount_;
      std::fill(perSlot, perSlot + clusterCount_, 0);
      const double* squared = squared_.data() + static_cast<std::size_t>(j) * size;
      const std::size_t reached = gatherReaching(squared, size, reach_.data(), reachedAt_);
      for (std::size_t r = 0; r < reached; ++r) {
        const std::size_t q = reachedAt_[r];
        const CountedTerm& term = terms_[q];
        if (static_cast<int>(q) == candidate) continue;
        std::int64_t everySlot, ownSlot;
        if (!shareOf(term, cost.units(std::sqrt(squared[q])), everySlot, ownSlot)) continue;
        shared += everySlot;
        perSlot[term.slot] += ownSlot;
      }
      shared_[row] = shared;
    }
  }
}

void KeptTrialSums::recount(const SubsetRows& subset, const FixedPointCost& cost,
                            const std::vector<CountedTerm>& terms) {
  const std::size_t size = static_cast<std::size_t>(subset.size);
  std::vector<int> changed;
  std::vector<int> fresh;
  std::vector<char> kept(size, 0);  // candidates before and after: their rows are brought up to date
  int candidateCount = 0;
  for (std::size_t q = 0; q < size; ++q) {
    const CountedTerm& before = terms_[q];
    const CountedTerm& now = terms[q];
    if (now.counted) ++candidateCount;
    if (before.counted && now.counted) kept[q] = 1;
    if (now.counted && !before.counted) fresh.push_back(static_cast<int>(q));
    const bool sameShare = before.counted == now.counted &&
                           (!now.counted || (before.nearest == now.nearest && before.second == now.second &&
                                             before.slot == now.slot));
    if (!sameShare) changed.push_back(static_cast<int>(q));
  }
  // Replacing a position's share costs about what counting a candidate anew does.
  if (changed.size() >= static_cast<std::size_t>(candidateCount)) {
    countAnew(subset, cost, terms, 0, subset.size, static_cast<int>(clusterCount_));
    return;
  }

  squared_.resize(QueriesAtOnce * size);
  for (std::size_t group = 0; group < changed.size(); group += QueriesAtOnce) {
    const int count = subset.measure(changed, group, 0, subset.size, squared_.data(), size);
    for (int j = 0; j < count; ++j) {
      const std::size_t q = static_cast<std::size_t>(changed[group + j]);
      const CountedTerm& before = terms_[q];
      const CountedTerm& now = terms[q];
      const double reach = before.reach > now.reach ? before.reach : now.reach;
      const double* squared = squared_.data() + static_cast<std::size_t>(j) * size;
      const std::size_t reached = gatherReached(squared, size, reach, reachedAt_);
      for (std::size_t r = 0; r < reached; ++r) {
        const std::size_t candidate = reachedAt_[r];
        if (!kept[candidate] || candidate == q) continue;
        const std::int64_t units = cost.units(std::sqrt(squared[candidate]));
        std::int64_t* perSlot = perSlot_.data() + candidate * clusterCount_;
        std::int64_t everySlot, ownSlot;
        if (before.counted && shareOf(before, units, everySlot, ownSlot)) {
          shared_[candidate] -= everySlot;
          perSlot[before.slot] -= ownSlot;
        }
        if (now.counted && shareOf(now, units, everySlot, ownSlot)) {
          shared_[candidate] += everySlot;
          perSlot[now.slot] += ownSlot;
        }
      }
    }
  }
  terms_ = terms;
  countRows(subset, cost, fresh);
}

}  // namespace tolvar
