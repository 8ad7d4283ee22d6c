// The best-improvement swap search with every distance of a sweep measured once. It tries the
// same trials in the same order as measuring every distance anew for every trial, and sums the
// same terms in the same order, so the medoids and costs are the same bits.
#include <cmath>
#include <limits>

#include "tolvar.h"

namespace tolvar {

using clustering::euclideanDistance;

namespace {

struct SwapMove {
  int row = -1;
  int slot = -1;
  double cost = 0.0;
};

// Distances from the candidate to the positions from `first` on, a block at a time: four
// distances are summed side by side, each in its own sample order, so every one is the same bits
// as alone while the processor overlaps their additions. Returns the first position not measured.
int measureAhead(const std::vector<GeneRow>& rows, int sampleCount, int candidate, int first, int subsetSize,
                 std::vector<double>& toCandidate) {
  constexpr int Block = 16;
  const int end = first + Block < subsetSize ? first + Block : subsetSize;
  const double* c = rows[static_cast<std::size_t>(candidate)].values.data();
  int q = first;
  for (; q + 4 <= end; q += 4) {
    const double* a = rows[static_cast<std::size_t>(q)].values.data();
    const double* b = rows[static_cast<std::size_t>(q) + 1].values.data();
    const double* d = rows[static_cast<std::size_t>(q) + 2].values.data();
    const double* e = rows[static_cast<std::size_t>(q) + 3].values.data();
    double sa = 0.0, sb = 0.0, sd = 0.0, se = 0.0;
    for (int s = 0; s < sampleCount; ++s) {
      const double da = a[s] - c[s];
      const double db = b[s] - c[s];
      const double dd = d[s] - c[s];
      const double de = e[s] - c[s];
      sa = sa + da * da;
      sb = sb + db * db;
      sd = sd + dd * dd;
      se = se + de * de;
    }
    toCandidate[static_cast<std::size_t>(q)] = std::sqrt(sa);
    toCandidate[static_cast<std::size_t>(q) + 1] = std::sqrt(sb);
    toCandidate[static_cast<std::size_t>(q) + 2] = std::sqrt(sd);
    toCandidate[static_cast<std::size_t>(q) + 3] = std::sqrt(se);
  }
  for (; q < end; ++q) {
    toCandidate[static_cast<std::size_t>(q)] = euclideanDistance(rows[static_cast<std::size_t>(q)], rows[static_cast<std::size_t>(candidate)], sampleCount);
  }
  return end;
}

}  // namespace

// Rows keep their positions during the search, so each sweep measures every subset position
// against the current medoids once, and each candidate against the positions once for all
// slots, as far as its trials get. A trial's term for a position is the smallest of the current
// cost, the nearest medoid outside the trial slot and the candidate: the value that comparing
// the medoids one by one, strictly, ends with; so every trial cost is the same sum in the same
// order. A candidate's trials are summed side by side, one running sum per slot, and the
// candidate is left once every sum has reached the best cost known when it began: no term is
// negative, so none of them could still come out below.
void swapSearch(const std::vector<GeneRow>& rows, int sampleCount, Restart& restart) {
  const int subsetSize = restart.subsetSize;
  const int clusterCount = static_cast<int>(restart.medoids.size());
  if (clusterCount == 0) return;  // no slot to try a candidate in
  constexpr double none = std::numeric_limits<double>::infinity();
  std::vector<double> nearestMedoid(static_cast<std::size_t>(subsetSize));
  std::vector<int> nearestSlot(static_cast<std::size_t>(subsetSize));
  std::vector<double> secondMedoid(static_cast<std::size_t>(subsetSize));
  std::vector<double> toCandidate(static_cast<std::size_t>(subsetSize));
  std::vector<char> isMedoid(static_cast<std::size_t>(subsetSize));
  std::vector<int> slotOf(static_cast<std::size_t>(subsetSize), -1);
  std::vector<double> trialCost;
  for (;;) {
    for (int q = 0; q < subsetSize; ++q) {
      double nearest = none;
      double second = none;
      int slot = -1;
      for (int p = 0; p < clusterCount; ++p) {
        const double d = euclideanDistance(rows[q], rows[restart.medoids[p]], sampleCount);
        if (d < nearest) {
          second = nearest;
          nearest = d;
          slot = p;
        } else if (d < second) {
          second = d;
        }
      }
      nearestMedoid[q] = nearest;
      secondMedoid[q] = second;
      nearestSlot[q] = slot;
      isMedoid[q] = !restart.nonMedoid[q];
    }
    for (int p = 0; p < clusterCount; ++p) slotOf[static_cast<std::size_t>(restart.medoids[p])] = p;

    SwapMove bestMove{-1, -1, restart.totalCost};
    for (int candidate = 0; candidate < subsetSize; ++candidate) {
      if (!restart.nonMedoid[candidate]) continue;
      // The trials of all slots run side by side, each summing its own terms in position order.
      // A trial whose running sum reaches the best cost known when the candidate began cannot
      // come out below the best cost of its turn either; once all have, the candidate is done.
      const double bound = bestMove.cost;
      trialCost.assign(static_cast<std::size_t>(clusterCount), 0.0);
      int measured = 0;  // toCandidate holds the distances of the positions below this
      for (int q = 0; q < subsetSize; ++q) {
        if (q == candidate) continue;
        if (measured <= q) measured = measureAhead(rows, sampleCount, candidate, measured, subsetSize, toCandidate);
        double withCandidate = restart.totalCost;
        if (toCandidate[q] < withCandidate) withCandidate = toCandidate[q];
        const double nearest = nearestMedoid[q] < withCandidate ? nearestMedoid[q] : withCandidate;
        const double second = secondMedoid[q] < withCandidate ? secondMedoid[q] : withCandidate;
        const int nearestTo = nearestSlot[q];
        if (isMedoid[q]) {
          // A medoid position counts only in the trial that replaces it.
          const int slot = slotOf[q];
          trialCost[slot] += slot == nearestTo ? second : nearest;
        } else {
          for (int s = 0; s < clusterCount; ++s) trialCost[s] += s == nearestTo ? second : nearest;
        }
        if ((q & 31) == 31) {
          bool anyOpen = false;
          for (int s = 0; s < clusterCount; ++s) anyOpen = anyOpen || trialCost[s] < bound;
          if (!anyOpen) break;
        }
      }
      for (int s = 0; s < clusterCount; ++s) {
        if (trialCost[s] < bound && trialCost[s] < bestMove.cost) bestMove = SwapMove{candidate, s, trialCost[s]};
      }
    }

    if (!(bestMove.cost < restart.totalCost)) return;
    restart.totalCost = bestMove.cost;
    restart.nonMedoid[restart.medoids[bestMove.slot]] = 1;
    restart.medoids[bestMove.slot] = bestMove.row;
    restart.nonMedoid[bestMove.row] = 0;
  }
}

}  // namespace tolvar
