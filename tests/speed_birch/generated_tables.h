// Gene tables drawn for the differential tests of birch's merge, from fixed seeds so that every
// run checks the same cases. The kinds of values are chosen to make ties: integers and
// repeated rows give many equal distances, a coarse grid gives exact centroids, multiples of
// 333333 put centroids exactly InfiniteDistance apart, and a few values near the largest double
// make sums overflow to infinity and distances come out infinite or not a number.
#pragma once

#include <random>
#include <vector>

#include "common/gene_row.h"

namespace speed_birch {

using clustering::GeneRow;

enum class Values {
  SmallIntegers,  // 0, 1 or 2
  Signs,          // -1, 0 or 1: merged centroids often lie exactly as far as a kept partner
  RepeatedRows,   // copies of a few rows of integers from -3 to 3
  Eighths,        // multiples of 1/8 from -5 to 5, exact in binary
  Decimals,       // three decimals from -10 to 10
  FarApart,       // multiples of 333333 up to 1333332
  Overflowing,    // small integers and here and there plus or minus 1.5e308
};

const char* describe(Values values);

std::vector<GeneRow> generateRows(std::mt19937_64& draws, int geneCount, int sampleCount, Values values);

// Absorption thresholds worth trying on `rows`: negative (every row founds a feature), 0, one
// above every distance, and distances that decide a join (from a row to another row and to
// the centroid of two rows) together with the doubles just below and just above them.
std::vector<double> thresholdsFor(std::mt19937_64& draws, const std::vector<GeneRow>& rows, int sampleCount);

// A whole number from `low` to `high`, both included.
int drawBetween(std::mt19937_64& draws, int low, int high);

}  // namespace speed_birch
