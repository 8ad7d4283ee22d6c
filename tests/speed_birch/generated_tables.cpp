// Drawing of the gene tables for the differential tests: raw draws of the 64-bit Mersenne
// twister, whose sequence is the same with every standard library, turned into values by hand.
#include "generated_tables.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "birch/birch.h"

namespace speed_birch {

int drawBetween(std::mt19937_64& draws, int low, int high) {
  return low + static_cast<int>(draws() % static_cast<std::uint64_t>(high - low + 1));
}

const char* describe(Values values) {
  switch (values) {
    case Values::SmallIntegers: return "small integers";
    case Values::Signs: return "signs";
    case Values::RepeatedRows: return "repeated rows";
    case Values::Eighths: return "eighths";
    case Values::Decimals: return "decimals";
    case Values::FarApart: return "far apart";
    case Values::Overflowing: return "overflowing";
  }
  return "?";
}

namespace {

double drawValue(std::mt19937_64& draws, Values values) {
  switch (values) {
    case Values::SmallIntegers: return drawBetween(draws, 0, 2);
    case Values::Signs: return drawBetween(draws, -1, 1);
    case Values::RepeatedRows: return drawBetween(draws, -3, 3);
    case Values::Eighths: return drawBetween(draws, -40, 40) / 8.0;
    case Values::Decimals: return drawBetween(draws, -10000, 10000) / 1000.0;
    case Values::FarApart: return 333333.0 * drawBetween(draws, 0, 4);
    case Values::Overflowing:
      switch (drawBetween(draws, 0, 15)) {
        case 0: return 1.5e308;
        case 1: return -1.5e308;
        default: return drawBetween(draws, 0, 2);
      }
  }
  return 0.0;
}

}  // namespace

std::vector<GeneRow> generateRows(std::mt19937_64& draws, int geneCount, int sampleCount, Values values) {
  std::vector<GeneRow> rows(static_cast<std::size_t>(geneCount));
  std::vector<GeneRow> originals;
  if (values == Values::RepeatedRows) originals.resize(static_cast<std::size_t>(1 + geneCount / 5));
  for (GeneRow& original : originals) {
    for (int s = 0; s < sampleCount; ++s) original.values[s] = drawValue(draws, values);
  }
  for (int i = 0; i < geneCount; ++i) {
    GeneRow& row = rows[static_cast<std::size_t>(i)];
    char name[24];
    std::snprintf(name, sizeof name, "g%d", i + 1);
    if (!originals.empty()) {
      row = originals[static_cast<std::size_t>(drawBetween(draws, 0, static_cast<int>(originals.size()) - 1))];
    } else {
      for (int s = 0; s < sampleCount; ++s) row.values[s] = drawValue(draws, values);
    }
    row.name = name;
  }
  return rows;
}

std::vector<double> thresholdsFor(std::mt19937_64& draws, const std::vector<GeneRow>& rows, int sampleCount) {
  constexpr double Huge = std::numeric_limits<double>::infinity();
  std::vector<double> thresholds{-1.0, 0.0, 1e300};
  const int last = static_cast<int>(rows.size()) - 1;
  for (int trial = 0; trial < 3; ++trial) {
    const GeneRow& row = rows[static_cast<std::size_t>(drawBetween(draws, 0, last))];
    // A feature founded by one row has that row as its centroid.
    birch::ClusteringFeature one;
    one.count = 1;
    birch::ClusteringFeature two;
    two.count = 2;
    const GeneRow& first = rows[static_cast<std::size_t>(drawBetween(draws, 0, last))];
    const GeneRow& second = rows[static_cast<std::size_t>(drawBetween(draws, 0, last))];
    for (int s = 0; s < sampleCount; ++s) {
      one.linearSum[s] = first.values[s];
      two.linearSum[s] = first.values[s] + second.values[s];
    }
    for (const birch::ClusteringFeature* feature : {&one, &two}) {
      const double d = birch::centroidDistance(*feature, row, sampleCount);
      if (std::isnan(d)) continue;
      thresholds.push_back(d);
      thresholds.push_back(std::nextafter(d, -Huge));
      thresholds.push_back(std::nextafter(d, Huge));
    }
  }
  return thresholds;
}

}  // namespace speed_birch
