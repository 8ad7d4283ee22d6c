#include "korrin/korrin.h"

#include <string>

#include "common/failure.h"

namespace korrin {

void requireClusterCount(int clusterCount) {
  if (clusterCount < 1) {
    throw clustering::EngineError("the number of clusters must be 1 or more, not " + std::to_string(clusterCount));
  }
}

std::vector<int> randomPartition(int geneCount, int clusterCount, RandomSequence& random) {
  std::vector<int> membership(static_cast<std::size_t>(geneCount));
  for (int& cluster : membership) cluster = random.next() % clusterCount;
  return membership;
}

bool updateCentroids(const std::vector<GeneRow>& rows, int sampleCount, const std::vector<int>& membership,
                     CentroidTables& tables) {
  const std::size_t clusterCount = tables.centroids.size();
  for (std::size_t c = 0; c < clusterCount; ++c) {
    for (int s = 0; s < sampleCount; ++s) {
      tables.previousCentroids[c][s] = tables.centroids[c][s];
      tables.centroids[c][s] = 0.0f;
    }
    tables.memberCounts[c] = 0;
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    Centroid& centroid = tables.centroids[membership[i]];
    for (int s = 0; s < sampleCount; ++s) centroid[s] = centroid[s] + rows[i].values[s];
    tables.memberCounts[membership[i]] += 1;
  }
  bool changed = false;
  for (std::size_t c = 0; c < clusterCount; ++c) {
    Centroid& centroid = tables.centroids[c];
    const int count = tables.memberCounts[c];
    for (int s = 0; s < sampleCount; ++s) centroid[s] = count > 0 ? centroid[s] / static_cast<float>(count) : 0.0f;
    for (int s = 0; s < sampleCount; ++s) {
      if (centroid[s] != tables.previousCentroids[c][s]) changed = true;
    }
  }
  return changed;
}

float squaredDistance(const Centroid& gene, const Centroid& centroid, int sampleCount) {
  float sum = 0.0f;
  for (int s = 0; s < sampleCount; ++s) {
    const double difference = static_cast<double>(gene[s]) - static_cast<double>(centroid[s]);
    sum = static_cast<float>(static_cast<double>(sum) + difference * difference);
  }
  return sum;
}

int iterateCentroids(const std::vector<GeneRow>& rows, int sampleCount, int clusterCount, std::vector<int>& membership,
                     const ReassignStep& step, int maxPasses) {
  CentroidTables tables(clusterCount);
  int reassignments = 0;
  for (int passCount = 1; passCount <= maxPasses; ++passCount) {
    if (!updateCentroids(rows, sampleCount, membership, tables)) break;
    step.reassignGenes(rows, sampleCount, tables.centroids, membership);
    ++reassignments;
  }
  return reassignments;
}

std::vector<int> clusterGenes(const std::vector<GeneRow>& rows, int sampleCount, int clusterCount,
                              RandomSequence& random, const ReassignStep& step) {
  requireClusterCount(clusterCount);
  std::vector<int> membership = randomPartition(static_cast<int>(rows.size()), clusterCount, random);
  iterateCentroids(rows, sampleCount, clusterCount, membership, step);
  return membership;
}

}  // namespace korrin
