// Centroid iteration in single precision: a random partition of the genes, then passes of mean
// computation and nearest-mean reassignment until a pass leaves every mean exactly as it was,
// or MaxPasses passes have run.
//
// Invariants: values, sums, quotients and squared distances are single precision exactly where
// stated (a squared distance forms each difference and square in double and rounds the running
// sum to single precision after every addition); genes keep their input positions; an empty
// cluster's mean is the zero vector and competes like any other; ties go to the lower cluster.
#pragma once

#include <array>
#include <vector>

#include "common/gene_row.h"
#include "common/random.h"

namespace korrin {

using GeneRow = clustering::BasicGeneRow<float>;
using Centroid = std::array<float, clustering::MaxSamples>;
using clustering::RandomSequence;

inline constexpr int MaxPasses = 100;

// Refuses a cluster count below 1.
void requireClusterCount(int clusterCount);

// Per gene one draw reduced to 0..clusterCount-1, in gene order.
std::vector<int> randomPartition(int geneCount, int clusterCount, RandomSequence& random);

// The means of the current and of the previous pass, and the member counts of the current one.
struct CentroidTables {
  explicit CentroidTables(int clusterCount)
      : centroids(static_cast<std::size_t>(clusterCount)),
        previousCentroids(static_cast<std::size_t>(clusterCount)),
        memberCounts(static_cast<std::size_t>(clusterCount), 0) {}
  std::vector<Centroid> centroids;
  std::vector<Centroid> previousCentroids;
  std::vector<int> memberCounts;
};

// Moves the means to previousCentroids and computes the new ones from the membership. True
// when any mean differs from its previous value.
bool updateCentroids(const std::vector<GeneRow>& rows, int sampleCount, const std::vector<int>& membership,
                     CentroidTables& tables);

// The squared distance from a gene to a mean, no square root: each difference and its square in
// double, the running sum rounded to single precision after every addition.
float squaredDistance(const Centroid& gene, const Centroid& centroid, int sampleCount);

// The reassignment of a pass, a step that the pass loop is given: the literal method
// (literal_reassign.h) and the fast one (fast_reassign.h) move every gene alike.
class ReassignStep {
 public:
  virtual ~ReassignStep() = default;

  // Moves every gene to the cluster whose mean has the least squaredDistance from it; of equal
  // distances the lower cluster wins, and a distance that is no number never replaces another.
  virtual void reassignGenes(const std::vector<GeneRow>& rows, int sampleCount, const std::vector<Centroid>& centroids,
                             std::vector<int>& membership) const = 0;
};

// The pass loop over an existing partition; returns the number of reassignments run.
int iterateCentroids(const std::vector<GeneRow>& rows, int sampleCount, int clusterCount, std::vector<int>& membership,
                     const ReassignStep& step, int maxPasses = MaxPasses);

// randomPartition, then the pass loop; per gene its cluster.
std::vector<int> clusterGenes(const std::vector<GeneRow>& rows, int sampleCount, int clusterCount,
                              RandomSequence& random, const ReassignStep& step);

}  // namespace korrin
