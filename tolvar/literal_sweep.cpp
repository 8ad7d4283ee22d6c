#include "tolvar/literal_sweep.h"

namespace tolvar {

void LiteralSweep::beginSearch(const std::vector<GeneRow>& rows, int sampleCount, const Restart&) {
  rows_ = &rows;
  sampleCount_ = sampleCount;
}

SwapMove LiteralSweep::bestMove(Restart& restart) {
  const int clusterCount = static_cast<int>(restart.medoids.size());
  SwapMove bestMove{-1, -1, restart.totalCost};
  for (int F = 0; F < restart.subsetSize; ++F) {
    if (!restart.nonMedoid[F]) continue;
    restart.nonMedoid[F] = 0;
    for (int s = 0; s < clusterCount; ++s) {
      const int old = restart.medoids[s];
      restart.medoids[s] = F;
      restart.nonMedoid[old] = 1;
      const SwapMove trialMove{F, s, subsetCost(*rows_, sampleCount_, restart, restart.totalCost)};
      if (trialMove.cost < bestMove.cost) bestMove = trialMove;
      restart.medoids[s] = old;
      restart.nonMedoid[old] = 0;
    }
    restart.nonMedoid[F] = 1;
  }
  return bestMove;
}

}  // namespace tolvar
