// The fast steps against the literal ones, through the steps' interfaces, on generated
// matrices that plant ties (equal distances and scores, rows exactly InfiniteDistance apart,
// sums that overflow), with thresholds at, just below and just above deciding scores. The fast
// merging runs as the engine keeps its tables, with none kept, with every slot's kept and with
// room for two slots' tables only (so that tables change hands and first halves wait to be
// summed), and at every vector level the processor has.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "bench/matrix_generator.h"
#include "common/packed_vectors.h"
#include "varnek/fast_linking.h"
#include "varnek/fast_merging.h"
#include "varnek/literal_method.h"

namespace {

using namespace varnek;
using generated::Matrix;

std::uint64_t bits(double value) {
  std::uint64_t out;
  std::memcpy(&out, &value, sizeof out);
  return out;
}

struct MergeRecord {
  std::vector<MergePass> passes;
  std::vector<ClusterSlot> slots;
};

MergeRecord runMerge(const Matrix& matrix, std::vector<ClusterSlot> slots, double threshold, MergeStep&& step) {
  MergeRecord record;
  mergeClusters(matrix.rows, matrix.sampleCount, slots, threshold, step,
                [&record](const MergePass& pass) { record.passes.push_back(pass); });
  record.slots = std::move(slots);
  return record;
}

void expectSameLinks(const std::vector<NeighbourLink>& fast, const std::vector<NeighbourLink>& literal,
                     const std::string& label) {
  ASSERT_EQ(fast.size(), literal.size()) << label;
  for (std::size_t i = 0; i < fast.size(); ++i) {
    ASSERT_EQ(fast[i].nearest, literal[i].nearest) << label << " row " << i;
    ASSERT_EQ(bits(fast[i].distance), bits(literal[i].distance)) << label << " row " << i;
    ASSERT_EQ(fast[i].state, literal[i].state) << label << " row " << i;
  }
}

void expectSameMerge(const MergeRecord& fast, const MergeRecord& literal, const std::string& label) {
  ASSERT_EQ(fast.passes.size(), literal.passes.size()) << label;
  for (std::size_t k = 0; k < fast.passes.size(); ++k) {
    ASSERT_EQ(fast.passes[k].a, literal.passes[k].a) << label << " pass " << k;
    ASSERT_EQ(fast.passes[k].b, literal.passes[k].b) << label << " pass " << k;
    ASSERT_EQ(bits(fast.passes[k].score), bits(literal.passes[k].score)) << label << " pass " << k;
  }
  ASSERT_EQ(fast.slots.size(), literal.slots.size()) << label;
  for (std::size_t s = 0; s < fast.slots.size(); ++s) {
    ASSERT_EQ(fast.slots[s].members, literal.slots[s].members) << label << " slot " << s;
    ASSERT_EQ(bits(fast.slots[s].weight), bits(literal.slots[s].weight)) << label << " slot " << s;
  }
}

void checkCase(const Matrix& matrix) {
  const std::vector<NeighbourLink> literalLinks = LiteralLinking().link(matrix.rows, matrix.sampleCount);
  for (clustering::VectorLevel level : clustering::supportedVectorLevels()) {
    clustering::useVectorLevel(level);
    expectSameLinks(FastLinking().link(matrix.rows, matrix.sampleCount), literalLinks,
                    matrix.label + " " + clustering::vectorLevelName(level));
  }
  std::vector<NeighbourLink> links = literalLinks;
  const std::vector<ClusterSlot> chains = buildChains(links);

  // Merging all the way shows every deciding score; thresholds are then taken at, just below
  // and just above some of them.
  const double all = std::numeric_limits<double>::max();
  const MergeRecord full = runMerge(matrix, chains, all, LiteralMerging());
  std::vector<double> thresholds = {all, -1.0};
  for (std::size_t k : {std::size_t{0}, full.passes.size() / 2, full.passes.size() * 4 / 5}) {
    if (k >= full.passes.size()) continue;
    const double score = full.passes[k].score;
    thresholds.insert(thresholds.end(), {score, std::nextafter(score, -all), std::nextafter(score, all)});
  }
  const std::size_t none = std::numeric_limits<std::size_t>::max();
  const std::size_t twoTables = 2 * sizeof(double) * (matrix.rows.size() + 2 * chains.size());
  const FastMerging::Keeping keepings[] = {
      FastMerging::EngineKeeping, {none, none, 0, 4}, {1, none, 4, 64}, {2, twoTables, 0, 5}};
  for (double threshold : thresholds) {
    const MergeRecord literal = threshold == all ? full : runMerge(matrix, chains, threshold, LiteralMerging());
    for (const FastMerging::Keeping& keeping : keepings) {
      const std::string label = matrix.label + ", threshold " + std::to_string(threshold) + ", kept from " +
                                std::to_string(keeping.keptMembers) + " members";
      expectSameMerge(runMerge(matrix, chains, threshold, FastMerging(keeping)), literal, label);
    }
  }
  // The vector level only changes how distances are measured; one threshold shows it.
  for (clustering::VectorLevel level : clustering::supportedVectorLevels()) {
    clustering::useVectorLevel(level);
    expectSameMerge(runMerge(matrix, chains, all, FastMerging({none, none, 0, 4})), full,
                    matrix.label + " " + clustering::vectorLevelName(level));
  }
}

struct Family {
  std::uint64_t firstSeed;
  int cases;
  int minGenes;
  int maxGenes;
  int maxSamples;
};

}  // namespace

TEST(VarnekDifferential, FastStepsLinkAndMergeAsTheLiteralStepsDo) {
  const std::vector<clustering::VectorLevel> levels = clustering::supportedVectorLevels();
  // The last is one case of a wider family in which a kept row completes a first half that then
  // scores above a pair it had only bounded quickly, which must then be scored in full.
  const Family families[] = {{1, 400, 1, 40, 6}, {1001, 6, 120, 200, 12}, {2048, 1, 1, 60, 6}};
  for (const Family& family : families) {
    for (std::uint64_t seed = family.firstSeed; seed < family.firstSeed + family.cases; ++seed) {
      checkCase(generated::drawCase(seed, family.minGenes, family.maxGenes, family.maxSamples));
      clustering::useVectorLevel(levels.back());
      if (HasFatalFailure()) return;
    }
  }
}
