// The engine's chain merging against the literal pass-by-pass method, on generated matrices
// with ties on purpose and thresholds at, just below and just above the deciding scores.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "bench/matrix_generator.h"
#include "literal_varnek.h"

namespace {

using generated::Matrix;
using generated::drawCase;

std::uint64_t bits(double value) {
  std::uint64_t out;
  std::memcpy(&out, &value, sizeof out);
  return out;
}

struct MergeRecord {
  std::vector<varnek::MergePass> passes;
  std::vector<varnek::ClusterSlot> slots;
};

template <typename Merge>
MergeRecord runMerge(const Matrix& matrix, std::vector<varnek::ClusterSlot> slots, double threshold,
                     Merge merge) {
  MergeRecord record;
  merge(matrix.rows, matrix.sampleCount, slots, threshold,
        [&record](const varnek::MergePass& pass) { record.passes.push_back(pass); });
  record.slots = std::move(slots);
  return record;
}

void expectSame(const MergeRecord& fast, const MergeRecord& slow, const std::string& label) {
  ASSERT_EQ(fast.passes.size(), slow.passes.size()) << label;
  for (std::size_t k = 0; k < fast.passes.size(); ++k) {
    EXPECT_EQ(fast.passes[k].a, slow.passes[k].a) << label << " pass " << k;
    EXPECT_EQ(fast.passes[k].b, slow.passes[k].b) << label << " pass " << k;
    EXPECT_EQ(bits(fast.passes[k].score), bits(slow.passes[k].score)) << label << " pass " << k;
  }
  ASSERT_EQ(fast.slots.size(), slow.slots.size()) << label;
  for (std::size_t s = 0; s < fast.slots.size(); ++s) {
    EXPECT_EQ(fast.slots[s].members, slow.slots[s].members) << label << " slot " << s;
    EXPECT_EQ(bits(fast.slots[s].weight), bits(slow.slots[s].weight)) << label << " slot " << s;
  }
}

void checkCase(const Matrix& matrix) {
  auto fastLinks = varnek::linkNearestNeighbours(matrix.rows, matrix.sampleCount);
  auto slowLinks = literal::linkNearestNeighbours(matrix.rows, matrix.sampleCount);
  ASSERT_EQ(fastLinks.size(), slowLinks.size());
  for (std::size_t i = 0; i < fastLinks.size(); ++i) {
    ASSERT_EQ(fastLinks[i].nearest, slowLinks[i].nearest) << matrix.label << " row " << i;
    ASSERT_EQ(bits(fastLinks[i].distance), bits(slowLinks[i].distance)) << matrix.label << " row " << i;
  }
  const std::vector<varnek::ClusterSlot> chains = varnek::buildChains(fastLinks);

  // Merging all the way shows every deciding score; thresholds are then taken at, just below
  // and just above some of them.
  const double all = std::numeric_limits<double>::max();
  const MergeRecord full = runMerge(matrix, chains, all, literal::mergeClusters);
  expectSame(runMerge(matrix, chains, all, varnek::mergeClusters), full, matrix.label + " merged all the way");
  std::vector<double> thresholds = {-1.0, 0.0};
  for (std::size_t k : {full.passes.size() / 3, full.passes.size() / 2, full.passes.size() * 4 / 5}) {
    if (k >= full.passes.size()) continue;
    const double score = full.passes[k].score;
    thresholds.insert(thresholds.end(), {score, std::nextafter(score, -all), std::nextafter(score, all)});
  }
  for (double threshold : thresholds) {
    expectSame(runMerge(matrix, chains, threshold, varnek::mergeClusters),
               runMerge(matrix, chains, threshold, literal::mergeClusters),
               matrix.label + " threshold " + std::to_string(threshold));
  }
}

}  // namespace

TEST(VarnekSpeed, SmallMatricesMergeAsTheLiteralMethodDoes) {
  for (std::uint64_t seed = 1; seed <= 400; ++seed) {
    checkCase(drawCase(seed, 2, 60, 40));
    if (HasFatalFailure()) return;
  }
}

TEST(VarnekSpeed, LargerMatricesMergeAsTheLiteralMethodDoes) {
  for (std::uint64_t seed = 1001; seed <= 1012; ++seed) {
    checkCase(drawCase(seed, 150, 260, 12));
    if (HasFatalFailure()) return;
  }
}
