// The merging of chains, done without waste and to the same bits as the pass-by-pass method
// that recomputes every cross-slot distance in every pass (kept in the tests as the oracle).
//
// What is kept between passes, and why it stays exact:
// - nearestMember(s, x): the member of slot s nearest to gene x (none when no member lies
//   nearer than InfiniteDistance). A minimum is exact in any order, so a merged slot's entry is
//   the nearer of the two slots' entries. Members rather than distances are kept, so that the
//   table takes no more room than one integer per gene and slot; the distance is recomputed
//   from the rows, and it is the same in either order of the pair.
// - partial(c, e), for slots of `CachedRunningSums` members or more: the running connection sum
//   over c's members towards e, added in c's member order from 0.0. It is the first half of the
//   connection sum of the pair (c, e) when c has the lower index. A merge appends the absorbed
//   slot's members, so the kept slot's sums continue where they were; the second half is always
//   summed afresh, since it must continue from the first half's value in the second slot's
//   member order. Small slots sum their first half afresh as well.
// - rowBest(c): a score no pair (c, e > c) falls below, with the partner that has it. While the
//   row is not stale it is the row's best score exactly, the partner first met among equals.
//   The best pair of a pass is the first row with the smallest kept score, once that row is not
//   stale: every other row's true best is at least its kept score, so the full scan would find
//   the same pair. A merge makes a row stale only when its partner's pair left the row or grew
//   worse; such a row is searched again only when it comes to the top. The merged slot's and
//   the moved slot's rows are searched again at once.
// - Scores are only computed as far as they can matter: every term of a connection sum is a
//   distance, never negative, and the score never falls as the sum grows, so once the score of
//   a running sum cannot be accepted, the final one cannot either.
// Slot compaction moves the last slot into the place of the one merged away; this swaps which
// slot comes first in the pairs of the moved slot with slots after its new place, so exactly
// those pairs take their sums in the new order (the moved slot's row is searched again).
#include <cstddef>
#include <optional>

#include "varnek.h"

namespace varnek {

using clustering::euclideanDistance;
using clustering::InfiniteDistance;

namespace {

// Slots this large keep their running sums; smaller ones sum afresh in a few steps.
constexpr int CachedRunningSums = 8;

class ChainMerger {
 public:
  ChainMerger(const std::vector<GeneRow>& rows, int sampleCount, std::vector<ClusterSlot>& slots)
      : rows_(rows), sampleCount_(sampleCount), geneCount_(rows.size()), capacity_(slots.size()), slots_(slots),
        nearestMember_(capacity_ * geneCount_, -1), partial_(capacity_), rowBestScore_(capacity_, InfiniteDistance),
        rowBestPartner_(capacity_, -1), rowStale_(capacity_, 0) {
    std::vector<std::size_t> slotOf(geneCount_);
    for (std::size_t s = 0; s < capacity_; ++s) {
      for (int member : slots_[s].members) slotOf[static_cast<std::size_t>(member)] = s;
    }
    std::vector<double> nearestDistance(capacity_);
    for (std::size_t x = 0; x < geneCount_; ++x) {
      nearestDistance.assign(capacity_, InfiniteDistance);
      for (std::size_t y = 0; y < geneCount_; ++y) {
        if (y == x) continue;
        const double d = distance(x, static_cast<int>(y));
        const std::size_t s = slotOf[y];
        if (d < nearestDistance[s]) {
          nearestDistance[s] = d;
          nearestMember(s, x) = static_cast<int>(y);
        }
      }
    }
    for (std::size_t c = 0; c < capacity_; ++c) {
      if (slots_[c].count() >= CachedRunningSums) cacheRunningSums(c);
    }
    for (std::size_t c = 0; c < capacity_; ++c) searchRow(c);
  }

  void run(double mergeThreshold, const PassObserver& observer) {
    while (slots_.size() > 2) {
      const int a = bestRow();
      if (a < 0) return;
      const double bestScore = rowBestScore_[static_cast<std::size_t>(a)];
      const int b = rowBestPartner_[static_cast<std::size_t>(a)];
      if (observer) observer(MergePass{a, b, bestScore});
      if (bestScore > mergeThreshold) return;
      merge(static_cast<std::size_t>(a), static_cast<std::size_t>(b));
    }
  }

