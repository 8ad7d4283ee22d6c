#include "literal_tolvar.h"

namespace literal {

using clustering::euclideanDistance;
using tolvar::GeneRow;
using tolvar::Restart;

void swapSearch(const std::vector<GeneRow>& rows, int sampleCount, Restart& restart) {
  const int clusterCount = static_cast<int>(restart.medoids.size());
  for (;;) {
    int bestRow = -1;
    int bestSlot = -1;
    double bestCost = restart.totalCost;
    for (int F = 0; F < restart.subsetSize; ++F) {
      if (!restart.nonMedoid[F]) continue;
      restart.nonMedoid[F] = 0;
      for (int s = 0; s < clusterCount; ++s) {
        const int old = restart.medoids[s];
        restart.medoids[s] = F;
        restart.nonMedoid[old] = 1;
        double cost = 0.0;
        for (int q = 0; q < restart.subsetSize; ++q) {
          if (!restart.nonMedoid[q]) continue;
          double nearest = restart.totalCost;
          for (int p = 0; p < clusterCount; ++p) {
            const double d = euclideanDistance(rows[q], rows[restart.medoids[p]], sampleCount);
            if (d < nearest) nearest = d;
          }
          cost += nearest;
        }
        if (cost < bestCost) {
          bestCost = cost;
          bestRow = F;
          bestSlot = s;
        }
        restart.medoids[s] = old;
        restart.nonMedoid[old] = 0;
      }
      restart.nonMedoid[F] = 1;
    }
    if (!(bestCost < restart.totalCost)) return;
    restart.totalCost = bestCost;
    restart.nonMedoid[restart.medoids[bestSlot]] = 1;
    restart.medoids[bestSlot] = bestRow;
    restart.nonMedoid[bestRow] = 0;
  }
}

std::vector<int> searchMedoids(std::vector<GeneRow>& rows, int sampleCount, int clusterCount,
                               tolvar::RandomSequence& random) {
  tolvar::KeptMedoids kept = tolvar::initialKeptMedoids(rows, clusterCount);
  double lastRestartCost = 0.0;
  for (int r = 0; r < tolvar::RestartCount; ++r) {
    Restart restart = tolvar::drawSubset(rows, clusterCount, random);
    restart.totalCost = tolvar::initialCost(rows, sampleCount, restart);
    literal::swapSearch(rows, sampleCount, restart);  // not tolvar::swapSearch, found through Restart
    tolvar::keepIfCheaper(rows, restart, kept);
    lastRestartCost = restart.totalCost;
  }
  return tolvar::assignRows(rows, sampleCount, kept.genes, lastRestartCost);
}

}  // namespace literal
