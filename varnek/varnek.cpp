#include "varnek.h"

namespace varnek {

using clustering::euclideanDistance;
using clustering::InfiniteDistance;

std::vector<NeighbourLink> linkNearestNeighbours(const std::vector<GeneRow>& rows, int sampleCount) {
  // Each distance is computed once for both rows of the pair; it is the same in either order.
  // Row j meets its candidates in ascending order (rows below j in the outer loop, then rows
  // above j in its own), so the strict test keeps the lowest row among equals.
  const std::size_t geneCount = rows.size();
  std::vector<NeighbourLink> links(geneCount);
  for (std::size_t i = 0; i < geneCount; ++i) {
    links[i].nearest = static_cast<int>(i);
    links[i].distance = InfiniteDistance;
    links[i].state = 1;
  }
  for (std::size_t i = 0; i < geneCount; ++i) {
    for (std::size_t j = i + 1; j < geneCount; ++j) {
      const double d = euclideanDistance(rows[i], rows[j], sampleCount);
      if (d < links[i].distance) {
        links[i].distance = d;
        links[i].nearest = static_cast<int>(j);
      }
      if (d < links[j].distance) {
        links[j].distance = d;
        links[j].nearest = static_cast<int>(i);
      }
    }
  }
  return links;
}

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

}  // namespace varnek