 private:
  int& nearestMember(std::size_t slot, std::size_t gene) { return nearestMember_[slot * geneCount_ + gene]; }

  double distance(std::size_t x, int y) const {
    if (y < 0) return InfiniteDistance;
    return euclideanDistance(rows_[x], rows_[static_cast<std::size_t>(y)], sampleCount_);
  }

  double nearestDistance(std::size_t slot, std::size_t gene) { return distance(gene, nearestMember(slot, gene)); }

  // Continues `sum` with the nearest distances of `slot`'s members towards slot `towards`.
  double runningSum(double sum, const std::vector<int>& members, std::size_t towards) {
    for (int member : members) sum += nearestDistance(towards, static_cast<std::size_t>(member));
    return sum;
  }

  void cacheRunningSums(std::size_t c) {
    partial_[c].assign(capacity_, 0.0);
    for (std::size_t e = 0; e < slots_.size(); ++e) {
      if (e != c) partial_[c][e] = runningSum(0.0, slots_[c].members, e);
    }
  }

  // The score of the pair (c, e), c < e, with the connection sum in the order of the full scan;
  // or nothing once it is certain that the score cannot be accepted. Every term of the sum is a
  // distance, never negative, so each running sum bounds the final one from below, and the score
  // never falls as the sum grows: once the score of a running sum is not `acceptable`, neither is
  // the final score. A score that is not a number is never accepted either way.
  template <typename Acceptable>
  std::optional<double> pairScore(std::size_t c, std::size_t e, const Acceptable& acceptable) {
    const ClusterSlot& first = slots_[c];
    const ClusterSlot& second = slots_[e];
    auto score = [&](double connectionSum) {
      return mergeScore(connectionSum, first.count(), first.weight, second.count(), second.weight);
    };
    double sum = 0.0;
    if (partial_[c].empty()) {
      for (int member : first.members) sum += nearestDistance(e, static_cast<std::size_t>(member));
    } else {
      sum = partial_[c][e];
    }
    int sinceCheck = 0;
    for (int member : second.members) {
      if (sinceCheck++ == 4) {
        sinceCheck = 0;
        if (refused(score(sum), acceptable)) return std::nullopt;
      }
      sum += nearestDistance(c, static_cast<std::size_t>(member));
    }
    const double final = score(sum);
    if (!acceptable(final)) return std::nullopt;
    return final;
  }

  template <typename Acceptable>
  static bool refused(double boundScore, const Acceptable& acceptable) {
    return boundScore == boundScore && !acceptable(boundScore);
  }

  void searchRow(std::size_t c) {
    double best = InfiniteDistance;
    int partner = -1;
    for (std::size_t e = c + 1; e < slots_.size(); ++e) {
      if (const auto score = pairScore(c, e, [best](double s) { return s < best; })) {
        best = *score;
        partner = static_cast<int>(e);
      }
    }
    rowBestScore_[c] = best;
    rowBestPartner_[c] = partner;
    rowStale_[c] = false;
  }

  // The first row with the smallest kept best. A row whose kept best may be too low is searched
  // again before it is trusted; every other row's true best is at least its kept one.
  int bestRow() {
    for (;;) {
      double best = InfiniteDistance;
      int row = -1;
      for (std::size_t c = 0; c < slots_.size(); ++c) {
        if (rowBestScore_[c] < best) {
          best = rowBestScore_[c];
          row = static_cast<int>(c);
        }
      }
      if (row < 0 || !rowStale_[static_cast<std::size_t>(row)]) return row;
      searchRow(static_cast<std::size_t>(row));
    }
  }

