#include "literal_varnek.h"

namespace literal {

using clustering::euclideanDistance;
using clustering::InfiniteDistance;
using varnek::ClusterSlot;
using varnek::GeneRow;

std::vector<varnek::NeighbourLink> linkNearestNeighbours(const std::vector<GeneRow>& rows, int sampleCount) {
  const int geneCount = static_cast<int>(rows.size());
  std::vector<varnek::NeighbourLink> links(rows.size());
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

void mergeClusters(const std::vector<GeneRow>& rows, int sampleCount, std::vector<ClusterSlot>& slots,
                   double mergeThreshold, const varnek::PassObserver& observer) {
  while (slots.size() > 2) {
    const int liveSlots = static_cast<int>(slots.size());
    double bestScore = InfiniteDistance;
    int bestA = -1;
    int bestB = -1;
    for (int a = 0; a < liveSlots; ++a) {
      for (int b = a + 1; b < liveSlots; ++b) {
        const double S = connectionSum(rows, sampleCount, slots[a], slots[b]);
        const double score =
            varnek::mergeScore(S, slots[a].count(), slots[a].weight, slots[b].count(), slots[b].weight);
        if (score < bestScore) {
          bestScore = score;
          bestA = a;
          bestB = b;
        }
      }
    }
    if (bestA < 0) return;
    if (observer) observer(varnek::MergePass{bestA, bestB, bestScore});
    if (bestScore > mergeThreshold) return;
    ClusterSlot& kept = slots[bestA];
    ClusterSlot& absorbed = slots[bestB];
    kept.members.insert(kept.members.end(), absorbed.members.begin(), absorbed.members.end());
    kept.weight += absorbed.weight;
    const int last = liveSlots - 1;
    if (bestB != last) slots[bestB] = std::move(slots[last]);
    slots.pop_back();
  }
}

}  // namespace literal
