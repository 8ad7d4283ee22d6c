#include "varnek/member_cache.h"

#include <algorithm>

namespace varnek {

namespace {

constexpr int QueriesAtOnce = MemberDistances::QueriesAtOnce;

}  // namespace

MemberCache::MemberCache(const MemberDistances& genes, std::size_t capacity, std::size_t slotCount)
    : genes_(genes),
      geneCount_(genes.geneCount()),
      slotCount_(slotCount),
      entryOf_(genes.geneCount(), -1),
      positionOf_(std::max<std::size_t>(capacity, QueriesAtOnce), -1),
      lastUse_(positionOf_.size(), 0),
      worked_(positionOf_.size(), 0),
      distances_(positionOf_.size() * geneCount_),
      toSlots_(positionOf_.size() * slotCount),
      squared_(QueriesAtOnce * geneCount_) {}

const double* MemberCache::distances(int position) const {
  return distances_.data() + static_cast<std::size_t>(entryOf_[static_cast<std::size_t>(position)]) * geneCount_;
}

const double* MemberCache::toSlots(int position) const {
  return toSlots_.data() + static_cast<std::size_t>(entryOf_[static_cast<std::size_t>(position)]) * slotCount_;
}

// A free entry or the one unused longest, except those of the fetch under way (used at clock_).
int MemberCache::entryFor(int position) {
  int chosen = 0;
  for (std::size_t e = 0; e < positionOf_.size(); ++e) {
    if (positionOf_[e] < 0) {
      chosen = static_cast<int>(e);
      break;
    }
    if (lastUse_[e] < lastUse_[static_cast<std::size_t>(chosen)]) chosen = static_cast<int>(e);
  }
  const auto k = static_cast<std::size_t>(chosen);
  if (positionOf_[k] >= 0) entryOf_[static_cast<std::size_t>(positionOf_[k])] = -1;
  positionOf_[k] = position;
  entryOf_[static_cast<std::size_t>(position)] = chosen;
  lastUse_[k] = clock_;
  return chosen;
}

void MemberCache::fetch(const int* needed, std::size_t neededCount, const std::vector<int>& hoped) {
  ++clock_;
  int queries[QueriesAtOnce];
  int count = 0;
  for (std::size_t i = 0; i < neededCount && count < QueriesAtOnce; ++i) {
    if (!holds(needed[i]) && std::find(queries, queries + count, needed[i]) == queries + count)
      queries[count++] = needed[i];
  }
  for (std::size_t i = 0; i < hoped.size() && count < QueriesAtOnce; ++i) {
    if (!holds(hoped[i]) && std::find(queries, queries + count, hoped[i]) == queries + count)
      queries[count++] = hoped[i];
  }
  if (count == 0) return;
  genes_.measure(queries, count, 0, squared_.data(), geneCount_);
  for (int q = 0; q < count; ++q) {
    const auto entry = static_cast<std::size_t>(entryFor(queries[q]));
    const double* squared = squared_.data() + static_cast<std::size_t>(q) * geneCount_;
    std::copy(squared, squared + geneCount_, distances_.data() + entry * geneCount_);
    worked_[entry] = 0;
  }
}

void MemberCache::use(int position, const std::vector<int>& slotAt, int liveSlots) {
  const auto entry = static_cast<std::size_t>(entryOf_[static_cast<std::size_t>(position)]);
  lastUse_[entry] = clock_;
  if (worked_[entry]) return;
  worked_[entry] = 1;
  const auto slots = static_cast<std::size_t>(liveSlots);
  double* distance = distances_.data() + entry * geneCount_;
  double* toSlot = toSlots_.data() + entry * slotCount_;
  std::fill(toSlot, toSlot + slots, MemberDistances::Unmeasured);
  for (std::size_t p = 0; p < geneCount_; ++p) {
    double& nearest = toSlot[slotAt[p]];
    nearest = distance[p] < nearest ? distance[p] : nearest;
  }
  MemberDistances::rootNearest(toSlot, slots);
  MemberDistances::rootNearest(distance, geneCount_);
}

void MemberCache::merged(int a, int b, int last) {
  const auto ka = static_cast<std::size_t>(a);
  const auto kb = static_cast<std::size_t>(b);
  const auto kl = static_cast<std::size_t>(last);
  for (std::size_t e = 0; e < positionOf_.size(); ++e) {
    if (positionOf_[e] < 0 || !worked_[e]) continue;
    double* toSlot = toSlots_.data() + e * slotCount_;
    toSlot[ka] = toSlot[kb] < toSlot[ka] ? toSlot[kb] : toSlot[ka];
    toSlot[kb] = toSlot[kl];
  }
}

}  // namespace varnek
