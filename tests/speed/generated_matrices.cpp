#include "generated_matrices.h"

#include <cmath>

namespace testsupport {

GeneratedMatrix generateMatrix(std::uint64_t seed, int minGenes, int maxGenes, int maxSamples) {
  CaseRandom random(seed);
  GeneratedMatrix matrix;
  const int geneCount = minGenes + random.below(maxGenes - minGenes + 1);
  matrix.sampleCount = random.below(maxSamples + 1);
  const int style = random.below(5);  // 0 few integers, 1 reals, 2 clustered reals, 3 repeated rows,
                                      // 4 values whose squares overflow
  matrix.label = "seed " + std::to_string(seed) + ": " + std::to_string(geneCount) + " genes x " +
                 std::to_string(matrix.sampleCount) + " samples, style " + std::to_string(style);
  const int centreCount = 1 + random.below(6);
  std::vector<std::vector<double>> centres(static_cast<std::size_t>(centreCount));
  for (auto& centre : centres) {
    for (int s = 0; s < matrix.sampleCount; ++s) centre.push_back(std::floor(random.unit() * 20.0));
  }
  matrix.rows.resize(static_cast<std::size_t>(geneCount));
  for (int i = 0; i < geneCount; ++i) {
    clustering::GeneRow& row = matrix.rows[static_cast<std::size_t>(i)];
    row.name = "g" + std::to_string(i + 1);
    if (style == 3 && i > 0 && random.below(3) == 0) {
      row.values = matrix.rows[static_cast<std::size_t>(random.below(i))].values;
      continue;
    }
    const auto& centre = centres[static_cast<std::size_t>(random.below(centreCount))];
    for (int s = 0; s < matrix.sampleCount; ++s) {
      double value = 0.0;
      switch (style) {
        case 0: value = static_cast<double>(random.below(3)); break;
        case 1: value = std::round((random.unit() * 10.0 - 5.0) * 1000.0) / 1000.0; break;
        case 4: value = (random.below(2) == 0 ? -1.0 : 1.0) * std::pow(10.0, 150 + random.below(60)); break;
        default: value = centre[static_cast<std::size_t>(s)] + std::round(random.unit() * 2000.0) / 1000.0; break;
      }
      row.values[static_cast<std::size_t>(s)] = value;
    }
  }
  return matrix;
}

}  // namespace testsupport
