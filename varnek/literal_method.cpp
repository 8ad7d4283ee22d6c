#include "varnek/literal_method.h"

namespace varnek {

using clustering::euclideanDistance;
using clustering::InfiniteDistance;

std::vector<NeighbourLink> LiteralLinking::link(const std::vector<GeneRow>& rows, int sampleCount) const {
  const int geneCount = static_cast<int>(rows.size());
  std::vector<NeighbourLink> links(rows.size());
  for (int i = 0; i < geneCount; ++i) {
    double best = InfiniteDistance;
    int candidate = i;
    for (int j = 0; j < geneCount; ++j) {
      const double d = euclideanDistance(rows[i], rows[j], sampleCount);
      if (d < best && j != i) {
        best = d;
        candidate = j;
      }
    }
    links[i].nearest = candidate;
    links[i].distance = best;
    links[i].state = 1;
  }
  return links;
}

namespace {

double connectionSum(const std::vector<GeneRow>& rows, int sampleCount, const ClusterSlot& a, const ClusterSlot& b) {
  double sum = 0.0;
  for (int x : a.members) {
    double nearest = InfiniteDistance;
    for (int y : b.members) {
      const double d = euclideanDistance(rows[x], rows[y], sampleCount);
      if (d < nearest) nearest = d;
    }
    sum += nearest;
  }
  for (int y : b.members) {
    double nearest = InfiniteDistance;
    for (int x : a.members) {
      const double d = euclideanDistance(rows[y], rows[x], sampleCount);
      if (d < nearest) nearest = d;
    }
    sum += nearest;
  }
  return sum;
}

}  // namespace

void LiteralMerging::start(const std::vector<GeneRow>& rows, int sampleCount, const std::vector<ClusterSlot>&) {
  rows_ = &rows;
  sampleCount_ = sampleCount;
}

std::optional<MergePass> LiteralMerging::bestPair(const std::vector<ClusterSlot>& slots) {
  const int liveSlots = static_cast<int>(slots.size());
  double bestScore = InfiniteDistance;
  int bestA = -1;
  int bestB = -1;
  for (int a = 0; a < liveSlots; ++a) {
    for (int b = a + 1; b < liveSlots; ++b) {
      const double S = connectionSum(*rows_, sampleCount_, slots[a], slots[b]);
      const double score = mergeScore(S, slots[a].count(), slots[a].weight, slots[b].count(), slots[b].weight);
      if (score < bestScore) {
        bestScore = score;
        bestA = a;
        bestB = b;
      }
    }
  }
  if (bestA < 0) return std::nullopt;
  return MergePass{bestA, bestB, bestScore};
}

}  // namespace varnek
