#include "common/nearest_partners.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/gene_row.h"

namespace clustering {

namespace {

// Points measured in one call: the packed measure's group of four blocks, so that a bound
// tightened after one chunk spares the next.
constexpr int Chunk = 4 * PackedVectors::Lanes;
// Compaction waits until at least this many retired points sit in the table, and they are more
// than the live ones.
constexpr int FewestRetiredToCompact = Chunk;
constexpr double NotLive = std::numeric_limits<double>::infinity();

int chunkEnd(int first, int last) { return std::min(last, (first / Chunk + 1) * Chunk); }

}  // namespace

NearestPartners::NearestPartners(const std::vector<const double*>& positions, const std::vector<bool>& live,
                                 int sampleCount, int reserveSize)
    : sampleCount_(sampleCount),
      reserveSize_(std::max(0, reserveSize)),
      live_(positions.size(), 0),
      movedAt_(positions.size(), 0),
      entries_(positions.size()),
      reserve_(positions.size() * static_cast<std::size_t>(reserveSize_)),
      nearest_(static_cast<std::size_t>(reserveSize_ + 2)),
      slotOf_(positions.size(), -1),
      query_(static_cast<std::size_t>(sampleCount > 0 ? sampleCount : 0)) {
  const int pointCount = static_cast<int>(positions.size());
  for (int p = 0; p < pointCount; ++p) {
    if (!live[static_cast<std::size_t>(p)]) continue;
    live_[static_cast<std::size_t>(p)] = 1;
    slotOf_[static_cast<std::size_t>(p)] = tableSize_++;
    pointAt_.push_back(p);
  }
  table_ = PackedVectors(tableSize_, sampleCount);
  for (int slot = 0; slot < tableSize_; ++slot) table_.assign(slot, positions[static_cast<std::size_t>(pointAt_[slot])]);

  while (leaves_ < pointCount) leaves_ *= 2;
  treeKey_.assign(static_cast<std::size_t>(leaves_), NotLive);
  tree_.assign(static_cast<std::size_t>(2 * leaves_), 0);
  for (int p = 0; p < leaves_; ++p) tree_[static_cast<std::size_t>(leaves_ + p)] = p;
  for (int p : pointAt_) search(p, false);
  for (int node = leaves_ - 1; node >= 1; --node) playOff(node);
}

std::optional<PointPair> NearestPartners::closestPair() {
  for (;;) {
    const int point = smallestEntry();
    if (!(treeKey_[static_cast<std::size_t>(point)] < InfiniteDistance)) return std::nullopt;
    const Entry& entry = entries_[static_cast<std::size_t>(point)];
    if (entry.exact) return PointPair{point, entry.partner, entry.distance};
    // A partner lost before: keep a reserve, as it may well be lost again.
    search(point, true);
  }
}

void NearestPartners::merged(int kept, int retired, const double* position) {
  ++mergeCount_;
  movedAt_[static_cast<std::size_t>(kept)] = mergeCount_;
  live_[static_cast<std::size_t>(retired)] = 0;
  treeKey_[static_cast<std::size_t>(retired)] = NotLive;
  updateTree(retired);
  ++retiredInTable_;
  const int keptSlot = slotOf_[static_cast<std::size_t>(kept)];
  table_.assign(keptSlot, position);
  const bool keptFinite = table_.finite(keptSlot);

  // Points below kept: of their candidates only kept moved, and retired left.
  double sums[Chunk];
  for (int first = 0; first < keptSlot; first = chunkEnd(first, keptSlot)) {
    const int last = chunkEnd(first, keptSlot);
    // A distance matters to a point only when it lies below its horizon.
    double bound = -1.0;
    for (int slot = first; slot < last; ++slot) {
      const int point = pointAt_[static_cast<std::size_t>(slot)];
      if (live_[static_cast<std::size_t>(point)]) {
        bound = std::max(bound, entries_[static_cast<std::size_t>(point)].squaredHorizon);
      }
    }
    if (bound < 0.0) continue;  // no live point in this chunk
    squaredDistancesBounded(position, keptFinite, table_, first, last, bound, sums);
    for (int slot = first; slot < last; ++slot) {
      const int point = pointAt_[static_cast<std::size_t>(slot)];
      if (!live_[static_cast<std::size_t>(point)]) continue;
      Entry& entry = entries_[static_cast<std::size_t>(point)];
      const double squared = sums[slot - first];
      Candidate offered;  // kept, when it lies at most the horizon away
      if (squared <= entry.squaredHorizon) offered = Candidate{kept, mergeCount_, std::sqrt(squared)};
      if (!entry.exact) {
        // Below the bound, kept is nearer than every other candidate; at the bound it may tie one.
        if (offered.point == kept && offered.distance < entry.distance) {
          entry.partner = kept;
          entry.exact = true;
          setDistance(point, offered.distance);
        }
      } else if (entry.partner == kept || entry.partner == retired) {
        replacePartner(point, offered);
      } else if (offered.point == kept) {
        const double d = offered.distance;
        // The partner was the first at its distance, so kept, below it, would be first now.
        if (d < entry.distance || (d == entry.distance && kept < entry.partner)) {
          if (entry.partner != NoPartner) reserve(point, Candidate{entry.partner, mergeCount_, entry.distance});
          entry.partner = kept;
          setDistance(point, d);
        } else {
          reserve(point, offered);
        }
      }
    }
  }
  // Points between kept and retired lost retired as a candidate.
  const int retiredSlot = slotOf_[static_cast<std::size_t>(retired)];
  for (int slot = keptSlot + 1; slot < retiredSlot; ++slot) {
    const int point = pointAt_[static_cast<std::size_t>(slot)];
    const Entry& entry = entries_[static_cast<std::size_t>(point)];
    if (live_[static_cast<std::size_t>(point)] && entry.exact && entry.partner == retired) {
      replacePartner(point, Candidate{});
    }
  }
  search(kept, false);
  if (retiredInTable_ >= FewestRetiredToCompact && 2 * retiredInTable_ > tableSize_) compact();
}

bool NearestPartners::valid(const Candidate& candidate) const {
  const auto point = static_cast<std::size_t>(candidate.point);
  return live_[point] && movedAt_[point] <= candidate.measuredAt;
}

void NearestPartners::replacePartner(int point, const Candidate& offered) {
  Entry& entry = entries_[static_cast<std::size_t>(point)];
  Candidate* reserved = reserveOf(point);
  // Drop what is no longer valid, and find the nearest of the rest, the lowest point among equals.
  int kept = 0;
  int nearest = -1;
  for (int r = 0; r < entry.reserved; ++r) {
    if (!valid(reserved[r])) continue;
    reserved[kept] = reserved[r];
    const Candidate& c = reserved[kept];
    if (nearest < 0 || c.distance < reserved[nearest].distance ||
        (c.distance == reserved[nearest].distance && c.point < reserved[nearest].point)) {
      nearest = kept;
    }
    ++kept;
  }
  entry.reserved = kept;
  Candidate best = nearest >= 0 ? reserved[nearest] : Candidate{};
  const bool offeredFirst =
      offered.point != NoPartner &&
      (best.point == NoPartner || offered.distance < best.distance ||
       (offered.distance == best.distance && offered.point < best.point));
  if (offeredFirst) best = offered;
  if (best.point != NoPartner && best.distance < entry.horizon) {
    // Every other candidate lies farther: reserved ones are no nearer, the rest at the horizon.
    if (!offeredFirst) {
      reserved[nearest] = reserved[entry.reserved - 1];
      --entry.reserved;
      reserve(point, offered);
    }
    entry.partner = best.point;
    entry.exact = true;
    setDistance(point, best.distance);
  } else if (entry.horizon >= InfiniteDistance) {
    entry.partner = NoPartner;  // no candidate counts
    entry.exact = true;
    entry.reserved = 0;
    setDistance(point, InfiniteDistance);
  } else {
    // Every candidate lies at the horizon or beyond: that is all that is known.
    entry.partner = NoPartner;
    entry.exact = false;
    entry.reserved = 0;
    setDistance(point, entry.horizon);
  }
}

void NearestPartners::reserve(int point, const Candidate& candidate) {
  Entry& entry = entries_[static_cast<std::size_t>(point)];
  if (candidate.point == NoPartner || !(candidate.distance < entry.horizon)) return;
  Candidate* reserved = reserveOf(point);
  if (entry.reserved == reserveSize_) {
    int kept = 0;
    for (int r = 0; r < entry.reserved; ++r) {
      if (valid(reserved[r])) reserved[kept++] = reserved[r];
    }
    entry.reserved = kept;
  }
  if (entry.reserved < reserveSize_) {
    reserved[entry.reserved++] = candidate;
    return;
  }
  // Full: the farthest of the reserve and the candidate stays out, and the horizon comes down to it.
  if (reserveSize_ == 0) {
    setHorizon(entry, candidate.distance);
    return;
  }
  // Which of equally far ones stays out does not matter: none at the horizon is ever used.
  int farthest = 0;
  for (int r = 1; r < reserveSize_; ++r) {
    if (reserved[r].distance > reserved[farthest].distance) farthest = r;
  }
  if (!(candidate.distance < reserved[farthest].distance)) {
    setHorizon(entry, candidate.distance);
    return;
  }
  setHorizon(entry, reserved[farthest].distance);
  reserved[farthest] = candidate;
}

void NearestPartners::setDistance(int point, double distance) {
  entries_[static_cast<std::size_t>(point)].distance = distance;
  if (treeKey_[static_cast<std::size_t>(point)] != distance) {
    treeKey_[static_cast<std::size_t>(point)] = distance;
    updateTree(point);
  }
}

void NearestPartners::setHorizon(Entry& entry, double horizon) {
  entry.horizon = horizon;
  entry.squaredHorizon = squaredBound(horizon);
}

void NearestPartners::search(int point, bool withReserve) {
  const int slot = slotOf_[static_cast<std::size_t>(point)];
  for (int s = 0; s < sampleCount_; ++s) query_[static_cast<std::size_t>(s)] = table_.value(slot, s);
  const bool queryFinite = table_.finite(slot);
  // The nearest candidates in order of distance, then of point.
  const int wanted = withReserve ? reserveSize_ + 2 : 1;
  Candidate* nearest = nearest_.data();
  int count = 0;
  double bound = squaredBound(InfiniteDistance);
  double sums[Chunk];
  for (int first = slot + 1; first < tableSize_; first = chunkEnd(first, tableSize_)) {
    const int last = chunkEnd(first, tableSize_);
    squaredDistancesBounded(query_.data(), queryFinite, table_, first, last, bound, sums);
    for (int candidate = first; candidate < last; ++candidate) {
      const double squared = sums[candidate - first];
      if (!(squared <= bound)) continue;  // farther than the nearest kept so far, or NaN
      const int other = pointAt_[static_cast<std::size_t>(candidate)];
      if (!live_[static_cast<std::size_t>(other)]) continue;
      const double d = std::sqrt(squared);
      if (!(d < InfiniteDistance) || (count == wanted && !(d < nearest[wanted - 1].distance))) continue;
      // Candidates come in ascending order, so an equal distance met earlier stays before it.
      int at = count < wanted ? count++ : wanted - 1;
      for (; at > 0 && nearest[at - 1].distance > d; --at) nearest[at] = nearest[at - 1];
      nearest[at] = Candidate{other, mergeCount_, d};
      if (count == wanted) bound = squaredBound(nearest[wanted - 1].distance);
    }
  }
  Entry& entry = entries_[static_cast<std::size_t>(point)];
  entry.exact = true;
  entry.partner = count > 0 ? nearest[0].point : NoPartner;
  entry.reserved = std::max(0, std::min(count, wanted - 1) - 1);
  std::copy(nearest + 1, nearest + 1 + entry.reserved, reserveOf(point));
  setHorizon(entry, count == wanted ? nearest[wanted - 1].distance : InfiniteDistance);
  setDistance(point, count > 0 ? nearest[0].distance : InfiniteDistance);
}

void NearestPartners::compact() {
  std::vector<int> livePoints;
  for (int p : pointAt_) {
    if (live_[static_cast<std::size_t>(p)]) livePoints.push_back(p);
  }
  PackedVectors table(static_cast<int>(livePoints.size()), sampleCount_);
  for (int slot = 0; slot < static_cast<int>(livePoints.size()); ++slot) {
    const int oldSlot = slotOf_[static_cast<std::size_t>(livePoints[static_cast<std::size_t>(slot)])];
    for (int s = 0; s < sampleCount_; ++s) query_[static_cast<std::size_t>(s)] = table_.value(oldSlot, s);
    table.assign(slot, query_.data());
  }
  for (int p : pointAt_) slotOf_[static_cast<std::size_t>(p)] = -1;
  for (int slot = 0; slot < static_cast<int>(livePoints.size()); ++slot) {
    slotOf_[static_cast<std::size_t>(livePoints[static_cast<std::size_t>(slot)])] = slot;
  }
  table_ = std::move(table);
  pointAt_ = std::move(livePoints);
  tableSize_ = static_cast<int>(pointAt_.size());
  retiredInTable_ = 0;
}

bool NearestPartners::before(int a, int b) const {
  const double keyA = treeKey_[static_cast<std::size_t>(a)];
  const double keyB = treeKey_[static_cast<std::size_t>(b)];
  return keyA < keyB || (keyA == keyB && a < b);
}

void NearestPartners::playOff(int node) {
  const int left = tree_[static_cast<std::size_t>(2 * node)];
  const int right = tree_[static_cast<std::size_t>(2 * node + 1)];
  tree_[static_cast<std::size_t>(node)] = before(right, left) ? right : left;
}

void NearestPartners::updateTree(int point) {
  for (int node = (leaves_ + point) / 2; node >= 1; node /= 2) playOff(node);
}

}  // namespace clustering
