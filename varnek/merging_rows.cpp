#include <algorithm>
#include <cmath>

#include "varnek/merge_bound.h"
#include "varnek/merging_tables.h"

namespace varnek {

using namespace merging;

// quick_[e] for the pairs (c, e > c) from their connection sums in sums_.
void FastMerging::Tables::workOutQuickBounds(int c, const std::vector<ClusterSlot>& slots) {
  const auto from = static_cast<std::size_t>(c) + 1;
  const ClusterSlot& row = slots[static_cast<std::size_t>(c)];
  quickScoreBounds(row.count(), row.weight, sums_.data() + from, slotCount_.data() + from, slotWeight_.data() + from,
                   static_cast<std::size_t>(live_) - from, quick_.data() + from);
}

double FastMerging::Tables::pairKey(int c, int e, double connectionSum, const std::vector<ClusterSlot>& slots) const {
  const ClusterSlot& first = slots[static_cast<std::size_t>(c)];
  const ClusterSlot& second = slots[static_cast<std::size_t>(e)];
  return candidateKey(mergeScore(connectionSum, first.count(), first.weight, second.count(), second.weight));
}

double FastMerging::Tables::boundKey(int c, int e, double termSum, const std::vector<ClusterSlot>& slots) const {
  const ClusterSlot& first = slots[static_cast<std::size_t>(c)];
  const ClusterSlot& second = slots[static_cast<std::size_t>(e)];
  return candidateKey(mergeScoreBound(termSum, first.count(), first.weight, second.count(), second.weight));
}

// The members of the slots that look likeliest to be merged next: those of the rows with the
// smallest keys and of their best partners when they were last settled.
const std::vector<int>& FastMerging::Tables::hopedMembers() {
  hoped_.clear();
  int rows[2] = {-1, -1};
  for (int c = 0; c < live_; ++c) {
    const double key = rowBest_[static_cast<std::size_t>(c)];
    if (rows[0] < 0 || key < rowBest_[static_cast<std::size_t>(rows[0])]) {
      rows[1] = rows[0];
      rows[0] = c;
    } else if (rows[1] < 0 || key < rowBest_[static_cast<std::size_t>(rows[1])]) {
      rows[1] = c;
    }
  }
  auto hope = [this](int slot) {
    if (slot < 0 || slot >= live_ || keptOf(slot)) return;
    for (int p : positions_[static_cast<std::size_t>(slot)]) {
      if (!cache_.holds(p) && hoped_.size() < static_cast<std::size_t>(2 * QueriesAtOnce)) hoped_.push_back(p);
    }
  };
  for (int row : rows) {
    if (row < 0) continue;
    hope(row);
    for (int partner : rowLikely_[static_cast<std::size_t>(row)]) hope(partner);
  }
  return hoped_;
}

// Row c's best partners by their keys (at most the scores), for the members hoped for.
void FastMerging::Tables::noteLikely(int c, const std::vector<double>& keys) {
  std::array<int, 4>& likely = rowLikely_[static_cast<std::size_t>(c)];
  likely.fill(-1);
  double likelyKey[4] = {NoCandidate, NoCandidate, NoCandidate, NoCandidate};
  for (int e = c + 1; e < live_; ++e) {
    const double key = keys[static_cast<std::size_t>(e)];
    if (!(key < InfiniteDistance)) continue;
    int place = 4;
    while (place > 0 && (likely[place - 1] < 0 || key < likelyKey[place - 1])) --place;
    if (place == 4) continue;
    for (int k = 3; k > place; --k) {
      likely[k] = likely[k - 1];
      likelyKey[k] = likelyKey[k - 1];
    }
    likely[place] = e;
    likelyKey[place] = key;
  }
}

// Continues the first half of the pair (c, e) over c's members not yet folded: their distances
// to e, in c's member order.
void FastMerging::Tables::completeFirstHalf(int c, int e, double& half, int& covered) {
  const std::vector<int>& own = positions_[static_cast<std::size_t>(c)];
  const auto from = own.begin() + covered;
  covered = static_cast<int>(own.size());
  if (const SlotTables* later = keptOf(e)) {
    for (auto p = from; p != own.end(); ++p) half += later->distance[static_cast<std::size_t>(*p)];
    return;
  }
  const std::vector<int>& other = positions_[static_cast<std::size_t>(e)];
  if (static_cast<std::size_t>(own.end() - from) * other.size() > DirectDistances) {
    measureSlot(e, nullptr, otherDistance_.data());
    for (auto p = from; p != own.end(); ++p) half += otherDistance_[static_cast<std::size_t>(*p)];
    return;
  }
  // Few distances: measured one by one.
  const int sampleCount = genes_.sampleCount();
  for (auto p = from; p != own.end(); ++p) {
    double nearest = InfiniteDistance;
    for (int q : other) {
      const double d = clustering::euclideanDistance(genes_.values(*p), genes_.values(q), sampleCount);
      if (d < nearest) nearest = d;
    }
    half += nearest;
  }
}

void FastMerging::Tables::settle(int c, const std::vector<ClusterSlot>& slots) {
  if (SlotTables* kept = keptOf(c)) {
    const int complete = static_cast<int>(members(c));
    if (measured(c) && std::any_of(kept->covered.begin() + c + 1, kept->covered.begin() + live_,
                                   [complete](int covered) { return covered != complete; })) {
      // One measurement completes every first half at once.
      std::fill(kept->firstHalf.begin(), kept->firstHalf.end(), 0.0);
      measureSlot(c, kept->firstHalf.data(), nullptr);
      std::fill(kept->covered.begin(), kept->covered.end(), complete);
    }
    settleRow(c, kept->firstHalf.data(), kept->covered.data(), kept->distance.data(), kept->towards.data(), slots);
    return;
  }
  std::fill(measured_.firstHalf.begin(), measured_.firstHalf.end(), 0.0);
  measureSlot(c, measured_.firstHalf.data(), measured_.distance.data());
  settleRow(c, measured_.firstHalf.data(), nullptr, measured_.distance.data(), nullptr, slots);
}

// Settles row c from c's distance row and first halves (all complete when `covered` is null). A
// first half not yet complete is bounded by c's sum towards the partner and the partner's
// members' distances in c's row; it is completed (and kept) only while its bound is the row's
// smallest key.
void FastMerging::Tables::settleRow(int c, double* firstHalf, int* covered, const double* distance,
                                    const double* towards, const std::vector<ClusterSlot>& slots) {
  const int complete = static_cast<int>(members(c));
  for (int e = c + 1; e < live_; ++e) {
    const auto k = static_cast<std::size_t>(e);
    const bool whole = !covered || covered[k] == complete;
    double sum = whole ? firstHalf[k] : 0.0;
    for (int p : positions_[k]) sum += distance[p];
    sums_[k] = whole ? sum : towards[k] + sum;  // the fold, or the terms summed otherwise
    exact_[k] = whole ? Scored::Later : Scored::FirstHalfMissing;
  }
  workOutQuickBounds(c, slots);
  double second = NoCandidate;  // so far: above it, a score need not be worked out yet
  for (int e = c + 1; e < live_; ++e) {
    const auto k = static_cast<std::size_t>(e);
    if (exact_[k] == Scored::FirstHalfMissing) {
      keys_[k] = boundKey(c, e, sums_[k], slots);
    } else if (quick_[k] > second) {
      keys_[k] = candidateKey(quick_[k]);
    } else {
      keys_[k] = pairKey(c, e, sums_[k], slots);
      exact_[k] = Scored::Exactly;
    }
    second = std::min(second, keys_[k]);
  }
  noteLikely(c, keys_);
  for (;;) {
    BestTwo found;
    for (int e = c + 1; e < live_; ++e) found.offer(keys_[static_cast<std::size_t>(e)], e);
    const int partner = found.partner;
    if (partner < 0 || exact_[static_cast<std::size_t>(partner)] == Scored::Exactly) {
      rowBest_[static_cast<std::size_t>(c)] = found.best;
      rowSecond_[static_cast<std::size_t>(c)] = found.second;
      rowPartner_[static_cast<std::size_t>(c)] = partner;
      rowSettled_[static_cast<std::size_t>(c)] = 1;
      return;
    }
    const auto k = static_cast<std::size_t>(partner);
    if (exact_[k] == Scored::FirstHalfMissing) {
      completeFirstHalf(c, partner, firstHalf[k], covered[k]);
      sums_[k] = firstHalf[k];
      for (int p : positions_[k]) sums_[k] += distance[p];
    }
    keys_[k] = pairKey(c, partner, sums_[k], slots);
    exact_[k] = Scored::Exactly;
  }
}

std::optional<MergePass> FastMerging::Tables::bestPair(const std::vector<ClusterSlot>& slots) {
  for (;;) {
    double best = NoCandidate;
    int row = -1;
    for (int c = 0; c < live_; ++c) {
      if (rowBest_[static_cast<std::size_t>(c)] < best) {
        best = rowBest_[static_cast<std::size_t>(c)];
        row = c;
      }
    }
    if (row < 0) return std::nullopt;
    if (rowSettled_[static_cast<std::size_t>(row)])
      return MergePass{row, rowPartner_[static_cast<std::size_t>(row)], best};
    settle(row, slots);
  }
}

// Row c (c < a) has lost its pairs with a and b and gained the pair with the merged slot a,
// whose score is at least `bound`.
void FastMerging::Tables::offerChangedPair(int c, int a, int b, double bound) {
  const auto k = static_cast<std::size_t>(c);
  const int partner = rowPartner_[k];
  if (!rowSettled_[k] || partner == a || partner == b) {
    rowSettled_[k] = 0;
    rowBest_[k] = std::min(rowBest_[k], bound);
  } else if (bound < rowBest_[k] || (bound == rowBest_[k] && a < partner)) {
    rowSettled_[k] = 0;
    rowBest_[k] = bound;
  } else {
    rowSecond_[k] = std::min(rowSecond_[k], bound);
  }
}

}  // namespace varnek
