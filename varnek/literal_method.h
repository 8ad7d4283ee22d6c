// The two searches as the method reads, plain and slow: every row measured against every row,
// and every pass scoring every pair of live slots from distances measured afresh. The
// varnek_literal program runs them, and the tests hold the fast steps against them.
#pragma once

#include "varnek/varnek.h"

namespace varnek {

class LiteralLinking final : public NeighbourLinking {
 public:
  std::vector<NeighbourLink> link(const std::vector<GeneRow>& rows, int sampleCount) const override;
};

class LiteralMerging final : public MergeStep {
 public:
  void start(const std::vector<GeneRow>& rows, int sampleCount, const std::vector<ClusterSlot>& slots) override;
  std::optional<MergePass> bestPair(const std::vector<ClusterSlot>& slots) override;
  void merged(int, int, const std::vector<ClusterSlot>&) override {}

 private:
  const std::vector<GeneRow>* rows_ = nullptr;
  int sampleCount_ = 0;
};

}  // namespace varnek
