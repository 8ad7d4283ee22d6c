#include "varnek/varnek.h"

namespace varnek {

std::vector<ClusterSlot> buildChains(std::vector<NeighbourLink>& links) {
  std::vector<ClusterSlot> slots;
  const int geneCount = static_cast<int>(links.size());
  for (int start = 0; start < geneCount; ++start) {
    if (links[start].state != 1) continue;
    ClusterSlot slot;
    int i = start;
    while (links[i].state == 1) {
      slot.members.push_back(i);
      links[i].state = -1;
      const int prev = i;
      i = links[prev].nearest;
      if (links[i].state == 1) slot.weight += links[prev].distance;
    }
    slots.push_back(std::move(slot));
  }
  return slots;
}

double mergeScore(double connectionSum, int countA, double weightA, int countB, double weightB) {
  const double S = connectionSum;
  const int na = countA;
  const int nb = countB;
  const double W = weightA + weightB;
  double interconnectivity;
  double closeness;
  if (W > 0) {
    interconnectivity = (2.0 * S) / W;
    closeness = (S / (na + nb)) / (na * weightA / (na + nb) + nb * weightB / (na + nb));
  } else {
    interconnectivity = 2.0 * S;
    closeness = S / (na + nb);
  }
  return closeness * interconnectivity;
}

void mergeClusters(const std::vector<GeneRow>& rows, int sampleCount, std::vector<ClusterSlot>& slots,
                   double mergeThreshold, MergeStep& step, const PassObserver& observer) {
  if (slots.size() <= 2) return;
  step.start(rows, sampleCount, slots);
  while (slots.size() > 2) {
    const std::optional<MergePass> best = step.bestPair(slots);
    if (!best) return;
    if (observer) observer(*best);
    if (best->score > mergeThreshold) return;
    ClusterSlot& kept = slots[static_cast<std::size_t>(best->a)];
    ClusterSlot& absorbed = slots[static_cast<std::size_t>(best->b)];
    kept.members.insert(kept.members.end(), absorbed.members.begin(), absorbed.members.end());
    kept.weight += absorbed.weight;
    if (static_cast<std::size_t>(best->b) != slots.size() - 1) absorbed = std::move(slots.back());
    slots.pop_back();
    step.merged(best->a, best->b, slots);
  }
}

}  // namespace varnek
