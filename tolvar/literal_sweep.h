// The sweep as the method states it, trial by trial: each trial puts its candidate into the
// medoid table and flags in place, measures every distance anew and sums the cost, then undoes
// the change. Slow and plainly right: the oracle the fast sweep is held against, and the sweep of
// the tolvar_literal program that the bench times.
#pragma once

#include "tolvar/tolvar.h"

namespace tolvar {

class LiteralSweep final : public SweepStep {
 public:
  void beginSearch(const std::vector<GeneRow>& rows, int sampleCount, const Restart& restart) override;
  SwapMove bestMove(Restart& restart) override;

 private:
  const std::vector<GeneRow>* rows_ = nullptr;
  int sampleCount_ = 0;
};

}  // namespace tolvar
