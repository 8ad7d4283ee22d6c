// tolvar's medoid search against the trial-by-trial search on generated matrices: ties on purpose
// (few integer values, repeated rows), 0 to 40 samples, and every cluster count a subset draw can
// meet on small tables.
#include <gtest/gtest.h>

#include "common/random.h"
#include "bench/matrix_generator.h"
#include "literal_tolvar.h"

namespace {

std::vector<std::string> names(const std::vector<tolvar::GeneRow>& rows) {
  std::vector<std::string> result;
  for (const tolvar::GeneRow& row : rows) result.push_back(row.name);
  return result;
}

}  // namespace

TEST(TolvarSpeed, WholeSearchesMatchTheTrialByTrialSearch) {
  for (std::uint64_t seed = 1; seed <= 160; ++seed) {
    const generated::Matrix matrix = generated::drawCase(seed, 5, 90, 40);
    const int geneCount = static_cast<int>(matrix.rows.size());
    const int largest = std::min((geneCount - 1) / 4, 5);
    const int clusterCount = 1 + static_cast<int>(seed % static_cast<std::uint64_t>(largest));
    std::vector<tolvar::GeneRow> fastRows = matrix.rows;
    std::vector<tolvar::GeneRow> slowRows = matrix.rows;
    clustering::RandomSequence fastRandom;
    clustering::RandomSequence slowRandom;
    for (std::uint64_t skip = 0; skip < seed; ++skip) {
      fastRandom.next();
      slowRandom.next();
    }
    const std::string label = matrix.label + ", " + std::to_string(clusterCount) + " clusters";
    EXPECT_EQ(tolvar::searchMedoids(fastRows, matrix.sampleCount, clusterCount, fastRandom),
              literal::searchMedoids(slowRows, matrix.sampleCount, clusterCount, slowRandom))
        << label;
    EXPECT_EQ(names(fastRows), names(slowRows)) << label;
    EXPECT_EQ(fastRandom.next(), slowRandom.next()) << label;
  }
}
