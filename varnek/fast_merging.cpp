#include "varnek/fast_merging.h"

#include "varnek/merging_tables.h"

namespace varnek {

FastMerging::FastMerging(Keeping keeping) : keeping_(keeping) {}
FastMerging::~FastMerging() = default;

void FastMerging::start(const std::vector<GeneRow>& rows, int sampleCount, const std::vector<ClusterSlot>& slots) {
  tables_ = std::make_unique<Tables>(rows, sampleCount, slots, keeping_);
}

std::optional<MergePass> FastMerging::bestPair(const std::vector<ClusterSlot>& slots) {
  return tables_->bestPair(slots);
}

void FastMerging::merged(int a, int b, const std::vector<ClusterSlot>& slots) { tables_->merged(a, b, slots); }

}  // namespace varnek
