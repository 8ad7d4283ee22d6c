#include "tolvar/tolvar.h"

#include <algorithm>
#include <cstdint>
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

double subsetCost(const std::vector<GeneRow>& rows, int sampleCount, const Restart& restart, double startCost) {
  double cost = 0.0;
  for (int q = 0; q < restart.subsetSize; ++q) {
    if (!restart.nonMedoid[q]) continue;
    double nearest = startCost;
    for (int medoid : restart.medoids) {
      const double d = euclideanDistance(rows[q], rows[medoid], sampleCount);
      if (d < nearest) nearest = d;
    }
    cost += nearest;
  }
  return cost;
}

double initialCost(const std::vector<GeneRow>& rows, int sampleCount, const Restart& restart) {
  return subsetCost(rows, sampleCount, restart, NoNearbyMedoid);
}

void swapSearch(const std::vector<GeneRow>& rows, int sampleCount, Restart& restart, SweepStep& sweep) {
  sweep.beginSearch(rows, sampleCount, restart);
  for (;;) {
    const SwapMove bestMove = sweep.bestMove(restart);
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

std::vector<int> searchMedoids(std::vector<GeneRow>& rows, int sampleCount, int clusterCount, RandomSequence& random,
                               SweepStep& sweep) {
  requireDrawableClusterCount(static_cast<int>(rows.size()), clusterCount);
  KeptMedoids kept = initialKeptMedoids(rows, clusterCount);
  double lastRestartCost = 0.0;
  for (int r = 0; r < RestartCount; ++r) {
    Restart restart = drawSubset(rows, clusterCount, random);
    restart.totalCost = initialCost(rows, sampleCount, restart);
    swapSearch(rows, sampleCount, restart, sweep);
    keepIfCheaper(rows, restart, kept);
    lastRestartCost = restart.totalCost;
  }
  return assignRows(rows, sampleCount, kept.genes, lastRestartCost);
}

}  // namespace tolvar