  // Row c's pair with slot a changed its score.
  void weighChangedPair(std::size_t c, std::size_t a) {
    const double best = rowBestScore_[c];
    const auto score = pairScore(c, a, [best](double s) { return s <= best; });
    const bool wasPartner = rowBestPartner_[c] == static_cast<int>(a);
    if (!score) {
      if (wasPartner) rowStale_[c] = true;  // the kept best now only bounds the row from below
      return;
    }
    if (*score < best) {
      rowBestScore_[c] = *score;
      rowBestPartner_[c] = static_cast<int>(a);
      rowStale_[c] = false;
    } else if (!rowStale_[c] && static_cast<int>(a) < rowBestPartner_[c]) {
      rowBestPartner_[c] = static_cast<int>(a);  // equal to the best and met first
    }
  }

  // Row c's pair with the moved slot, now at index b, kept its score but comes earlier.
  void weighMovedPair(std::size_t c, std::size_t b) {
    if (rowStale_[c] || rowBestPartner_[c] < static_cast<int>(b)) return;
    const double best = rowBestScore_[c];
    if (pairScore(c, b, [best](double s) { return s <= best; })) rowBestPartner_[c] = static_cast<int>(b);
  }

  void merge(std::size_t a, std::size_t b) {
    const std::size_t live = slots_.size();
    const std::size_t last = live - 1;

    for (std::size_t x = 0; x < geneCount_; ++x) {
      const int towardsB = nearestMember(b, x);
      if (towardsB >= 0 && distance(x, towardsB) < nearestDistance(a, x)) nearestMember(a, x) = towardsB;
    }
    if (!partial_[a].empty()) {
      for (std::size_t e = 0; e < live; ++e) {
        if (e != a && e != b) partial_[a][e] = runningSum(partial_[a][e], slots_[b].members, e);
      }
    }
    ClusterSlot& kept = slots_[a];
    kept.members.insert(kept.members.end(), slots_[b].members.begin(), slots_[b].members.end());
    kept.weight += slots_[b].weight;
    if (partial_[a].empty() && kept.count() >= CachedRunningSums) cacheRunningSums(a);
    for (std::size_t e = 0; e < live; ++e) {
      if (e != a && e != b && !partial_[e].empty()) partial_[e][a] = runningSum(0.0, slots_[e].members, a);
    }

    const bool moved = b != last;
    if (moved) {
      slots_[b] = std::move(slots_[last]);
      for (std::size_t x = 0; x < geneCount_; ++x) nearestMember(b, x) = nearestMember(last, x);
      partial_[b] = std::move(partial_[last]);
      for (std::size_t e = 0; e < live; ++e) {
        if (!partial_[e].empty()) partial_[e][b] = partial_[e][last];
      }
    }
    partial_[last].clear();
    slots_.pop_back();

    const int oldB = static_cast<int>(b);
    const int oldLast = static_cast<int>(last);
    for (std::size_t r = 0; r < slots_.size(); ++r) {
      if (r == a || (moved && r == b)) {
        searchRow(r);
        continue;
      }
      int& partner = rowBestPartner_[r];
      if (partner == oldB) {
        rowStale_[r] = true;
      } else if (partner == oldLast) {
        if (moved && r < b) {
          partner = oldB;
        } else {
          rowStale_[r] = true;
        }
      }
      if (r < a) weighChangedPair(r, a);
      if (moved && r < b) weighMovedPair(r, b);
    }
  }

  const std::vector<GeneRow>& rows_;
  int sampleCount_;
  std::size_t geneCount_;
  std::size_t capacity_;
  std::vector<ClusterSlot>& slots_;
  std::vector<int> nearestMember_;
  std::vector<std::vector<double>> partial_;
  std::vector<double> rowBestScore_;
  std::vector<int> rowBestPartner_;
  std::vector<char> rowStale_;
};

}  // namespace

void mergeClusters(const std::vector<GeneRow>& rows, int sampleCount, std::vector<ClusterSlot>& slots,
                   double mergeThreshold, const PassObserver& observer) {
  if (slots.size() <= 2) return;
  ChainMerger merger(rows, sampleCount, slots);
  merger.run(mergeThreshold, observer);
}

}  // namespace varnek
