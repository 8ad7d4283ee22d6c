// Matrices made to find differences between a fast method and its literal oracle: random
// sizes, few distinct integer values (so distances and scores tie), repeated rows, and plain
// real values. Fixed seeds, so a failure names a case that can be run again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/gene_row.h"

namespace testsupport {

struct GeneratedMatrix {
  std::string label;
  int sampleCount = 0;
  std::vector<clustering::GeneRow> rows;
};

class CaseRandom {
 public:
  explicit CaseRandom(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  std::uint64_t next() {
    state_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
  double unit() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }

 private:
  std::uint64_t state_;
};

// Case `seed` of a family: geneCount in [minGenes, maxGenes], sampleCount in [0, maxSamples].
GeneratedMatrix generateMatrix(std::uint64_t seed, int minGenes, int maxGenes, int maxSamples);

}  // namespace testsupport
