// birch's merge phase for the literal build: every step measures every pair of live features
// afresh, under the engine's own name, so that birch_literal is birch's main and absorption with
// only the merging changed.
#include "literal_birch.h"

namespace birch {

MergeOutcome mergeClosestFeatures(FeatureTable& table, int sampleCount, int minClusterCount) {
  return literal_birch::mergeClosestFeatures(table, sampleCount, minClusterCount);
}

}  // namespace birch
