// Clustering-feature clustering: the rows are taken in file order and each joins the feature
// whose centroid lies nearest, if that centroid lies within the threshold distance, or founds a
// feature of its own; then the two features with the closest centroids merge, again and again,
// until no more features are live than the minimum number of clusters. The features form one
// flat table; there is no tree and no splitting.
//
// A feature keeps only its sums. Its centroid is linearSum[s] / count per sample, and distances
// add the squared differences in sample order, so every result is the same to the last bit on
// every host. The two phases are given their searches: the literal ones compute every centroid
// afresh for every distance, the fast ones keep the centroids (the same quotients) and prune.
// Every search compares strictly: of equal candidates the first one met (the lowest index, the
// lowest pair) wins.
//
// Invariants after absorption and between merge steps: the live features are the founded
// ones whose count is not -1; every row names a live feature; a live feature's count is the
// number of rows that name it and its linearSum the per-sample sum of their values.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "common/gene_row.h"
#include "common/nearest_partners.h"
#include "common/packed_vectors.h"

namespace birch {

using clustering::GeneRow;
using clustering::MaxSamples;

// Start of the nearest-feature search of absorption: seven nines, one more than the
// InfiniteDistance that starts the merge search.
inline constexpr double AbsorptionStartDistance = 9999999.0;

// Marks a feature that has been merged into another one.
inline constexpr int MergedAway = -1;
// Marks a row that has been written out.
inline constexpr int RowWritten = -1;

struct ClusteringFeature {
  int count = 0;  // rows held; MergedAway once merged into another feature
  std::array<double, MaxSamples> linearSum{};  // per sample, the sum of the rows' values
  // Per sample, the sum of the squared values of the rows that founded or joined this feature
  // during absorption; a merge leaves it as it is.
  std::array<double, MaxSamples> squareSum{};

  bool live() const { return count != MergedAway; }
};

struct FeatureTable {
  std::vector<ClusteringFeature> features;  // founded features, in founding order
  std::vector<int> subclusterOfRow;         // per row, the index of the feature holding it
  int featureCount() const { return static_cast<int>(features.size()); }
};

// The centroid of `feature` over the first `sampleCount` samples, linearSum[s] / count, the very
// quotients that centroidDistance computes afresh: what the fast searches keep.
inline void centroidOf(const ClusteringFeature& feature, int sampleCount, double* centroid) {
  for (int s = 0; s < sampleCount; ++s) centroid[s] = feature.linearSum[s] / feature.count;
}

// Distance between the centroid of `feature` and `row` over the first `sampleCount` samples.
double centroidDistance(const ClusteringFeature& feature, const GeneRow& row, int sampleCount);
// Distance between the centroids of two features.
double centroidDistance(const ClusteringFeature& a, const ClusteringFeature& b, int sampleCount);

// What the nearest-feature search of one row finds: the best distance, AbsorptionStartDistance
// when no centroid within the threshold lies nearer than that, and the candidate feature, 0 then.
struct NearestFeature {
  double distance = AbsorptionStartDistance;
  int feature = 0;
};

// How absorption searches the features for each row. It calls start once, nearest for each row
// after row 0, and changed whenever a row has founded or joined a feature.
class NearestFeatureSearch {
 public:
  virtual ~NearestFeatureSearch() = default;
  virtual void start(int geneCount, int sampleCount, double thresholdDistance) = 0;
  // Of the features whose centroid lies at most the threshold from `row` and nearer than the
  // best so far, the first at the smallest distance, the features taken in founding order.
  virtual NearestFeature nearest(const FeatureTable& table, const GeneRow& row) = 0;
  virtual void changed(const FeatureTable& table, int feature) = 0;
};

// Every founded feature measured, its centroid computed afresh from its sums.
class LiteralNearestFeature final : public NearestFeatureSearch {
 public:
  void start(int geneCount, int sampleCount, double thresholdDistance) override;
  NearestFeature nearest(const FeatureTable& table, const GeneRow& row) override;
  void changed(const FeatureTable& table, int feature) override;

