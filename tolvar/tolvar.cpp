#include "tolvar.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "common/failure.h"

namespace tolvar {

using clustering::euclideanDistance;
using clustering::EngineError;

void requireDrawableClusterCount(int geneCount, int clusterCount) {
  if (clusterCount < 0) {
    throw EngineError("the number of clusters must be 0 or more, not " + std::to_string(clusterCount));
  }
  if (geneCount == 0) {
    throw EngineError("the dimensions run file gives 0 genes; there is nothing to cluster");
  }
  if (clusterCount == 0) return;
  // A subset holds at least four genes per cluster, and its size is drawn below the gene count
  // and no higher than the largest draw: beyond that no draw would ever end the subset draw.
  const std::int64_t needed = 4 * static_cast<std::int64_t>(clusterCount);
  if (needed < geneCount && needed <= clustering::RandomMax) return;
  const int largest = std::min((geneCount - 1) / 4, clustering::RandomMax / 4);
  std::string message = "cannot form " + std::to_string(clusterCount) + (clusterCount == 1 ? " cluster" : " clusters");
  message += " from " + std::to_string(geneCount) + " genes: the number of clusters must be ";
  message += largest == 0 ? std::string("0") : "from 0 to " + std::to_string(largest);
  message += " (the genes must number more than four times the clusters, and at most " +
             std::to_string(clustering::RandomMax / 4) + " clusters can be drawn)";
  throw EngineError(message);
}

Restart drawSubset(std::vector<GeneRow>& rows, int clusterCount, RandomSequence& random) {
  const int geneCount = static_cast<int>(rows.size());
  Restart restart;
  restart.subsetSize = random.next() % geneCount;
  while (restart.subsetSize < 4 * clusterCount) restart.subsetSize = random.next() % geneCount;
  restart.medoids.assign(static_cast<std::size_t>(clusterCount), 0);
  restart.nonMedoid.assign(static_cast<std::size_t>(restart.subsetSize), 0);
  for (int s = 0; s < restart.subsetSize; ++s) {
    if (s < clusterCount) {
      restart.medoids[s] = s;
      restart.nonMedoid[s] = 0;
    } else {
      restart.nonMedoid[s] = 1;
    }
    const int a = random.next() % restart.subsetSize;
    const int b = random.next() % geneCount;
    if (a != b) std::swap(rows[a], rows[b]);
  }
  return restart;
}

double initialCost(const std::vector<GeneRow>& rows, int sampleCount, const Restart& restart) {
  double totalCost = 0.0;
  for (int q = 0; q < restart.subsetSize; ++q) {
    if (!restart.nonMedoid[q]) continue;
    double nearest = NoNearbyMedoid;
    for (int medoid : restart.medoids) {
      const double d = euclideanDistance(rows[q], rows[medoid], sampleCount);
      if (d < nearest) nearest = d;
    }
    totalCost += nearest;
  }
  return totalCost;
}

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

KeptMedoids initialKeptMedoids(const std::vector<GeneRow>& rows, int clusterCount) {
  KeptMedoids kept;
  if (clusterCount > 0) kept.genes.assign(static_cast<std::size_t>(clusterCount), rows.front());
  return kept;
}

void keepIfCheaper(const std::vector<GeneRow>& rows, const Restart& restart, KeptMedoids& kept) {
  if (!(restart.totalCost < kept.cost)) return;
  kept.cost = restart.totalCost;
  for (std::size_t s = 0; s < restart.medoids.size(); ++s) kept.genes[s] = rows[restart.medoids[s]];
}

std::vector<int> assignRows(const std::vector<GeneRow>& rows, int sampleCount, const std::vector<GeneRow>& medoidGenes,
                            double startCost) {
  std::vector<int> membership(rows.size(), 0);
  for (std::size_t q = 0; q < rows.size(); ++q) {
    double nearest = startCost;
    for (std::size_t p = 0; p < medoidGenes.size(); ++p) {
      const double d = euclideanDistance(rows[q], medoidGenes[p], sampleCount);
      if (d < nearest) {
        nearest = d;
        membership[q] = static_cast<int>(p);
      }
    }
  }
  return membership;
}

std::vector<int> searchMedoids(std::vector<GeneRow>& rows, int sampleCount, int clusterCount, RandomSequence& random) {
  requireDrawableClusterCount(static_cast<int>(rows.size()), clusterCount);
  KeptMedoids kept = initialKeptMedoids(rows, clusterCount);
  double lastRestartCost = 0.0;
  for (int r = 0; r < RestartCount; ++r) {
    Restart restart = drawSubset(rows, clusterCount, random);
    restart.totalCost = initialCost(rows, sampleCount, restart);
    swapSearch(rows, sampleCount, restart);
    keepIfCheaper(rows, restart, kept);
    lastRestartCost = restart.totalCost;
  }
  return assignRows(rows, sampleCount, kept.genes, lastRestartCost);
}

}  // namespace tolvar
