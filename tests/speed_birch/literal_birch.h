// The literal merge of birch, kept as the oracle of the fast one: every merge step measures
// every pair of live features afresh and then relabels the rows in one pass. Same interface and
// same results, to the bit, as birch::mergeClosestFeatures; only the work differs.
#pragma once

#include "birch/birch.h"

namespace literal_birch {

// While more than `minClusterCount` features are live, scans every pair (a, b), a < b, of live
// features in order and merges the first pair met at the smallest centroid distance, b into
// a. A step that finds no pair nearer than InfiniteDistance ends merging.
birch::MergeOutcome mergeClosestFeatures(birch::FeatureTable& table, int sampleCount, int minClusterCount);

}  // namespace literal_birch