 private:
  int sampleCount_ = 0;
  double thresholdDistance_ = 0.0;
};

// The centroids kept packed; a distance is cut short once it is sure to exceed the threshold
// or the best so far.
class PrunedNearestFeature final : public NearestFeatureSearch {
 public:
  void start(int geneCount, int sampleCount, double thresholdDistance) override;
  NearestFeature nearest(const FeatureTable& table, const GeneRow& row) override;
  void changed(const FeatureTable& table, int feature) override;

 private:
  int sampleCount_ = 0;
  double thresholdDistance_ = 0.0;
  double squaredThreshold_ = 0.0;  // squaredBound(thresholdDistance)
  clustering::PackedVectors centroids_;
  std::vector<double> centroid_;  // one centroid, unpacked
};

// Row 0 founds feature 0; every later row joins the feature with the nearest centroid (lowest
// index among equals) when that distance is at most `thresholdDistance`, else founds the next
// feature. A distance equal to the threshold joins. When no centroid lies nearer than
// AbsorptionStartDistance, the row founds a feature only if the threshold lies below that
// distance; otherwise it joins feature 0. No rows give no features.
FeatureTable absorbRows(const std::vector<GeneRow>& rows, int sampleCount, double thresholdDistance,
                        NearestFeatureSearch& search);

// Two live features, `kept` below `absorbed`.
struct FeaturePair {
  int kept;
  int absorbed;
};

// How merging finds the two features whose centroids lie closest: the first pair (lowest first
// index, then lowest second) at the smallest distance below InfiniteDistance, none when no pair
// lies nearer. It calls start once, then closestPair before each merge and merged after it.
class ClosestFeaturesSearch {
 public:
  virtual ~ClosestFeaturesSearch() = default;
  virtual void start(const FeatureTable& table, int sampleCount) = 0;
  virtual std::optional<FeaturePair> closestPair(const FeatureTable& table) = 0;
  virtual void merged(const FeatureTable& table, int kept, int absorbed) = 0;
};

// Every pair of live features measured afresh at every step.
class LiteralClosestFeatures final : public ClosestFeaturesSearch {
 public:
  void start(const FeatureTable& table, int sampleCount) override;
  std::optional<FeaturePair> closestPair(const FeatureTable& table) override;
  void merged(const FeatureTable& table, int kept, int absorbed) override;

 private:
  int sampleCount_ = 0;
};

// Each live feature keeps its nearest partner of higher index (clustering::NearestPartners),
// and reserves `reserveSize` more.
class KeptClosestFeatures final : public ClosestFeaturesSearch {
 public:
  explicit KeptClosestFeatures(int reserveSize = clustering::NearestPartners::DefaultReserveSize)
      : reserveSize_(reserveSize) {}
  void start(const FeatureTable& table, int sampleCount) override;
  std::optional<FeaturePair> closestPair(const FeatureTable& table) override;
  void merged(const FeatureTable& table, int kept, int absorbed) override;

 private:
  int sampleCount_ = 0;
  int reserveSize_;
  std::optional<clustering::NearestPartners> partners_;
  std::vector<double> centroid_;  // one centroid, unpacked
};

struct MergeOutcome {
  int liveFeatureCount = 0;
  // True when a step found no pair of live centroids nearer than InfiniteDistance: merging
  // ended with more features live than asked for.
  bool endedWithoutPair = false;
};

// While more than `minClusterCount` features are live, merges the pair with the closest
// centroids that `search` finds into the lower index: its rows are relabelled, the linear sums
// and counts added, the higher one marked MergedAway. No threshold applies. A step that finds
// no pair nearer than InfiniteDistance ends merging.
MergeOutcome mergeClosestFeatures(FeatureTable& table, int sampleCount, int minClusterCount,
                                  ClosestFeaturesSearch& search);

// The number of cluster headings to write: `minClusterCount`, or every live feature when
// merging ended early with more live than that, so that no gene is left out of the result.
int headingCount(int minClusterCount, const MergeOutcome& merged);

// The clusters in the order of their lowest row, each with its rows in ascending order, for
// at most `headingCount` headings: each is the feature of the lowest row not yet written, and
// its rows are marked RowWritten. Headings beyond the returned clusters are bare.
std::vector<std::vector<int>> clustersByLowestRow(std::vector<int>& subclusterOfRow, int headingCount);

}  // namespace birch
