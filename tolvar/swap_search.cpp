// The best-improvement swap search with every distance of a sweep measured once. It tries the
// same trials in the same order as measuring every distance anew for every trial, and sums the
// same terms in the same order, so the medoids and costs are the same bits.
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

}  // namespace

// Rows keep their positions during the search, so each sweep measures every subset position
// against the current medoids once, and each candidate against the positions once for all
// slots, as far as its trials get. A trial's term for a position is the smallest of the current
// cost, the nearest medoid outside the trial slot and the candidate: the value that comparing
// the medoids one by one, strictly, ends with; so every trial cost is the same sum in the same
// order. A trial is abandoned once its running sum reaches the best cost of the sweep: no term
// is negative, so it could no longer come out below.
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

    SwapMove bestMove{-1, -1, restart.totalCost};
    for (int candidate = 0; candidate < subsetSize; ++candidate) {
      if (!restart.nonMedoid[candidate]) continue;
      int measured = 0;  // toCandidate holds the distances of the positions below this
      for (int s = 0; s < clusterCount; ++s) {
        const int replaced = restart.medoids[s];
        double cost = 0.0;
        bool complete = true;
        for (int q = 0; q < subsetSize; ++q) {
          if (q == candidate || (isMedoid[q] && q != replaced)) continue;
          for (; measured <= q; ++measured) {
            toCandidate[measured] = euclideanDistance(rows[measured], rows[candidate], sampleCount);
          }
          double nearest = restart.totalCost;
          const double otherMedoid = nearestSlot[q] == s ? secondMedoid[q] : nearestMedoid[q];
          if (otherMedoid < nearest) nearest = otherMedoid;
          if (toCandidate[q] < nearest) nearest = toCandidate[q];
          cost += nearest;
          if (!(cost < bestMove.cost)) {
            complete = false;
            break;
          }
        }
        if (complete && cost < bestMove.cost) bestMove = SwapMove{candidate, s, cost};
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
