// The merge phase of birch without measuring every pair of live features in every step.
//
// A minimum is exact in any order, so each live feature keeps its nearest partner: among the
// live features of higher index, the first met at the smallest centroid distance below
// InfiniteDistance (strictly less, so the lowest index wins among equals). The pair the full
// scan would merge is then the kept pair of the first feature with the smallest kept distance.
// A merge moves only the centroid of the feature that stays and removes the one merged away,
// so only these partners can change: those that named either feature of the pair (the
// staying feature's own partner was the one merged away) are searched again, and those of
// the features below the staying one weigh its new distance against the kept one. Features
// above it cannot take it as a partner, being its higher index.
//
// Centroids are kept as the quotients linearSum[s] / count that every distance would compute
// afresh, and distances sum their squared differences in sample order with the lower index
// first, so each kept distance is the very double the full scan computes. Memory stays linear
// in the number of features.
#include <algorithm>

#include "birch.h"

namespace birch {

namespace {

using clustering::InfiniteDistance;

constexpr int NoPartner = -1;

// The centroids of the features, `sampleCount` values per feature in one block.
class Centroids {
 public:
  Centroids(const std::vector<ClusteringFeature>& features, int sampleCount)
      : sampleCount_(sampleCount), values_(std::max<std::size_t>(1, features.size() * sampleCount)) {
    for (std::size_t f = 0; f < features.size(); ++f) {
      if (features[f].live()) update(static_cast<int>(f), features[f]);
    }
  }

  void update(int index, const ClusteringFeature& feature) {
    double* centroid = at(index);
    for (int s = 0; s < sampleCount_; ++s) centroid[s] = feature.linearSum[s] / feature.count;
  }

  // `lower` is the lower index of the pair, the first operand of every difference.
  double distance(int lower, int higher) const {
    return clustering::euclideanDistance(at(lower), at(higher), sampleCount_);
  }

 private:
  double* at(int index) { return values_.data() + static_cast<std::size_t>(index) * sampleCount_; }
  const double* at(int index) const { return values_.data() + static_cast<std::size_t>(index) * sampleCount_; }

  int sampleCount_;
  std::vector<double> values_;
};

// A live feature's nearest partner of higher index, or NoPartner at InfiniteDistance when no
// live feature above it lies nearer than that.
struct Partner {
  double distance = InfiniteDistance;
  int feature = NoPartner;
};

struct FeaturePair {
  int kept = NoPartner;      // the lower index, which stays
  int absorbed = NoPartner;  // the higher index, merged away
};

// The live features in ascending order, and the nearest partner of each.
class NearestPartners {
 public:
  NearestPartners(const std::vector<ClusteringFeature>& features, const Centroids& centroids)
      : centroids_(centroids), partners_(features.size()) {
    for (std::size_t f = 0; f < features.size(); ++f) {
      if (features[f].live()) live_.push_back(static_cast<int>(f));
    }
    for (int feature : live_) partners_[feature] = search(feature);
  }

  // The pair the full scan would merge: the first live feature with the smallest kept
  // distance, and its partner; NoPartner twice when no pair lies nearer than InfiniteDistance.
  FeaturePair closestPair() const {
    FeaturePair pair;
    double best = InfiniteDistance;
    for (int feature : live_) {
      if (partners_[feature].distance < best) {
        best = partners_[feature].distance;
        pair = {feature, partners_[feature].feature};
      }
    }
    return pair;
  }

  // After `absorbed` has been merged into `kept` and kept's centroid updated.
  void merged(int kept, int absorbed) {
    live_.erase(std::lower_bound(live_.begin(), live_.end(), absorbed));
    for (int feature : live_) {
      Partner& partner = partners_[feature];
      if (partner.feature == kept || partner.feature == absorbed) {
        partner = search(feature);
      } else if (feature < kept) {
        const double d = centroids_.distance(feature, kept);
        // Among equal distances the lower index is met first.
        if (d < partner.distance || (d == partner.distance && kept < partner.feature)) partner = {d, kept};
      }
    }
  }

 private:
  // The full search of one feature's partner, in ascending order with a strict comparison.
  Partner search(int feature) const {
    Partner nearest;
    for (auto other = std::upper_bound(live_.begin(), live_.end(), feature); other != live_.end(); ++other) {
      const double d = centroids_.distance(feature, *other);
      if (d < nearest.distance) nearest = {d, *other};
    }
    return nearest;
  }

  const Centroids& centroids_;
  std::vector<int> live_;
  std::vector<Partner> partners_;  // indexed by feature; meaningful for live ones
};

}  // namespace

MergeOutcome mergeClosestFeatures(FeatureTable& table, int sampleCount, int minClusterCount) {
  std::vector<ClusteringFeature>& features = table.features;
  Centroids centroids(features, sampleCount);
  NearestPartners partners(features, centroids);
  MergeOutcome outcome;
  outcome.liveFeatureCount = table.featureCount();
  while (outcome.liveFeatureCount > minClusterCount) {
    const auto [kept, absorbed] = partners.closestPair();
    if (kept == NoPartner) {
      // Every pair of live centroids lies InfiniteDistance or more apart (or one feature is
      // left): there is nothing to merge, and merging again would find nothing either.
      outcome.endedWithoutPair = true;
      return outcome;
    }
    for (int& feature : table.subclusterOfRow) {
      if (feature == absorbed) feature = kept;
    }
    for (int s = 0; s < sampleCount; ++s) {
      features[kept].linearSum[s] = features[kept].linearSum[s] + features[absorbed].linearSum[s];
    }
    features[kept].count = features[kept].count + features[absorbed].count;
    features[absorbed].count = MergedAway;
    outcome.liveFeatureCount = outcome.liveFeatureCount - 1;
    centroids.update(kept, features[kept]);
    partners.merged(kept, absorbed);
  }
  return outcome;
}

}  // namespace birch
