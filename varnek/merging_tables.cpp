#include "varnek/merging_tables.h"

#include <algorithm>

#include "varnek/merge_bound.h"

namespace varnek {

using namespace merging;

namespace {

std::vector<int> slotOrder(const std::vector<ClusterSlot>& slots) {
  std::vector<int> geneAt;
  for (const ClusterSlot& slot : slots) geneAt.insert(geneAt.end(), slot.members.begin(), slot.members.end());
  return geneAt;
}

}  // namespace

FastMerging::Tables::Tables(const std::vector<GeneRow>& rows, int sampleCount, const std::vector<ClusterSlot>& slots,
                            Keeping keeping)
    : geneCount_(rows.size()),
      capacity_(slots.size()),
      keptSize_(sizeof(double) * (rows.size() + 2 * slots.size())),
      keeping_(keeping),
      live_(static_cast<int>(slots.size())),
      genes_(rows, sampleCount, slotOrder(slots)),
      cache_(genes_, keeping.cachedMembers, slots.size()),
      slotAt_(rows.size()),
      positions_(slots.size()),
      kept_(slots.size()),
      rowBest_(slots.size(), NoCandidate),
      rowSecond_(slots.size(), NoCandidate),
      rowPartner_(slots.size(), -1),
      rowLikely_(slots.size()),
      slotCount_(slots.size()),
      slotWeight_(slots.size()),
      rowSettled_(slots.size(), 0),
      squared_(QueriesAtOnce * rows.size()),
      slotMinimum_(slots.size()),
      merging_(makeTables(geneCount_, capacity_)),
      measured_(makeTables(geneCount_, capacity_)),
      otherSum_(slots.size()),
      otherDistance_(rows.size()),
      keys_(slots.size()),
      exact_(slots.size()),
      sums_(slots.size()),
      quick_(slots.size()) {
  // Genes lie slot by slot in member order, so that at the start every slot is one stretch.
  int position = 0;
  for (std::size_t s = 0; s < capacity_; ++s) {
    for (std::size_t m = 0; m < slots[s].members.size(); ++m) {
      slotAt_[static_cast<std::size_t>(position)] = static_cast<int>(s);
      positions_[s].push_back(position++);
    }
  }
  for (std::size_t s = 0; s < capacity_; ++s) noteSlot(static_cast<int>(s), slots[s]);
  std::vector<int> bySize;
  for (int s = 0; s < live_; ++s) {
    if (members(s) >= keeping_.keptMembers) bySize.push_back(s);
  }
  std::stable_sort(bySize.begin(), bySize.end(), [this](int x, int y) { return members(x) > members(y); });
  for (int s : bySize) {
    if ((keptCount_ + 1) * keptSize_ > keeping_.tableBytes) break;
    kept_[static_cast<std::size_t>(s)] = std::make_unique<SlotTables>(makeTables(geneCount_, capacity_));
    ++keptCount_;
  }
  measureAll(slots);
}

// Every pair of genes in different slots measured once: each member against the genes of the
// slots after its own (the genes lie slot by slot, four members measured at a time). That gives
// slot c's first halves and its distance row beyond its stretch, so row c is settled as soon as
// its last member has been measured; the kept slots after c get their distances to c's members
// and their sums towards c, and c its distances to the genes before it from the earlier rows.
void FastMerging::Tables::measureAll(const std::vector<ClusterSlot>& slots) {
  std::vector<double>& firstHalf = merging_.firstHalf;
  std::vector<double>& tail = merging_.distance;
  std::vector<int> batch(QueriesAtOnce);
  std::vector<std::size_t> keptSlots;
  for (std::size_t e = 0; e < capacity_; ++e) {
    if (kept_[e]) keptSlots.push_back(e);
  }
  std::size_t batchFirst = 0;
  std::size_t batchEnd = 0;
  std::size_t stride = 0;
  for (std::size_t x = 0; x < geneCount_; ++x) {
    if (x == batchEnd) {
      batchFirst = x;
      batchEnd = std::min(geneCount_, x + QueriesAtOnce);
      stride = geneCount_ - x;
      for (std::size_t q = x; q < batchEnd; ++q) batch[q - x] = static_cast<int>(q);
      genes_.measure(batch.data(), static_cast<int>(batchEnd - x), static_cast<int>(x), squared_.data(), stride);
    }
    const int c = slotAt_[x];
    const std::vector<int>& own = positions_[static_cast<std::size_t>(c)];
    const auto first = static_cast<std::size_t>(own.back() + 1);
    const double* sums = squared_.data() + (x - batchFirst) * stride + (first - batchFirst);
    const std::size_t width = geneCount_ - first;
    if (static_cast<int>(x) == own.front()) {
      std::fill(firstHalf.begin() + c + 1, firstHalf.end(), 0.0);
      std::fill(tail.begin() + static_cast<std::ptrdiff_t>(first), tail.end(), Unmeasured);
    }
    // The later slots are stretches one after the other: the nearest of each.
    std::fill(slotMinimum_.begin() + c + 1, slotMinimum_.end(), Unmeasured);
    for (std::size_t p = 0; p < width; ++p) {
      double& nearest = slotMinimum_[static_cast<std::size_t>(slotAt_[first + p])];
      nearest = sums[p] < nearest ? sums[p] : nearest;
    }
    MemberDistances::rootNearest(slotMinimum_.data() + c + 1, capacity_ - static_cast<std::size_t>(c) - 1);
    for (std::size_t e = static_cast<std::size_t>(c) + 1; e < capacity_; ++e) firstHalf[e] += slotMinimum_[e];
    for (std::size_t e : keptSlots) {
      if (e > static_cast<std::size_t>(c)) kept_[e]->distance[x] = slotMinimum_[e];
    }
    MemberDistances::takeNearer(sums, width, tail.data() + first);
    if (x + 1 == first) settleMeasured(c, first, slots);
  }
}

// Row c, once all its members have been measured against the genes after its stretch.
void FastMerging::Tables::settleMeasured(int c, std::size_t first, const std::vector<ClusterSlot>& slots) {
  std::vector<double>& firstHalf = merging_.firstHalf;
  std::vector<double>& tail = merging_.distance;
  MemberDistances::rootNearest(tail.data() + first, geneCount_ - first);
  if (SlotTables* kept = keptOf(c)) {
    std::copy(tail.begin() + static_cast<std::ptrdiff_t>(first), tail.end(),
              kept->distance.begin() + static_cast<std::ptrdiff_t>(first));
    std::copy(firstHalf.begin() + c + 1, firstHalf.end(), kept->towards.begin() + c + 1);
    std::copy(firstHalf.begin() + c + 1, firstHalf.end(), kept->firstHalf.begin() + c + 1);
    std::fill(kept->covered.begin(), kept->covered.end(), static_cast<int>(members(c)));
  }
  for (int e = c + 1; e < live_; ++e) {
    double connectionSum = firstHalf[static_cast<std::size_t>(e)];
    if (SlotTables* later = keptOf(e)) {
      double towardsC = 0.0;
      for (int p : positions_[static_cast<std::size_t>(e)]) {
        connectionSum += tail[static_cast<std::size_t>(p)];
        towardsC += tail[static_cast<std::size_t>(p)];
      }
      later->towards[static_cast<std::size_t>(c)] = towardsC;
    } else {
      for (int p : positions_[static_cast<std::size_t>(e)]) connectionSum += tail[static_cast<std::size_t>(p)];
    }
    sums_[static_cast<std::size_t>(e)] = connectionSum;
  }
  workOutQuickBounds(c, slots);
  BestTwo found;
  for (int e = c + 1; e < live_; ++e) {
    const auto k = static_cast<std::size_t>(e);
    keys_[k] = candidateKey(quick_[k]);
    if (quick_[k] > found.second || quick_[k] >= InfiniteDistance) continue;  // neither the best nor the second
    keys_[k] = pairKey(c, e, sums_[k], slots);
    found.offer(keys_[k], e);
  }
  rowBest_[static_cast<std::size_t>(c)] = found.best;
  rowSecond_[static_cast<std::size_t>(c)] = found.second;
  rowPartner_[static_cast<std::size_t>(c)] = found.partner;
  rowSettled_[static_cast<std::size_t>(c)] = 1;
  noteLikely(c, keys_);
}

// Hands the members at `queue`, in order, to take(index, distance to every live slot, distance
// to every gene), fetching those not measured yet as they come.
template <typename Take>
void FastMerging::Tables::forEachMember(const std::vector<int>& queue, Take take) {
  for (std::size_t i = 0; i < queue.size(); ++i) {
    if (!cache_.holds(queue[i])) cache_.fetch(queue.data() + i, queue.size() - i, hopedMembers());
    cache_.use(queue[i], slotAt_, live_);
    take(i, cache_.toSlots(queue[i]), cache_.distances(queue[i]));
  }
}

// Slot s measured from its members: their distances to every live slot added to `fold` in
// member order, and its distance row into `distance` (either may be null).
void FastMerging::Tables::measureSlot(int s, double* fold, double* distance) {
  if (distance) std::fill(distance, distance + geneCount_, InfiniteDistance);
  const auto slots = static_cast<std::size_t>(live_);
  forEachMember(positions_[static_cast<std::size_t>(s)], [&](std::size_t, const double* toSlot, const double* row) {
    if (fold) {
      for (std::size_t t = 0; t < slots; ++t) fold[t] += toSlot[t];
    }
    if (distance) MemberDistances::takeNearer(row, geneCount_, distance);
  });
}

// The kept tables for the slot merged from a and b: a's or b's, else new ones while the budget
// lasts, else those of the smallest kept slot if it has fewer members. Null: measured afresh.
SlotTables* FastMerging::Tables::keepFor(int a, int b, std::size_t mergedMembers) {
  auto& keptA = kept_[static_cast<std::size_t>(a)];
  auto& keptB = kept_[static_cast<std::size_t>(b)];
  if (keptA) {
    if (keptB) {
      keptB.reset();
      --keptCount_;
    }
    return keptA.get();
  }
  if (keptB) {
    keptA = std::move(keptB);
    return keptA.get();
  }
  if (mergedMembers < keeping_.keptMembers) return nullptr;
  if ((keptCount_ + 1) * keptSize_ <= keeping_.tableBytes) {
    keptA = std::make_unique<SlotTables>(makeTables(geneCount_, capacity_));
    ++keptCount_;
    return keptA.get();
  }
  int smallest = -1;
  for (int s = 0; s < live_; ++s) {
    if (keptOf(s) && (smallest < 0 || members(s) < members(smallest))) smallest = s;
  }
  if (smallest < 0 || members(smallest) >= mergedMembers) return nullptr;
  keptA = std::move(kept_[static_cast<std::size_t>(smallest)]);
  return keptA.get();
}

void FastMerging::Tables::merged(int a, int b, const std::vector<ClusterSlot>& slots) {
  const int last = live_ - 1;
  const bool moved = b != last;
  const auto ka = static_cast<std::size_t>(a);
  const auto kb = static_cast<std::size_t>(b);
  SlotTables& m = merging_;
  const SlotTables* keptB = keptOf(b);

  // One fetch of the genes, as far as it goes, for a's and b's members, in member order, so that
  // a's first halves continue over b's members.
  const bool measureA = !keptOf(a);
  const bool measureB = measured(b);
  queue_.clear();
  if (measureA) queue_.insert(queue_.end(), positions_[ka].begin(), positions_[ka].end());
  if (measureB) queue_.insert(queue_.end(), positions_[kb].begin(), positions_[kb].end());
  const std::size_t measuredA = measureA ? members(a) : 0;

  // The merged slot's distance row, its first halves towards the slots after it, and its sums
  // towards every slot.
  const int countA = static_cast<int>(members(a));
  const int countMerged = countA + static_cast<int>(members(b));
  frozen_.clear();
  if (measureA) {
    std::fill(m.firstHalf.begin(), m.firstHalf.end(), 0.0);
    std::fill(m.towards.begin(), m.towards.end(), 0.0);
    std::fill(m.distance.begin(), m.distance.end(), InfiniteDistance);
    std::fill(m.covered.begin(), m.covered.end(), countA);
  } else {
    std::swap(m, *kept_[ka]);
    // A first half not complete over a's members cannot take b's yet.
    for (int e = a + 1; e < live_; ++e) {
      if (m.covered[static_cast<std::size_t>(e)] != countA)
        frozen_.emplace_back(e, m.firstHalf[static_cast<std::size_t>(e)]);
    }
  }
  std::fill(otherSum_.begin(), otherSum_.end(), 0.0);
  std::fill(otherDistance_.begin(), otherDistance_.end(), InfiniteDistance);
  const auto liveCount = static_cast<std::size_t>(live_);
  forEachMember(queue_, [&](std::size_t i, const double* toSlot, const double* row) {
    double* sum = i < measuredA ? m.towards.data() : otherSum_.data();
    for (std::size_t t = 0; t < liveCount; ++t) {
      m.firstHalf[t] += toSlot[t];
      sum[t] += toSlot[t];
    }
    MemberDistances::takeNearer(row, geneCount_, i < measuredA ? m.distance.data() : otherDistance_.data());
  });
  const double* distanceB = otherDistance_.data();
  const double* towardsB = otherSum_.data();
  if (measureB) {
    for (int e = a + 1; e < live_; ++e) {
      if (m.covered[static_cast<std::size_t>(e)] == countA) m.covered[static_cast<std::size_t>(e)] = countMerged;
    }
    for (const auto& [e, half] : frozen_) m.firstHalf[static_cast<std::size_t>(e)] = half;
  } else {
    // Only the first halves towards kept slots continue over b's members; the others wait.
    distanceB = keptB->distance.data();
    towardsB = keptB->towards.data();
    for (int e = a + 1; e < live_; ++e) {
      const SlotTables* later = keptOf(e);
      if (!later || m.covered[static_cast<std::size_t>(e)] != countA) continue;
      double& half = m.firstHalf[static_cast<std::size_t>(e)];
      for (int p : positions_[kb]) half += later->distance[static_cast<std::size_t>(p)];
      m.covered[static_cast<std::size_t>(e)] = countMerged;
    }
  }
  for (std::size_t p = 0; p < geneCount_; ++p)
    m.distance[p] = distanceB[p] < m.distance[p] ? distanceB[p] : m.distance[p];
  for (int t = 0; t < live_; ++t) m.towards[static_cast<std::size_t>(t)] += towardsB[static_cast<std::size_t>(t)];

  // Every slot's sum over its members of their distances to the merged slot.
  std::vector<double>& towardsMerged = otherSum_;
  std::fill(towardsMerged.begin(), towardsMerged.end(), 0.0);
  for (std::size_t p = 0; p < geneCount_; ++p) towardsMerged[static_cast<std::size_t>(slotAt_[p])] += m.distance[p];

  SlotTables* keep = keepFor(a, b, static_cast<std::size_t>(countMerged));
  for (int s = 0; s < live_; ++s) {
    SlotTables* other = keptOf(s);
    if (!other || s == a) continue;
    other->towards[ka] = towardsMerged[static_cast<std::size_t>(s)];
    if (s < a) {
      double half = 0.0;
      for (int p : positions_[static_cast<std::size_t>(s)]) half += m.distance[static_cast<std::size_t>(p)];
      other->firstHalf[ka] = half;
      other->covered[ka] = static_cast<int>(members(s));
    }
  }
  for (int c = 0; c < a; ++c) {
    const auto k = static_cast<std::size_t>(c);
    offerChangedPair(c, a, b, boundKey(c, a, towardsMerged[k] + m.towards[k], slots));
  }
  for (int c = a + 1; c < live_; ++c) {
    if (rowPartner_[static_cast<std::size_t>(c)] == b) rowSettled_[static_cast<std::size_t>(c)] = 0;
  }
  if (keep) std::swap(*keep, m);

  // Slot a takes b's members; the last slot moves into b's place.
  cache_.merged(a, b, last);
  std::vector<int>& absorbed = positions_[kb];
  for (int p : absorbed) slotAt_[static_cast<std::size_t>(p)] = a;
  positions_[ka].insert(positions_[ka].end(), absorbed.begin(), absorbed.end());
  absorbed.clear();
  if (moved) moveLastInto(b, last, keep != nullptr);
  live_ = last;
  noteSlot(a, slots[ka]);
  if (moved) noteSlot(b, slots[kb]);

  if (keep) {
    settle(a, slots);
  } else {
    settleRow(a, m.firstHalf.data(), nullptr, m.distance.data(), nullptr, slots);
  }
}

// The last slot takes b's index, with its tables and its place in everyone's tables. Its pairs
// with the slots before b keep their scores but come earlier among equals: a settled row is
// unsettled when the moved pair may score as much as its best and comes first now. Its pairs
// with the slots after b leave their rows for the moved slot's, which is left unsettled: each
// of them scored at least its old row's key with its terms folded in the other order.
void FastMerging::Tables::moveLastInto(int b, int last, bool keptMerged) {
  const auto kb = static_cast<std::size_t>(b);
  const auto kl = static_cast<std::size_t>(last);
  positions_[kb] = std::move(positions_[kl]);
  for (int p : positions_[kb]) slotAt_[static_cast<std::size_t>(p)] = b;
  kept_[kb] = std::move(kept_[kl]);
  for (int s = 0; s < last; ++s) {
    SlotTables* other = keptOf(s);
    if (!other) continue;
    other->towards[kb] = other->towards[kl];
    if (s < b) {
      other->firstHalf[kb] = other->firstHalf[kl];
      other->covered[kb] = other->covered[kl];
    }
  }
  if (!keptMerged) merging_.firstHalf[kb] = merging_.firstHalf[kl];
  if (SlotTables* movedTables = keptOf(b)) {
    std::fill(movedTables->firstHalf.begin(), movedTables->firstHalf.end(), 0.0);
    std::fill(movedTables->covered.begin(), movedTables->covered.end(), 0);
  }
  double movedBound = NoCandidate;
  for (int c = 0; c < last; ++c) {
    const auto k = static_cast<std::size_t>(c);
    if (c > b) movedBound = std::min(movedBound, reorderedScoreBound(rowBest_[k], geneCount_));
    if (!rowSettled_[k]) continue;
    if (rowPartner_[k] == last) {
      if (c < b) {
        rowPartner_[k] = b;
      } else {
        rowSettled_[k] = 0;
      }
    } else if (c < b && rowPartner_[k] > b && rowSecond_[k] <= rowBest_[k]) {
      rowSettled_[k] = 0;
    }
  }
  rowBest_[kb] = movedBound;
  rowSettled_[kb] = 0;
}

}  // namespace varnek
